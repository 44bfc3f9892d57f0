// The send-options dialogs of a message and of the defaults: the choice lists from the registry
// (bad data included), the templates of each time mode, what Done stores and what it refuses, the
// factory defaults, and the dialogs drawn at both screen densities for a person to look at.
#include <gtest/gtest.h>

#include "binding/binding_fixture.h"
#include "config/registry_key.h"
#include "config/setting_numbers.h"
#include "config/setting_tables.h"
#include "config/settings.h"
#include "forms/send_option_choices.h"
#include "forms/send_options_dialog.h"
#include "forms/store_properties.h"
#include "platform/automation/automation.h"
#include "platform/registry/registry.h"
#include "platform/controls/control_classes.h"
#include "platform/controls/date_time_picker.h"
#include "platform/dialog/dialog_api.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

namespace {

using namespace send_options_item;
using binding_test::kNow;

void WriteUiNumber(const char16_t* name, DWORD value) {
  config::RegistryKey key = config::RegistryKey::Create(HKEY_LOCAL_MACHINE, config::FullKeyPath(u"Config\\UI"));
  ASSERT_TRUE(key.WriteDword(name, value));
}

void DeleteUiValue(const char16_t* name) {
  config::RegistryKey key = config::RegistryKey::Create(HKEY_LOCAL_MACHINE, config::FullKeyPath(u"Config\\UI"));
  RegDeleteValueW(key.Get(), name);
}

std::vector<std::u16string> Texts(const std::vector<LONG>& choices, bool expiry) {
  std::vector<std::u16string> texts;
  for (LONG choice : choices) {
    texts.emplace_back((expiry ? ExpiryChoiceText(choice) : DeliveryTimeChoiceText(choice)).View());
  }
  return texts;
}

class SendOptionsTest : public binding_test::BindingTest {
 protected:
  void SetUp() override {
    BindingTest::SetUp();
    platform::UseVirtualClock(true);
    platform::window::ResetWindowSystem();
    platform::automation::Reset();
    platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt& prompt) {
      ADD_FAILURE() << "unexpected prompt: " << CString(prompt.text).ToUtf8();
    });
    INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
    ASSERT_TRUE(LoadBinding(m_binding, m_message.Get(), nullptr, 0));
  }
  void TearDown() override {
    platform::window::ResetWindowSystem();
    platform::automation::Reset();
    platform::automation::SetUnexpectedPromptHandler(nullptr);
    platform::UseVirtualClock(false);
    BindingTest::TearDown();
  }

  // Runs `act` on the dialog once it waits for the person.
  void When(std::function<void(HWND)> act) {
    platform::automation::OnWindowAppears(u"Dialog", u"", [this, act](HWND dialog) {
      ++m_seen;
      act(dialog);
    });
  }
  static std::u16string Title(HWND window) {
    std::u16string title(64, u'\0');
    title.resize(static_cast<std::size_t>(GetWindowTextW(window, title.data(), 64)));
    return title;
  }
  static std::u16string Selected(HWND dialog, int list) {
    const LRESULT index = SendDlgItemMessageW(dialog, list, CB_GETCURSEL, 0, 0);
    if (index < 0) return {};
    std::u16string text(static_cast<std::size_t>(SendDlgItemMessageW(dialog, list, CB_GETLBTEXTLEN, index, 0)), u'\0');
    SendDlgItemMessageW(dialog, list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text;
  }
  static int Count(HWND dialog, int list) { return static_cast<int>(SendDlgItemMessageW(dialog, list, CB_GETCOUNT, 0, 0)); }
  static void Choose(HWND dialog, int list, int index) {
    SendDlgItemMessageW(dialog, list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  static SYSTEMTIME Picker(HWND dialog, int id) {
    SYSTEMTIME time{};
    SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return time;
  }
  // Sets the date picker and the time picker to the local time of the message time `seconds`.
  static void SetPickers(HWND dialog, int date, int time, std::int64_t seconds) {
    const SYSTEMTIME shown = platform::SystemTimeFromSeconds(seconds + platform::LocalTimeOffset(seconds));
    SendDlgItemMessageW(dialog, date, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&shown));
    SendDlgItemMessageW(dialog, time, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&shown));
  }
  static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
  static void Done(HWND dialog) { SendMessageW(dialog, WM_COMMAND, kSendOptionsDone, 0); }
  std::vector<std::u16string> Prompts() const {
    std::vector<std::u16string> texts;
    for (const auto& prompt : platform::automation::PromptLog()) texts.push_back(prompt.text);
    return texts;
  }

  ComPtr<IMessage> m_message;
  MessageBinding m_binding;
  int m_seen = 0;
};

