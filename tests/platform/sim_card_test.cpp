#include "platform/phone/sim_card.h"
#include "platform/phone/sim_phonebook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/registry/registry.h"
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

namespace {

SIMPHONEBOOKENTRY Entry(std::u16string_view number) {
  SIMPHONEBOOKENTRY entry{};
  entry.cbSize = sizeof entry;
  number.copy(entry.lpszAddress, MAX_LENGTH_ADDRESS - 1);
  return entry;
}

TEST(SimPhonebook, TheFixedDiallingListIsWrittenReadAndTakenOff) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HSIM sim = nullptr;
  ASSERT_EQ(SimInitialize(0, nullptr, 0, &sim), S_OK);
  DWORD used = 7;
  DWORD total = 7;
  EXPECT_EQ(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_FIXEDDIALING, &used, &total), SIM_E_NOTFOUND);
  EXPECT_EQ(total, 0u);

  SIMPHONEBOOKENTRY first = Entry(u"+358401111111");
  EXPECT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, SIM_PBINDEX_FIRSTAVAILABLE, &first), S_OK);
  SIMPHONEBOOKENTRY third = Entry(u"112");
  EXPECT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, 3, &third), S_OK);
  SIMPHONEBOOKENTRY next = Entry(u"0402222222");
  EXPECT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, SIM_PBINDEX_FIRSTAVAILABLE, &next), S_OK);
  ASSERT_EQ(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_FIXEDDIALING, &used, &total), S_OK);
  EXPECT_EQ(used, 3u);
  EXPECT_EQ(total, kSimFixedDialingCapacity);
  SIMPHONEBOOKENTRY read{};
  ASSERT_EQ(SimReadPhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, 2, &read), S_OK);
  EXPECT_EQ(std::u16string(read.lpszAddress), u"0402222222") << "the first free place was the second";
  EXPECT_EQ(SimReadPhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, 4, &read), SIM_E_NOTFOUND);
  EXPECT_EQ(SimReadPhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, 0, &read), E_INVALIDARG);
  EXPECT_EQ(SimReadPhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, kSimFixedDialingCapacity + 1, &read), E_INVALIDARG);
  EXPECT_EQ(SimReadPhonebookEntry(sim, 0x10, 1, &read), E_INVALIDARG) << "no other phonebook";

  // A number without its terminator and an empty one are refused.
  SIMPHONEBOOKENTRY unterminated{};
  std::fill(std::begin(unterminated.lpszAddress), std::end(unterminated.lpszAddress), u'5');
  EXPECT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, 5, &unterminated), E_INVALIDARG);
  SIMPHONEBOOKENTRY empty = Entry(u"");
  EXPECT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, 5, &empty), E_INVALIDARG);

  // The list fills up.
  for (DWORD i = used; i < kSimFixedDialingCapacity; ++i) {
    EXPECT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, SIM_PBINDEX_FIRSTAVAILABLE, &next), S_OK);
  }
  EXPECT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, SIM_PBINDEX_FIRSTAVAILABLE, &next),
            SIM_E_PHONEBOOKFULL);
  EXPECT_EQ(SimDeletePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, 2), S_OK);
  EXPECT_EQ(SimReadPhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, 2, &read), SIM_E_NOTFOUND);

  EXPECT_EQ(SimRemoveFixedDialing(sim), S_OK);
  EXPECT_EQ(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_FIXEDDIALING, &used, &total), SIM_E_NOTFOUND);
  EXPECT_EQ(SimRemoveFixedDialing(sim), S_OK) << "taking off a list that is not there is no error";
  EXPECT_EQ(SimGetPhonebookStatus(nullptr, SIM_PBSTORAGE_FIXEDDIALING, &used, &total), E_INVALIDARG);
  SimDeinitialize(sim);
}

}  // namespace
