#include "platform/phone/sim_card.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;

void SetSimValue(const WCHAR* name, std::u16string_view text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\SIM", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string value(text);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
  RegCloseKey(key);
}

void SetPresent(DWORD present) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\SIM", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, u"Present", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&present), sizeof present);
  RegCloseKey(key);
}

TEST(SimCard, GivesTheSubscriberNumberWhole) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  SetSimValue(u"SubscriberNumber", u"+358401234567");
  HSIM sim = nullptr;
  ASSERT_EQ(SimInitialize(0, nullptr, 0, &sim), S_OK);
  WCHAR number[kMaxSubscriberNumberChars + 1];
  EXPECT_EQ(SimGetSubscriberNumber(sim, number, kMaxSubscriberNumberChars + 1), S_OK);
  EXPECT_EQ(std::u16string(number), u"+358401234567");
  // A buffer one character short gets an error and an empty text, never a shortened number.
  WCHAR shortBuffer[13];
  EXPECT_TRUE(FAILED(SimGetSubscriberNumber(sim, shortBuffer, 13)));
  EXPECT_EQ(shortBuffer[0], 0);
  EXPECT_EQ(SimGetSubscriberNumber(sim, nullptr, 10), E_INVALIDARG);
  EXPECT_EQ(SimDeinitialize(sim), S_OK);
}

TEST(SimCard, ACardWithoutANumberAndADeviceWithoutACard) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HSIM sim = nullptr;
  ASSERT_EQ(SimInitialize(0, nullptr, 0, &sim), S_OK) << "a device whose card was never described has one";
  WCHAR number[kMaxSubscriberNumberChars + 1];
  EXPECT_EQ(SimGetSubscriberNumber(sim, number, kMaxSubscriberNumberChars + 1), SIM_E_NOTFOUND);
  SimDeinitialize(sim);

  // A number longer than any card holds is no number.
  SetSimValue(u"SubscriberNumber", std::u16string(kMaxSubscriberNumberChars + 1, u'5'));
  ASSERT_EQ(SimInitialize(0, nullptr, 0, &sim), S_OK);
  EXPECT_EQ(SimGetSubscriberNumber(sim, number, kMaxSubscriberNumberChars + 1), SIM_E_NOTFOUND);
  SimDeinitialize(sim);

  SetPresent(0);
  sim = reinterpret_cast<HSIM>(0x1);
  EXPECT_EQ(SimInitialize(0, nullptr, 0, &sim), SIM_E_NOSIM);
  EXPECT_EQ(sim, nullptr);
  EXPECT_EQ(SimDeinitialize(nullptr), E_INVALIDARG);
}

}  // namespace