TEST_F(SendOptionsTest, TheFactoryChoicesAreADayAWeekAndTheLongestAndNowAnHourAndTomorrow) {
  EXPECT_EQ(Texts(ExpiryChoices(), true), (std::vector<std::u16string>{u"24 hours", u"168 hours", u"Maximum"}));
  EXPECT_EQ(Texts(DeliveryTimeChoices(), false), (std::vector<std::u16string>{u"1 hour", u"24 hours", u"Immediately"}));
}

TEST_F(SendOptionsTest, BadChoiceDataIsReadCalmly) {
  struct Case {
    const char* what;
    DWORD count;
    std::vector<std::pair<const char16_t*, DWORD>> values;
    std::vector<LONG> expected;
  };
  const Case cases[] = {
      {"no count", 0, {{u"Expiration1", 3600}}, {}},
      {"values missing", 2, {}, {0}},
      {"out of order, repeated", 4, {{u"Expiration1", 7200}, {u"Expiration2", 0}, {u"Expiration3", 3600},
                                     {u"Expiration4", 7200}}, {3600, 7200, 0}},
      {"0xFFFFFFFF is no time span", 2, {{u"Expiration1", 0xFFFFFFFF}, {u"Expiration2", 1800}}, {1800}},
      {"a count of 2^31 reads as negative", 0x80000000u, {{u"Expiration1", 3600}}, {}},
      {"a count of 2^31 - 1 is capped", 0x7FFFFFFFu, {{u"Expiration1", 3600}, {u"Expiration33", 60}}, {3600, 0}},
      {"every value of the cap is read", 32, {{u"Expiration32", 60}}, {60, 0}},
  };
  for (const Case& c : cases) {
    for (int n = 1; n <= 40; ++n) {
      const std::u16string name = u"Expiration" + std::u16string(CString::FromUtf8(std::to_string(n)).View());
      DeleteUiValue(name.c_str());
    }
    WriteUiNumber(u"ExpirationCount", c.count);
    for (const auto& [name, value] : c.values) WriteUiNumber(name, value);
    EXPECT_EQ(ExpiryChoices(), c.expected) << c.what;
  }
  EXPECT_EQ(ExpiryChoiceText(1800), u"0 hours");
  EXPECT_EQ(ExpiryChoiceText(3600), u"1 hour");
  EXPECT_EQ(ExpiryChoiceText(7199), u"1 hour");
  EXPECT_EQ(ExpiryChoiceText(7200), u"2 hours");
}

TEST_F(SendOptionsTest, EachTimeModeHasItsTemplate) {
  struct Case {
    bool defaults, expiryAbsolute, deliveryAbsolute;
    DWORD templateId;
  };
  const Case cases[] = {
      {false, true, true, 363}, {false, true, false, 364}, {false, false, true, 365}, {false, false, false, 201},
      {true, true, true, 366},  {true, true, false, 368},  {true, false, true, 367},  {true, false, false, 330},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SendOptionsTemplate(c.defaults, c.expiryAbsolute, c.deliveryAbsolute), c.templateId);
  }
}

TEST_F(SendOptionsTest, TheDefaultsDialogSavesWhatWasChosenAndCanHideTheReadReport) {
  SetConfigValue(numeric_setting::kHideDlgControl, 16, FALSE);
  When([&](HWND dialog) {
    EXPECT_EQ(Title(dialog), u"Default Send Options");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kReadReport)));
    EXPECT_EQ(Count(dialog, kExpiryList), 3);
    EXPECT_EQ(Selected(dialog, kExpiryList), u"Maximum");
    EXPECT_EQ(Selected(dialog, kDeliveryList), u"Immediately");
    SendDlgItemMessageW(dialog, kDeliveryReport, BM_CLICK, 0, 0);
    Choose(dialog, kExpiryList, 1);
    Done(dialog);
  });
  EXPECT_EQ(RunDefaultSendOptionsDialog(nullptr), IDOK);
  EXPECT_EQ(m_seen, 1);
  EXPECT_EQ(GetConfigValue(numeric_setting::kNeedDeliveryReport), 1);
  EXPECT_EQ(GetConfigValue(numeric_setting::kNeedReadReport), 0);
  EXPECT_EQ(GetConfigValue(numeric_setting::kExpiryTime), 604800);
  EXPECT_EQ(GetConfigValue(numeric_setting::kPriority), 129) << "what the dialog does not show stays";
}

