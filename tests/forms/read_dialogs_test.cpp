// The read view's dialogs, each opened for a stored corpus message as the view opens it: what it
// shows, and what the person's answer (a button, or the headless answer queue) leads to.
#include "forms/read_dialogs.h"

#include <chrono>
#include <thread>

#include "forms/call_confirm_dialog.h"
#include "forms/link_address_dialog.h"
#include "forms/message_info_dialog.h"
#include "forms/message_info_text.h"
#include "forms/text_page_dialog.h"
#include "platform/controls/control_messages.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/dialog/dialog_api.h"
#include "platform/kernel/activity_log.h"
#include "stored_message_fixture.h"

namespace ui_test {
namespace {

std::u16string ItemText(HWND dialog, int id) {
  std::u16string text(8192, u'\0');
  text.resize(GetDlgItemTextW(dialog, id, text.data(), static_cast<int>(text.size())));
  return text;
}

std::vector<std::u16string> ListRows(HWND dialog, int id) {
  std::vector<std::u16string> rows;
  const auto count = static_cast<int>(SendDlgItemMessageW(dialog, id, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::u16string row(static_cast<std::size_t>(SendDlgItemMessageW(dialog, id, LB_GETTEXTLEN, i, 0)), u'\0');
    SendDlgItemMessageW(dialog, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()));
    rows.push_back(row);
  }
  return rows;
}

// The list's rows joined into its fields again: a row indented by four spaces goes on the field
// above it. Spaces are left out, as a row may have been broken at one.
std::vector<std::u16string> ListFields(HWND dialog, int id) {
  std::vector<std::u16string> fields;
  for (const std::u16string& row : ListRows(dialog, id)) {
    const bool goesOn = row.starts_with(u"    ") && !fields.empty();
    if (!goesOn) fields.emplace_back();
    for (char16_t c : row) {
      if (c != u' ') fields.back() += c;
    }
  }
  return fields;
}

// The soft-key bar a dialog owns; null when it has none.
HWND SoftKeysOf(HWND dialog) {
  struct Search {
    HWND dialog;
    HWND bar;
  } search{dialog, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lParam) -> BOOL {
        auto* found = reinterpret_cast<Search*>(lParam);
        WCHAR name[32] = {};
        GetClassNameW(hwnd, name, 32);
        if (std::u16string_view(name) == kMenuBarClass && GetWindow(hwnd, GW_OWNER) == found->dialog) found->bar = hwnd;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.bar;
}

std::u16string Title(HWND window) {
  std::u16string title(128, u'\0');
  title.resize(GetWindowTextW(window, title.data(), static_cast<int>(title.size())));
  return title;
}

std::vector<std::string> Calls() {
  std::vector<std::string> numbers;
  for (const auto& entry : platform::ReadActivity()) {
    if (entry.kind == "call") numbers.push_back(entry.detail);
  }
  return numbers;
}

class ReadDialogsTest : public StoredMessageTest {
 protected:
  void SetUp() override {
    StoredMessageTest::SetUp();
    m_owner = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                              nullptr);
  }
  void TearDown() override {
    DestroyWindow(m_owner);
    StoredMessageTest::TearDown();
  }
  // Runs `check` on the next dialog once it waits for the person; it must carry that title (which
  // a dialog may take only as it starts, after it was made).
  void When(const std::u16string& title, std::function<void(HWND)> check) {
    platform::automation::OnWindowAppears(u"Dialog", u"", [this, title, check](HWND dialog) {
      ++m_seen;
      EXPECT_EQ(Title(dialog), title);
      check(dialog);
    });
  }

  HWND m_owner = nullptr;
  int m_seen = 0;
};

TEST_F(ReadDialogsTest, MessageInformationListsTheFieldsAndWrapsWhatIsTooWide) {
  MessageBinding* binding = Bind("mms/me-retrieve-1.mms");
  ASSERT_NE(binding, nullptr);
  std::vector<std::u16string> rows;
  std::vector<std::u16string> fields;
  When(u"Message Information", [&](HWND dialog) {
    rows = ListRows(dialog, kMessageInfoList);
    fields = ListFields(dialog, kMessageInfoList);
    // Its own soft keys cover the view's: the left one, Done, ends it.
    HWND keys = SoftKeysOf(dialog);
    ASSERT_NE(keys, nullptr);
    SendMessageW(keys, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  });
  EXPECT_EQ(ShowMessageInfoDialog(m_owner, binding->Message()), IDOK);
  ASSERT_EQ(m_seen, 1);
  // Each field starts a row with its label; rows that go on are indented under it.
  ASSERT_EQ(fields.size(), 7u);
  EXPECT_EQ(fields[0], u"From:+79050000000/TYPE=PLMN");
  EXPECT_EQ(fields[1], u"To:+79650000001/TYPE=PLMN;+79650000002/TYPE=PLMN");
  EXPECT_EQ(fields[2], u"Cc:+79650000003/TYPE=PLMN;+79650000004/TYPE=PLMN");
  EXPECT_TRUE(fields[3].starts_with(u"Date:"));
  EXPECT_EQ(fields[5], u"Class:Advertisement");
  EXPECT_GT(rows.size(), fields.size()) << "two recipients do not fit on one row of a 240-pixel screen";
}

TEST_F(ReadDialogsTest, TheInformationOfAReportIsItsReportText) {
  MessageBinding* binding = Bind("mms/me-delivery-1.mms");
  ASSERT_NE(binding, nullptr);
  std::vector<std::u16string> fields;
  When(u"Message Information", [&](HWND dialog) { fields = ListFields(dialog, kMessageInfoList); });
  // Nobody answers: the headless queue says what a person would have done.
  platform::automation::QueueAnswer(IDCANCEL, u"Message Information");
  EXPECT_EQ(ShowMessageInfoDialog(m_owner, binding->Message()), IDCANCEL);
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_TRUE(fields[0].starts_with(u"Report:Deliveryreportonyourmessage\"(nosubject)\"to+358500000000/TYPE=PLNM"));
  EXPECT_EQ(fields[1], u"Status:Retrieved");
  EXPECT_TRUE(fields[2].starts_with(u"Date:"));
}

TEST_F(ReadDialogsTest, TheReportDialogsAndTheDetailsShowTheirTexts) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  std::u16string delivery, read, details;
  When(u"Delivery Report", [&](HWND dialog) {
    delivery = ItemText(dialog, kTextPageEdit);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(ShowDeliveryReportDialog(m_owner, binding->Message()), IDOK);
  When(u"Read Report", [&](HWND dialog) {
    read = ItemText(dialog, kTextPageEdit);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(ShowReadReportDialog(m_owner, binding->Message()), IDOK);
  When(u"Message Details", [&](HWND dialog) {
    details = ItemText(dialog, kTextPageEdit);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(ShowMessageDetailsDialog(m_owner, *binding), IDOK);
  EXPECT_EQ(m_seen, 3);
  EXPECT_EQ(delivery, u"The sender did not ask for a delivery report.");
  EXPECT_EQ(read, u"The sender did not ask for a read report.");
  EXPECT_TRUE(details.starts_with(u"From: trips@example.com\r\nTo: +447700900002/TYPE=PLMN\r\n"
                                  u"Subject: Autumn trip: everything you need to know\r\n"))
      << CString(details).ToUtf8();
  EXPECT_NE(details.find(u"text/plain"), std::u16string::npos);
  EXPECT_NE(details.find(u"Priority: Normal"), std::u16string::npos);
}

TEST_F(ReadDialogsTest, CallDialsTheNumberAsCorrectedAndNeverAnEmptyOne) {
  // As offered.
  When(u"Call", [&](HWND dialog) {
    EXPECT_EQ(ItemText(dialog, kCallNumberEdit), u"+44 7700 900123");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(ShowCallConfirmDialog(m_owner, CString(u"+44 7700 900123")), IDOK);
  // Corrected by the person first.
  When(u"Call", [&](HWND dialog) {
    SetDlgItemTextW(dialog, kCallNumberEdit, u" 0700 900124 ");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(ShowCallConfirmDialog(m_owner, CString(u"+44 7700 900123")), IDOK);
  // Cleared: Call keeps the dialog open, and only Cancel (here its right soft key) ends it.
  bool stillOpen = false;
  When(u"Call", [&](HWND dialog) {
    SetDlgItemTextW(dialog, kCallNumberEdit, u"  ");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    platform::automation::PumpUntilIdle();
    stillOpen = IsWindowVisible(dialog) != FALSE;
    HWND keys = SoftKeysOf(dialog);
    ASSERT_NE(keys, nullptr);
    RECT bar{};
    GetClientRect(keys, &bar);
    SendMessageW(keys, WM_LBUTTONUP, 0, MAKELPARAM(bar.right - 5, 5));
  });
  EXPECT_EQ(ShowCallConfirmDialog(m_owner, CString(u"+44 7700 900123")), IDCANCEL);
  EXPECT_TRUE(stillOpen);
  // Answered by the headless queue without touching it: the number offered.
  platform::automation::QueueAnswer(IDOK, u"Call");
  EXPECT_EQ(ShowCallConfirmDialog(m_owner, CString(u"555-0100")), IDOK);
  // Cancelled: no call.
  platform::automation::QueueAnswer(IDCANCEL, u"Call");
  EXPECT_EQ(ShowCallConfirmDialog(m_owner, CString(u"555-0199")), IDCANCEL);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"+44 7700 900123", "0700 900124", "555-0100"}));
  EXPECT_EQ(m_seen, 3);
}

TEST_F(ReadDialogsTest, TheLinkAddressIsTakenAsEditedAndAnEmailMustStayOne) {
  When(u"Link", [&](HWND dialog) {
    EXPECT_EQ(ItemText(dialog, kLinkAddressEdit), u"www.example.com/trip");
    SetDlgItemTextW(dialog, kLinkAddressEdit, u"www.example.org/trip ");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(ShowLinkAddressDialog(m_owner, CString(u"www.example.com/trip"), false), CString(u"www.example.org/trip"));

  std::u16string title;
  bool openAfterBadAddress = false;
  When(u"E-mail Address", [&](HWND dialog) {
    title = Title(dialog);
    SetDlgItemTextW(dialog, kLinkAddressEdit, u"anna.example.com");
    platform::automation::QueueAnswer(IDOK, u"not a valid e-mail address");
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    openAfterBadAddress = IsWindowVisible(dialog) != FALSE;
    SetDlgItemTextW(dialog, kLinkAddressEdit, u"anna@example.com");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(ShowLinkAddressDialog(m_owner, CString(u"ana@example.com"), true), CString(u"anna@example.com"));
  EXPECT_EQ(title, u"E-mail Address");
  EXPECT_TRUE(openAfterBadAddress);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u) << "the bad address was explained";

  // Cancelled, or ended by the queue with an address that is no e-mail address: nothing is taken.
  platform::automation::QueueAnswer(IDCANCEL, u"Link");
  EXPECT_FALSE(ShowLinkAddressDialog(m_owner, CString(u"www.example.com"), false).has_value());
  platform::automation::QueueAnswer(IDOK, u"E-mail Address");
  EXPECT_FALSE(ShowLinkAddressDialog(m_owner, CString(u"not-an-address"), true).has_value());
}

}  // namespace
}  // namespace ui_test
