// The fixed-dialling check before sending: off without SupportFDN, the emulator's test numbers,
// the SIM card's list (and a card without one), and e-mail addresses that the card never limits.
#include "forms/fixed_dialling.h"

#include <gtest/gtest.h>

#include "config/registry_key.h"
#include "config/setting_numbers.h"
#include "config/setting_tables.h"
#include "config/settings.h"
#include "platform/automation/automation.h"
#include "platform/registry/registry.h"
#include "platform/phone/sim_phonebook.h"
#include "support/test_device.h"

namespace {

void WriteTestNumber(int n, std::u16string_view number) {
  config::RegistryKey key = config::RegistryKey::Create(HKEY_LOCAL_MACHINE, config::FullKeyPath(u"Config\\FdnTest"));
  const std::u16string name = u"FdnNum" + std::u16string(CString::FromUtf8(std::to_string(n)).View());
  ASSERT_TRUE(key.WriteText(name, number));
}

void AddToCard(std::u16string_view number) {
  HSIM sim = nullptr;
  ASSERT_EQ(SimInitialize(0, nullptr, 0, &sim), S_OK);
  SIMPHONEBOOKENTRY entry{};
  entry.cbSize = sizeof entry;
  number.copy(entry.lpszAddress, MAX_LENGTH_ADDRESS - 1);
  EXPECT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, SIM_PBINDEX_FIRSTAVAILABLE, &entry), S_OK);
  SimDeinitialize(sim);
}

class FixedDiallingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::automation::Reset();
    SetConfigValue(numeric_setting::kSupportFDN, 1, FALSE);
  }
  void TearDown() override { platform::automation::Reset(); }

  static bool Passes(const char16_t* to, const char16_t* cc = u"", const char16_t* bcc = u"") {
    return PassesFixedDialling(CString(to), CString(cc), CString(bcc));
  }

  test_support::TestDevice m_device;
};

TEST_F(FixedDiallingTest, WithoutSupportEverythingPasses) {
  SetConfigValue(numeric_setting::kSupportFDN, 0, FALSE);
  SetConfigValue(numeric_setting::kFdnEmulator, 1, FALSE);
  EXPECT_FALSE(FixedDiallingList());
  EXPECT_TRUE(Passes(u"+358401111111"));
}

TEST_F(FixedDiallingTest, TheEmulatorListsItsTestNumbers) {
  SetConfigValue(numeric_setting::kFdnEmulator, 1, FALSE);
  SetConfigValue(numeric_setting::kFdnCount, 3, FALSE);
  WriteTestNumber(1, u"+358 40 111-1111");
  WriteTestNumber(3, u"5551234");
  WriteTestNumber(4, u"+358402222222");  // past the count: not on the list
  struct Case {
    const char16_t* to;
    const char16_t* cc;
    const char16_t* bcc;
    bool passes;
  };
  const Case cases[] = {
      {u"+358401111111", u"", u"", true},
      {u"\"Ann\"<+358 (40) 111-1111>", u"", u"", true},  // normalised on both sides
      {u"555-1234;+358401111111;", u"", u"", true},
      {u"+358401111111", u"+358402222222", u"", false},
      {u"", u"", u"+358409999999", false},                // Bcc counts as much as To
      {u"ann@example.com", u"", u"", true},               // not a number the card restricts
      {u"", u"", u"", true},
      {u"+35840111111", u"", u"", false},                 // a prefix of a listed number is not it
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Passes(c.to, c.cc, c.bcc), c.passes) << CString(c.to).ToUtf8() << " / " << CString(c.cc).ToUtf8();
  }

  // Refused for sending: the user is told.
  platform::automation::QueueAnswer(IDOK);
  EXPECT_FALSE(CheckFixedDialling(nullptr, CString(u"+358409999999"), CString(), CString()));
  ASSERT_EQ(platform::automation::PromptLog().size(), 1u);
  EXPECT_EQ(platform::automation::PromptLog()[0].text, u"A recipient is not on the fixed dialling list of the SIM card.");
  EXPECT_TRUE(CheckFixedDialling(nullptr, CString(u"+358401111111"), CString(), CString()));
  EXPECT_EQ(platform::automation::PromptLog().size(), 1u);
}

TEST_F(FixedDiallingTest, AHugeEmulatorCountIsCapped) {
  SetConfigValue(numeric_setting::kFdnEmulator, 1, FALSE);
  WriteTestNumber(1, u"+358401111111");
  WriteTestNumber(kMaxFdnEmulatorNumbers, u"+358402222222");
  WriteTestNumber(kMaxFdnEmulatorNumbers + 1, u"+358403333333");
  SetConfigValue(numeric_setting::kFdnCount, 0x7FFFFFFF, FALSE);
  const auto list = FixedDiallingList();
  ASSERT_TRUE(list);
  EXPECT_EQ(list->size(), 2u) << "the numbers up to the cap and no further";
  EXPECT_TRUE(Passes(u"+358402222222"));
  EXPECT_FALSE(Passes(u"+358403333333"));
  // 2^31 is a negative count: an empty list, on which no number is.
  SetConfigValue(numeric_setting::kFdnCount, static_cast<LONG>(0x80000000u), FALSE);
  ASSERT_TRUE(FixedDiallingList());
  EXPECT_TRUE(FixedDiallingList()->empty());
  EXPECT_FALSE(Passes(u"+358401111111"));
}

TEST_F(FixedDiallingTest, TheCardsListAndACardWithoutOne) {
  EXPECT_FALSE(FixedDiallingList()) << "a card without a fixed-dialling list restricts nothing";
  EXPECT_TRUE(Passes(u"+358409999999"));
  AddToCard(u"+358401111111");
  AddToCard(u"040-222 2222");
  ASSERT_TRUE(FixedDiallingList());
  EXPECT_EQ(FixedDiallingList()->size(), 2u);
  EXPECT_TRUE(Passes(u"+358401111111", u"0402222222"));
  EXPECT_FALSE(Passes(u"+358409999999"));
  // With the emulator on, the card is not asked.
  SetConfigValue(numeric_setting::kFdnEmulator, 1, FALSE);
  SetConfigValue(numeric_setting::kFdnCount, 1, FALSE);
  WriteTestNumber(1, u"+358409999999");
  EXPECT_TRUE(Passes(u"+358409999999"));
  EXPECT_FALSE(Passes(u"+358401111111"));
}

}  // namespace