TEST_F(SendOptionsTest, PriorityClassAndSenderAreChosenAndAnUnsetOneStaysUnsetWhenLeftAlone) {
  config::SendOptions options = m_binding.Message().ReadSendOptions();
  options.priority = 0;
  options.messageClass = 0;
  options.senderVisibility = 0;
  ASSERT_TRUE(m_binding.Message().WriteSendOptions(options));
  // Unset options show what the message goes out with; left alone they stay unset.
  When([&](HWND dialog) {
    EXPECT_EQ(Selected(dialog, kPriorityList), u"Normal");
    EXPECT_EQ(Selected(dialog, kClassList), u"Personal");
    EXPECT_EQ(Selected(dialog, kSenderList), u"Shown");
    EXPECT_EQ(Count(dialog, kPriorityList), 3);
    EXPECT_EQ(Count(dialog, kClassList), 4);
    EXPECT_EQ(Count(dialog, kSenderList), 2);
    Done(dialog);
  });
  EXPECT_EQ(RunSendOptionsDialog(nullptr, m_binding.Message()), IDOK);
  EXPECT_EQ(m_binding.Message().ReadSendOptions().priority, 0);
  EXPECT_EQ(m_binding.Message().ReadSendOptions().messageClass, 0);
  EXPECT_EQ(m_binding.Message().ReadSendOptions().senderVisibility, 0);

  When([&](HWND dialog) {
    Choose(dialog, kPriorityList, 2);
    Choose(dialog, kClassList, 1);
    Choose(dialog, kSenderList, 0);
    Done(dialog);
  });
  EXPECT_EQ(RunSendOptionsDialog(nullptr, m_binding.Message()), IDOK);
  const config::SendOptions stored = m_binding.Message().ReadSendOptions();
  EXPECT_EQ(stored.priority, 130);
  EXPECT_EQ(stored.messageClass, 129);
  EXPECT_EQ(stored.senderVisibility, config::kHideSender);
  EXPECT_EQ(m_binding.Message().Flags() & 0x70000000u, 0x40000000u) << "a high priority marks the message flags";

  // Chosen values show again; Cancel leaves them.
  When([&](HWND dialog) {
    EXPECT_EQ(Selected(dialog, kPriorityList), u"High");
    EXPECT_EQ(Selected(dialog, kClassList), u"Advertisement");
    EXPECT_EQ(Selected(dialog, kSenderList), u"Hidden");
    Choose(dialog, kPriorityList, 0);
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(RunSendOptionsDialog(nullptr, m_binding.Message()), IDCANCEL);
  EXPECT_EQ(m_binding.Message().ReadSendOptions().priority, 130);
}

TEST_F(SendOptionsTest, TheDefaultsDialogSavesPriorityClassAndAnonymousSending) {
  When([&](HWND dialog) {
    Choose(dialog, kPriorityList, 0);
    Choose(dialog, kClassList, 2);
    Choose(dialog, kSenderList, 0);
    Done(dialog);
  });
  EXPECT_EQ(RunDefaultSendOptionsDialog(nullptr), IDOK);
  EXPECT_EQ(GetConfigValue(numeric_setting::kPriority), 128);
  EXPECT_EQ(GetConfigValue(numeric_setting::kMessageClass), 130);
  EXPECT_EQ(GetConfigValue(numeric_setting::kSendAnonymously), 1);

  When([&](HWND dialog) {
    EXPECT_EQ(Selected(dialog, kSenderList), u"Hidden");
    Choose(dialog, kSenderList, 1);
    Done(dialog);
  });
  EXPECT_EQ(RunDefaultSendOptionsDialog(nullptr), IDOK);
  EXPECT_EQ(GetConfigValue(numeric_setting::kSendAnonymously), 0);
  EXPECT_EQ(GetConfigValue(numeric_setting::kPriority), 128) << "a list left alone keeps its value";
}

TEST_F(SendOptionsTest, ADeliveryAtOrAfterTheExpiryKeepsTheDialogOpen) {
  config::SendOptions options = m_binding.Message().ReadSendOptions();
  options.expiry = 3600;
  options.deliveryTime = 86400;
  ASSERT_TRUE(m_binding.Message().WriteSendOptions(options));
  int refusals = 0;
  When([&](HWND dialog) {
    EXPECT_EQ(Title(dialog), u"Send Options");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, kReadReport)));
    // The message's hour is no factory choice: it is offered all the same.
    EXPECT_EQ(Count(dialog, kExpiryList), 4);
    EXPECT_EQ(Selected(dialog, kExpiryList), u"1 hour");
    EXPECT_EQ(Selected(dialog, kDeliveryList), u"24 hours");
    platform::automation::QueueAnswer(IDOK, u"The delivery time must come before the expiry time.");
    Done(dialog);
    refusals = static_cast<int>(Prompts().size());
    EXPECT_TRUE(IsWindow(dialog));
    Choose(dialog, kDeliveryList, 0);  // 1 hour: not before an expiry of an hour either
    platform::automation::QueueAnswer(IDOK, u"The delivery time must come before the expiry time.");
    Done(dialog);
    refusals = static_cast<int>(Prompts().size());
    Choose(dialog, kDeliveryList, 2);  // immediately
    Done(dialog);
  });
  EXPECT_EQ(RunSendOptionsDialog(nullptr, m_binding.Message()), IDOK);
  EXPECT_EQ(refusals, 2);
  const config::SendOptions stored = m_binding.Message().ReadSendOptions();
  EXPECT_EQ(stored.expiry, 3600);
  EXPECT_EQ(stored.deliveryTime, 0);
}

TEST_F(SendOptionsTest, AbsoluteTimesShowInThePickersAndComeBackExactly) {
  SetConfigValue(numeric_setting::kSendExpireTimeInAbsolute, 1, FALSE);
  SetConfigValue(numeric_setting::kSendDeliveryTimeInAbsolute, 1, FALSE);
  config::SendOptions options = m_binding.Message().ReadSendOptions();
  options.expiry = static_cast<LONG>(kNow + 86400);
  options.deliveryTime = 0;
  ASSERT_TRUE(m_binding.Message().WriteSendOptions(options));
  When([&](HWND dialog) {
    const SYSTEMTIME expected = platform::SystemTimeFromSeconds(kNow + 86400 + platform::LocalTimeOffset(kNow + 86400));
    const SYSTEMTIME date = Picker(dialog, kExpiryDate);
    const SYSTEMTIME time = Picker(dialog, kExpiryTime);
    EXPECT_EQ(date.wDay, expected.wDay);
    EXPECT_EQ(time.wHour, expected.wHour);
    EXPECT_EQ(time.wMinute, expected.wMinute);
    EXPECT_FALSE(IsDlgButtonChecked(dialog, kLongestExpiry));
    EXPECT_TRUE(Enabled(dialog, kExpiryDate));
    // Delivery 0 is "at once": ticked, the pickers greyed.
    EXPECT_TRUE(IsDlgButtonChecked(dialog, kDeliverAtOnce));
    EXPECT_FALSE(Enabled(dialog, kDeliveryDate));
    EXPECT_FALSE(Enabled(dialog, kDeliveryTime));
    SendDlgItemMessageW(dialog, kDeliverAtOnce, BM_CLICK, 0, 0);
    EXPECT_TRUE(Enabled(dialog, kDeliveryDate));
    SetPickers(dialog, kDeliveryDate, kDeliveryTime, kNow + 2 * 86400);
    platform::automation::QueueAnswer(IDOK, u"The delivery time must come before the expiry time.");
    Done(dialog);
    SetPickers(dialog, kDeliveryDate, kDeliveryTime, kNow + 3600);
    Done(dialog);
  });
  EXPECT_EQ(RunSendOptionsDialog(nullptr, m_binding.Message()), IDOK);
  EXPECT_EQ(Prompts().size(), 1u);
  const config::SendOptions stored = m_binding.Message().ReadSendOptions();
  EXPECT_EQ(stored.expiry, kNow + 86400) << "an expiry left alone keeps its seconds";
  EXPECT_EQ(stored.deliveryTime, kNow + 3600);

  // The longest expiry greys the pickers and stores 0.
  When([&](HWND dialog) {
    SendDlgItemMessageW(dialog, kLongestExpiry, BM_CLICK, 0, 0);
    EXPECT_FALSE(Enabled(dialog, kExpiryDate));
    EXPECT_FALSE(Enabled(dialog, kExpiryTime));
    Done(dialog);
  });
  EXPECT_EQ(RunSendOptionsDialog(nullptr, m_binding.Message()), IDOK);
  EXPECT_EQ(m_binding.Message().ReadSendOptions().expiry, 0);
  EXPECT_EQ(m_binding.Message().ReadSendOptions().deliveryTime, kNow + 3600) << "mixed zero: nothing to compare";
}

TEST_F(SendOptionsTest, AnAbsoluteDefaultExpiryIsSavedAsTheTimeFromNowAndNeverBelowZero) {
  SetConfigValue(numeric_setting::kSendExpireTimeInAbsolute, 1, FALSE);
  SetConfigValue(numeric_setting::kExpiryTime, 7200, FALSE);
  When([&](HWND dialog) {
    EXPECT_EQ(Title(dialog), u"Default Send Options");
    EXPECT_NE(GetDlgItem(dialog, kExpiryDate), nullptr);
    EXPECT_NE(GetDlgItem(dialog, kDeliveryList), nullptr);
    Done(dialog);
  });
  EXPECT_EQ(RunDefaultSendOptionsDialog(nullptr), IDOK);
  EXPECT_EQ(GetConfigValue(numeric_setting::kExpiryTime), 7200);
  When([&](HWND dialog) {
    SetPickers(dialog, kExpiryDate, kExpiryTime, kNow - 86400);
    Done(dialog);
  });
  EXPECT_EQ(RunDefaultSendOptionsDialog(nullptr), IDOK);
  EXPECT_EQ(GetConfigValue(numeric_setting::kExpiryTime), 0) << "a time already past is no negative expiry";
}

TEST_F(SendOptionsTest, FactoryDefaultsAreShownAndSavedAtOnceEvenWhenTheDialogIsCancelled) {
  SetConfigValue(numeric_setting::kNeedDeliveryReportFac, 1, FALSE);
  SetConfigValue(numeric_setting::kNeedReadReportFac, 1, FALSE);
  SetConfigValue(numeric_setting::kExpiryTimeFac, 86400, FALSE);
  SetConfigValue(numeric_setting::kSendAnonymouslyFac, 1, FALSE);
  SetConfigValue(numeric_setting::kNeedReadReport, 0, FALSE);
  When([&](HWND dialog) {
    EXPECT_FALSE(IsDlgButtonChecked(dialog, kReadReport));
    SendMessageW(dialog, WM_COMMAND, kSendOptionsFactoryDefaults, 0);
    EXPECT_TRUE(IsDlgButtonChecked(dialog, kDeliveryReport));
    EXPECT_TRUE(IsDlgButtonChecked(dialog, kReadReport));
    EXPECT_EQ(Selected(dialog, kExpiryList), u"24 hours");
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(RunSendOptionsDialog(nullptr, m_binding.Message()), IDCANCEL);
  EXPECT_EQ(GetConfigValue(numeric_setting::kNeedReadReport), 1);
  EXPECT_EQ(GetConfigValue(numeric_setting::kExpiryTime), 86400);
  EXPECT_EQ(GetConfigValue(numeric_setting::kSendAnonymously), 1);
  EXPECT_EQ(m_binding.Message().ReadSendOptions().expiry, 0) << "a cancelled message dialog stores nothing in it";
}

class SendOptionsPictures : public SendOptionsTest,
                            public ::testing::WithParamInterface<platform::window::ScreenGeometry> {};

TEST_P(SendOptionsPictures, EveryLayoutIsDrawn) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  const std::filesystem::path folder = test_support::BinaryPath(
      "send-options-pictures/" + std::to_string(screen.width) + "x" + std::to_string(screen.height));
  std::filesystem::create_directories(folder);
  SetConfigValue(numeric_setting::kExpiryTime, 604800, FALSE);
  SetConfigValue(numeric_setting::kNeedReadReport, 1, FALSE);
  const struct {
    const char* name;
    bool absolute;
    bool defaults;
  } layouts[] = {{"message-relative", false, false},
                 {"message-absolute", true, false},
                 {"defaults-relative", false, true},
                 {"defaults-absolute", true, true}};
  for (const auto& layout : layouts) {
    SetConfigValue(numeric_setting::kSendExpireTimeInAbsolute, layout.absolute, FALSE);
    SetConfigValue(numeric_setting::kSendDeliveryTimeInAbsolute, layout.absolute, FALSE);
    config::SendOptions options = m_binding.Message().ReadSendOptions();
    options.deliveryReport = TRUE;
    options.expiry = static_cast<LONG>(layout.absolute ? kNow + 7 * 86400 : 604800);
    options.deliveryTime = layout.absolute ? 0 : 3600;
    ASSERT_TRUE(m_binding.Message().WriteSendOptions(options));
    std::string error;
    bool written = false;
    When([&](HWND dialog) {
      SetFocus(GetDlgItem(dialog, layout.absolute ? kExpiryTime : kExpiryList));
      written = platform::automation::Screenshot(folder / (std::string(layout.name) + ".png"), &error);
      SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    if (layout.defaults) {
      EXPECT_EQ(RunDefaultSendOptionsDialog(nullptr), IDCANCEL);
    } else {
      EXPECT_EQ(RunSendOptionsDialog(nullptr, m_binding.Message()), IDCANCEL);
    }
    EXPECT_TRUE(written) << layout.name << ": " << error;
  }
}

INSTANTIATE_TEST_SUITE_P(Densities, SendOptionsPictures,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
