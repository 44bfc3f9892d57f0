// The read view's command table on stored corpus messages, run modally as the frame runs it: the
// message dialogs, replies and forward handed to the composer, the link commands and the Talk
// key, the menu rules as the soft-key menu opens, the HTML text's links, the policy notice, and
// the frame's verbs for the message information and details.
#include <chrono>
#include <thread>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/internet_shortcut.h"
#include "device/ipc_flag.h"
#include "device/link_record.h"
#include "forms/message_info_dialog.h"
#include "forms/read_frame.h"
#include "forms/read_view.h"
#include "forms/save_objects_window.h"
#include "forms/saveable_objects.h"
#include "forms/text_xml_view_wnd.h"
#include "platform/controls/list_view_api.h"
#include "platform/kernel/activity_log.h"
#include "platform/controls/control_messages.h"
#include "platform/controls/html_view.h"
#include "platform/controls/menu_api.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/dialog/dialog_api.h"
#include "platform/message_store/mail_api.h"
#include "platform/registry/registry_notify.h"
#include "platform/window/screen.h"
#include "ui/oriented_dialog.h"
#include "stored_message_fixture.h"

namespace ui_test {
namespace {

using platform::automation::PumpUntilIdle;
using platform::automation::QueueAnswer;

std::u16string Title(HWND window) {
  std::u16string title(128, u'\0');
  title.resize(GetWindowTextW(window, title.data(), static_cast<int>(title.size())));
  return title;
}

bool Grayed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
bool Present(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) != kMenuItemNotFound; }

std::vector<std::string> ActivityOf(const std::string& kind) {
  std::vector<std::string> details;
  for (const auto& entry : platform::ReadActivity()) {
    if (entry.kind == kind) details.push_back(entry.detail);
  }
  return details;
}

// The client's main frame, keeping what it was asked to take.
struct ClientCall {
  UINT message;
  WPARAM wParam;
  std::u16string text;
};
std::vector<ClientCall>& ClientCalls() {
  static std::vector<ClientCall> calls;
  return calls;
}
LRESULT ClientProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLIENT_TAKE_ITEM) {
    ClientCalls().push_back({message, wParam, reinterpret_cast<LPCWSTR>(lParam)});
    return wParam == 6 ? 1 : 0;  // the client takes the second offer
  }
  if (message == 1256) ClientCalls().push_back({message, wParam, u""});
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class ReadViewCommandsTest : public StoredMessageTest {
 protected:
  void SetUp() override {
    StoredMessageTest::SetUp();
    ASSERT_TRUE(SetConfigValue(numeric_setting::kMsgAutoPlay, 1, FALSE));
    ASSERT_TRUE(SetConfigValue(numeric_setting::kNeedDisplayMsgInfo, 0, FALSE));
    ClearIpcFlag();
    platform::ClearMailRequests();
    ClientCalls().clear();
    m_owner = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                              nullptr);
  }
  void TearDown() override {
    DestroyWindow(m_owner);
    if (m_client != nullptr) DestroyWindow(m_client);
    platform::ClearMailRequests();
    StoredMessageTest::TearDown();
  }

  // Runs the view for the message; `check` acts once it waits for the reader. The view is then
  // closed with Done unless the check ended it. Returns what Run returned.
  bool Run(MessageBinding* binding, const std::function<void(CReadView&)>& check) {
    CReadView view(binding->Model(), binding);
    bool checked = false;
    platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
      checked = true;
      check(view);
      if (IsWindowVisible(dialog)) PostMessageW(dialog, WM_COMMAND, 1, 0);
    });
    const bool result = view.Run(m_owner);
    EXPECT_TRUE(checked);
    return result;
  }
  // The next dialog (a view's own dialog) runs `check` and is ended with `answer`.
  void NextDialog(std::u16string title, std::function<void(HWND)> check = nullptr, int answer = IDOK) {
    platform::automation::OnWindowAppears(u"Dialog", u"", [this, title, check, answer](HWND dialog) {
      m_dialogs.push_back(Title(dialog));
      EXPECT_EQ(Title(dialog), title);
      if (check) check(dialog);
      PostMessageW(dialog, WM_COMMAND, answer, 0);
    });
  }
  static void Command(CReadView& view, WORD id) {
    SendMessageW(view.GetHandle(), WM_COMMAND, id, 0);
    PumpUntilIdle();
  }
  static void SelectLink(CReadView& view, const LinkRecord& link) {
    SendMessageW(view.GetHandle(), WM_READ_LINK_SELECTED, 1, reinterpret_cast<LPARAM>(&link));
  }
  static LinkRecord Link(std::u16string_view target, int type) {
    LinkRecord link;
    link.target = CString(target);
    link.display = link.target;
    link.type = type;
    return link;
  }
  static void OpenMenu(CReadView& view) {
    SendMessageW(view.GetHandle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view.MainMenu()), 0);
  }
  void MakeClient() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ClientProcedure;
    windowClass.lpszClassName = u"Ppc_WndCls_MainFrme";
    RegisterClassW(&windowClass);
    m_client = CreateWindowExW(0, u"Ppc_WndCls_MainFrme", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  }
  // The dialler runs as a process of its own: its row comes when it has run.
  static bool WaitForDialler() {
    for (int i = 0; i < 200; ++i) {
      if (!ActivityOf("dialler").empty()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
  }

  HWND m_owner = nullptr;
  HWND m_client = nullptr;
  std::vector<std::u16string> m_dialogs;
};

TEST_F(ReadViewCommandsTest, TheMessageDialogsOpenFromTheirCommandsAndStopPlaying) {
  MessageBinding* binding = Bind("mms-rich/rich-01-photo-audio-begin.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    EXPECT_EQ(view.PlaybackState(), read_view::kPlaying);
    // Picked from the soft-key menu, as a person would: the right key opens it.
    QueueAnswer(read_command::kMessageInfo);
    std::vector<std::u16string> rows;
    NextDialog(u"Message Information", [&](HWND dialog) {
      for (int i = 0; i < SendDlgItemMessageW(dialog, kMessageInfoList, LB_GETCOUNT, 0, 0); ++i) {
        std::u16string row(static_cast<std::size_t>(SendDlgItemMessageW(dialog, kMessageInfoList, LB_GETTEXTLEN, i, 0)),
                           u'\0');
        SendDlgItemMessageW(dialog, kMessageInfoList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()));
        rows.push_back(row);
      }
    });
    RECT bar{};
    GetClientRect(view.MenuBar(), &bar);
    SendMessageW(view.MenuBar(), WM_LBUTTONUP, 0, MAKELPARAM(bar.right - 5, 5));
    PumpUntilIdle();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), u"From: +447700900001/TYPE=PLMN");
    EXPECT_EQ(view.PlaybackState(), read_view::kStopped);
    EXPECT_FALSE(view.KeepAwakeRunning());

    NextDialog(u"Delivery Report");
    Command(view, read_command::kDeliveryReport);
    NextDialog(u"Read Report");
    Command(view, read_command::kReadReport);
  });
  EXPECT_EQ(m_dialogs, (std::vector<std::u16string>{u"Message Information", u"Delivery Report", u"Read Report"}));
}

TEST_F(ReadViewCommandsTest, TheEndOfThePresentationShowsTheInformationWhenTheSettingAsks) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kNeedDisplayMsgInfo, 1, FALSE));
  MessageBinding* binding = Bind("mms-rich/rich-09-nine-slides.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    NextDialog(u"Message Information");
    const DWORD start = GetTickCount();
    while (!view.Ended() && GetTickCount() - start < 10 * 60 * 1000) platform::automation::AdvanceClock(300);
    EXPECT_TRUE(view.Ended());
    EXPECT_GE(GetTickCount() - start + 300, TotalDuration(*binding->Model()));
  });
  EXPECT_EQ(m_dialogs.size(), 1u);
}

TEST_F(ReadViewCommandsTest, RepliesHandTheSenderToTheComposerAndEndTheView) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  EXPECT_FALSE(Run(binding, [&](CReadView& view) { Command(view, read_command::kReplyText); }));
  EXPECT_EQ(GetIpcFlag(), -1) << "a text reply leaves the handshake alone";
  EXPECT_FALSE(Run(binding, [&](CReadView& view) { Command(view, read_command::kReplyMms); }));
  EXPECT_EQ(GetIpcFlag(), 4096);
  const auto& requests = platform::MailRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].to, u"trips@example.com");
  EXPECT_EQ(requests[0].account, GetConfigString(string_setting::kSMSAccountName).View());
  EXPECT_TRUE(requests[0].subject.empty());
  EXPECT_EQ(requests[1].to, u"trips@example.com");
  EXPECT_EQ(requests[1].subject, u"Re: Autumn trip: everything you need to know");
  EXPECT_EQ(requests[1].bcc, u"QuillonMenuExtReply");
  EXPECT_EQ(requests[1].messageClass, GetConfigString(string_setting::kMMSClassName).View());
}

TEST_F(ReadViewCommandsTest, ForwardHandsTheMessageOverWithItsSendOptions) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  EXPECT_FALSE(Run(binding, [&](CReadView& view) { Command(view, read_command::kForward); }));
  const auto& requests = platform::MailRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].to.starts_with(binding->DataFile().View()));
  EXPECT_EQ(requests[0].subject, u"Fw: Autumn trip: everything you need to know");
}

TEST_F(ReadViewCommandsTest, AMessageWithoutASenderHasNoReplyCommands) {
  MessageBinding* binding = Bind("mms/me-retrieve-5.mms");
  ASSERT_NE(binding, nullptr);
  EXPECT_TRUE(Run(binding, [&](CReadView& view) {
    EXPECT_FALSE(view.CanReply());
    HMENU main = view.MainMenu();
    ASSERT_NE(main, nullptr);
    OpenMenu(view);
    // The first item (reply by MMS) is gone, once: opening the menu again removes nothing more.
    EXPECT_FALSE(Present(main, read_command::kReplyMms));
    EXPECT_TRUE(Present(main, read_command::kReplyText));
    OpenMenu(view);
    EXPECT_TRUE(Present(main, read_command::kReplyText));
    EXPECT_TRUE(Grayed(main, read_command::kReplyText));
    EXPECT_TRUE(Grayed(main, read_command::kForward));
    EXPECT_FALSE(Grayed(main, read_command::kMessageInfo));
    // The left key, reply, is shown disabled and does nothing when pressed.
    HMENU keys = reinterpret_cast<HMENU>(SendMessageW(view.MenuBar(), SHCMBM_GETMENU, 0, 0));
    EXPECT_TRUE((GetMenuState(keys, 0, MF_BYPOSITION) & MF_GRAYED) != 0);
    SendMessageW(view.MenuBar(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpUntilIdle();
    Command(view, read_command::kReplyMms);
    Command(view, read_command::kReplyText);
    EXPECT_TRUE(view.IsWindow());
  }));
  EXPECT_TRUE(platform::MailRequests().empty());
}

TEST_F(ReadViewCommandsTest, ReportsAreNeitherAnsweredNorForwarded) {
  MessageBinding* binding = Bind("mms/me-read-orig.mms");
  ASSERT_NE(binding, nullptr);
  EXPECT_TRUE(Run(binding, [&](CReadView& view) {
    // A read report has a sender, the reader, but nobody to answer.
    OpenMenu(view);
    EXPECT_TRUE(Grayed(view.MainMenu(), read_command::kReplyMms));
    EXPECT_TRUE(Grayed(view.MainMenu(), read_command::kForward));
    QueueAnswer(IDOK, u"cannot be replied to or forwarded");
    Command(view, read_command::kReplyMms);
    QueueAnswer(IDOK, u"cannot be replied to or forwarded");
    Command(view, read_command::kForward);
  }));
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_TRUE(platform::MailRequests().empty());
}

TEST_F(ReadViewCommandsTest, CallAndOpenActOnTheCurrentLinkAndClearIt) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    const LinkRecord phone = Link(u"+44 20 7946 0018", kLinkPhone);
    SelectLink(view, phone);
    NextDialog(u"Call", [](HWND dialog) {
      WCHAR number[64] = {};
      GetDlgItemTextW(dialog, 1002, number, 64);
      EXPECT_EQ(std::u16string_view(number), u"+44 20 7946 0018");
    });
    Command(view, read_command::kCallLink);
    EXPECT_TRUE(view.LinkTarget().IsEmpty());
    // With the link gone, the call command has nothing to call.
    Command(view, read_command::kCallLinkWithOptions);

    const LinkRecord web = Link(u"http://www.example.com/autumn", kLinkHttp);
    SelectLink(view, web);
    Command(view, read_command::kOpenLink);
    EXPECT_TRUE(view.LinkTarget().IsEmpty());
    // Open is for addresses: a number is not opened.
    SelectLink(view, phone);
    Command(view, read_command::kOpenLink);
  });
  EXPECT_EQ(m_dialogs, (std::vector<std::u16string>{u"Call"}));
  EXPECT_EQ(ActivityOf("call"), (std::vector<std::string>{"+44 20 7946 0018"}));
  EXPECT_EQ(ActivityOf("open"), (std::vector<std::string>{"http://www.example.com/autumn"}));
}

TEST_F(ReadViewCommandsTest, ComposingToALinkHandsItToTheComposerAsTheRecipient) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  const LinkRecord phone = Link(u"07700900123", kLinkPhone);
  const LinkRecord email = Link(u"anna@example.com", kLinkEmail);
  // A text message to a number; an e-mail to an address; an MMS to an address.
  EXPECT_FALSE(Run(binding, [&](CReadView& view) {
    SelectLink(view, phone);
    Command(view, read_command::kTextToLink);
  }));
  EXPECT_FALSE(Run(binding, [&](CReadView& view) {
    SelectLink(view, email);
    Command(view, read_command::kEmailToLink);
  }));
  EXPECT_EQ(GetIpcFlag(), -1);
  EXPECT_FALSE(Run(binding, [&](CReadView& view) {
    SelectLink(view, email);
    Command(view, read_command::kMmsToLink);
  }));
  EXPECT_EQ(GetIpcFlag(), 4096);
  // What cannot be addressed, and anything while the policy forbids composing, does nothing.
  ASSERT_TRUE(SetConfigValue(numeric_setting::kSecurityPolicy1033, 0, FALSE));
  EXPECT_TRUE(Run(binding, [&](CReadView& view) {
    SelectLink(view, email);
    Command(view, read_command::kTextToLink);
    SelectLink(view, phone);
    Command(view, read_command::kEmailToLink);
    Command(view, read_command::kTextToLink);
    Command(view, read_command::kMmsToLink);
    Command(view, read_command::kVoiceMailToLink);
  }));
  const auto& requests = platform::MailRequests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].to, u"07700900123");
  EXPECT_EQ(requests[0].account, GetConfigString(string_setting::kSMSAccountName).View());
  EXPECT_EQ(requests[1].to, u"anna@example.com");
  EXPECT_EQ(requests[1].account, GetConfigString(string_setting::kEmailAccountName).View());
  EXPECT_EQ(requests[2].to, u"anna@example.com");
  EXPECT_EQ(requests[2].messageClass, GetConfigString(string_setting::kMMSClassName).View());
}

TEST_F(ReadViewCommandsTest, FavouritesEditingAndTheClientTakeTheLinksAddress) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  MakeClient();
  Run(binding, [&](CReadView& view) {
    SelectLink(view, Link(u"www.example.com\\trips", kLinkHttp));
    Command(view, read_command::kLinkToFavorites);
    // Edit: the address as corrected becomes the current link, and playing goes on.
    NextDialog(u"Link", [](HWND dialog) { SetDlgItemTextW(dialog, 1001, u"www.example.org/trips"); });
    Command(view, read_command::kEditLink);
    EXPECT_EQ(view.LinkTarget(), u"www.example.org/trips");
    EXPECT_EQ(view.PlaybackState(), read_view::kPlaying);
    EXPECT_NE(view.MenuBar(), nullptr);
    Command(view, read_command::kLinkToClient);
    EXPECT_TRUE(view.LinkTarget().IsEmpty());
    // An e-mail link is edited as one.
    SelectLink(view, Link(u"anna@example.com", kLinkEmail));
    NextDialog(u"E-mail Address");
    Command(view, read_command::kEditLink);
    EXPECT_EQ(view.LinkTarget(), u"anna@example.com");
    EXPECT_EQ(view.LinkType(), kLinkEmail);
    // A number is no favourite.
    SelectLink(view, Link(u"07700900123", kLinkPhone));
    Command(view, read_command::kLinkToFavorites);
  });
  EXPECT_EQ(ActivityOf("favourite"), (std::vector<std::string>{"www.example.com/trips http://www.example.com\\trips"}));
  EXPECT_EQ(ReadFavorites(), (std::vector<CString>{CString(u"www.example.com/trips")}));
  // The client answered the second offer; the third was not made.
  ASSERT_EQ(ClientCalls().size(), 2u);
  EXPECT_EQ(ClientCalls()[0].wParam, 2u);
  EXPECT_EQ(ClientCalls()[1].wParam, 6u);
  EXPECT_EQ(ClientCalls()[1].text, u"www.example.org/trips");
}

TEST_F(ReadViewCommandsTest, TheTalkKeyCallsASelectedNumberAndOtherwiseStartsTheDialler) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    SelectLink(view, Link(u"+447700900777", kLinkPhone));
    NextDialog(u"Call");
    SendMessageW(view.GetHandle(), WM_HOTKEY, 0, MAKELPARAM(3, kTalkKey));
    PumpUntilIdle();
    // A web link is nothing to call: the key starts the phone application instead.
    SelectLink(view, Link(u"http://www.example.com", kLinkHttp));
    SendMessageW(view.GetHandle(), WM_HOTKEY, 0, MAKELPARAM(3, kTalkKey));
    PumpUntilIdle();
  });
  EXPECT_EQ(m_dialogs, (std::vector<std::u16string>{u"Call"}));
  EXPECT_EQ(ActivityOf("call"), (std::vector<std::string>{"+447700900777"}));
  EXPECT_TRUE(WaitForDialler());
}

TEST_F(ReadViewCommandsTest, TheLinkMenuEnablesWhatTheCurrentLinkCanDo) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    HMENU link = view.LinkMenu();
    ASSERT_NE(link, nullptr);
    OpenMenu(view);
    for (UINT id : {40421u, 40455u, 40683u, 40684u, 40686u, 40635u, 40758u, 40424u, 40495u}) {
      EXPECT_TRUE(Grayed(link, id)) << id << " without a link";
    }
    EXPECT_FALSE(Present(link, read_command::kVoiceMailToLink)) << "no voice-mail class";
    SelectLink(view, Link(u"07700900123", kLinkPhone));
    OpenMenu(view);
    EXPECT_FALSE(Grayed(link, read_command::kCallLink));
    EXPECT_FALSE(Grayed(link, read_command::kTextToLink));
    EXPECT_FALSE(Grayed(link, read_command::kMmsToLink));
    EXPECT_TRUE(Grayed(link, read_command::kEmailToLink));
    EXPECT_TRUE(Grayed(link, read_command::kOpenLink));
    EXPECT_TRUE(Grayed(link, read_command::kLinkToFavorites));
    EXPECT_FALSE(Grayed(link, read_command::kSaveLinkToContacts)) << "a number goes into a contact";
    SelectLink(view, Link(u"anna@example.com", kLinkEmail));
    OpenMenu(view);
    EXPECT_FALSE(Grayed(link, read_command::kEmailToLink));
    EXPECT_TRUE(Grayed(link, read_command::kTextToLink));
    EXPECT_TRUE(Grayed(link, read_command::kCallLink));
    SelectLink(view, Link(u"http://www.example.com", kLinkHttp));
    OpenMenu(view);
    EXPECT_FALSE(Grayed(link, read_command::kOpenLink));
    EXPECT_FALSE(Grayed(link, read_command::kLinkToFavorites));
    EXPECT_TRUE(Grayed(link, read_command::kMmsToLink));
    EXPECT_TRUE(Grayed(link, read_command::kSaveLinkToContacts)) << "a web address has no contact field";
    // The text part can be kept; no object is current until the text reports one.
    EXPECT_FALSE(Grayed(view.MainMenu(), read_command::kSaveObjects));
    EXPECT_TRUE(Grayed(view.MainMenu(), read_command::kSaveThisObject));
  });
}

TEST_F(ReadViewCommandsTest, SavingOpensTheSaveObjectsWindowAndStopsPlaying) {
  MessageBinding* binding = Bind("mms-rich/rich-01-photo-audio-begin.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    OpenMenu(view);
    EXPECT_FALSE(Grayed(view.MainMenu(), read_command::kSaveObjects)) << "photos and a sound to save";
    EXPECT_TRUE(Grayed(view.MainMenu(), read_command::kSaveThisObject)) << "no object is current yet";
    int listed = -1;
    platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
      listed = static_cast<int>(SendDlgItemMessageW(dialog, kObjectList, LVM_GETITEMCOUNT, 0, 0));
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    Command(view, read_command::kSaveObjects);
    // Every part with a file: the photos, their captions and the sound.
    EXPECT_EQ(listed, static_cast<int>(SaveableObjects(*binding->Model()).size()));
    EXPECT_GE(listed, 4);
    EXPECT_EQ(view.PlaybackState(), read_view::kStopped);
    // Once the text reports an object as current, it can be saved alone.
    const std::u16string path = u"\\My Documents\\photo.jpg";
    SendMessageW(view.GetHandle(), WM_READ_CURRENT_OBJECT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    OpenMenu(view);
    EXPECT_FALSE(Grayed(view.MainMenu(), read_command::kSaveThisObject));
  });
}

TEST_F(ReadViewCommandsTest, HtmlLinksOpenOrOfferTheirMenus) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    const HWND handle = view.GetHandle();
    SendMessageW(handle, kReadHtmlFolder, 0, reinterpret_cast<LPARAM>(u"\\My Documents\\UAContents\\7\\"));
    NM_HTMLVIEW tap{};
    tap.hdr.code = NM_HOTSPOT;
    tap.szTarget = "page2.htm";
    SendMessageW(handle, kReadHtmlLink, 0, reinterpret_cast<LPARAM>(&tap));
    EXPECT_EQ(view.PlaybackState(), read_view::kPaused);
    tap.szTarget = "http://www.example.com/a";
    SendMessageW(handle, kReadHtmlLink, 0, reinterpret_cast<LPARAM>(&tap));
    tap.szTarget = "https://secure.example.com/";  // no relative path after the folder
    SendMessageW(handle, kReadHtmlLink, 0, reinterpret_cast<LPARAM>(&tap));
    // A received text starts no program, and its relative links stay in its folder.
    for (const char* program : {"\\windows\\cprog.exe", "/windows/CPROG.EXE?x=1", "file:///windows/cprog.exe",
                                "../../windows/cprog.exe", "..\\..\\registry.db", "pictures/../../x.htm"}) {
      tap.szTarget = program;
      SendMessageW(handle, kReadHtmlLink, 0, reinterpret_cast<LPARAM>(&tap));
    }
    // A mail address offers the compose menu; the person picks e-mail.
    QueueAnswer(read_command::kEmailToLink);
    tap.szTarget = "MAILTO:anna@example.com";
    SendMessageW(handle, kReadHtmlLink, 0, reinterpret_cast<LPARAM>(&tap));
    EXPECT_EQ(view.LinkTarget(), u"anna@example.com");
    PumpUntilIdle();
  });
  EXPECT_EQ(ActivityOf("open"),
            (std::vector<std::string>{"\\My Documents\\UAContents\\7\\page2.htm", "http://www.example.com/a",
                                      "https://secure.example.com/"}));
  EXPECT_TRUE(ActivityOf("start").empty());
  ASSERT_EQ(platform::MailRequests().size(), 1u);
  EXPECT_EQ(platform::MailRequests()[0].to, u"anna@example.com");
}

TEST_F(ReadViewCommandsTest, APolicyChangeIsToldWhenTheViewIsActivatedAgain) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  ASSERT_TRUE(SetConfigValue(numeric_setting::kSecurityPolicy1033, 1, TRUE));
  Run(binding, [&](CReadView& view) {
    ASSERT_TRUE(SetConfigValue(numeric_setting::kSecurityPolicy1033, 0, TRUE));
    platform::PollRegistryNotifications();
    PumpUntilIdle();
    EXPECT_EQ(view.PolicyValue(), 1u) << "nothing is told until the view comes back";
    QueueAnswer(IDOK, u"The content policy is now off.");
    SendMessageW(view.GetHandle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(view.PolicyValue(), 0u);
    // Activated again without a change: no notice.
    SendMessageW(view.GetHandle(), WM_ACTIVATE, WA_ACTIVE, 0);
  });
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
}

TEST_F(ReadViewCommandsTest, ARotationLaysTheViewOutAgainAndKeepsItsPlayback) {
  MessageBinding* binding = Bind("mms-rich/rich-09-nine-slides.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    platform::automation::AdvanceClock(1500);
    const int position = view.Progress()->Position();
    ASSERT_GT(position, 0);
    ASSERT_TRUE(platform::window::ConfigureScreen({320, 240, 96}));
    SendMessageW(view.GetHandle(), WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    RECT client{};
    view.GetClientRect(&client);
    RECT toolbar{};
    GetWindowRect(view.Toolbar(), &toolbar);
    RECT bar{};
    GetWindowRect(view.MenuBar(), &bar);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(toolbar.right - toolbar.left, 320);
    EXPECT_EQ(bar.right - bar.left, 320);
    EXPECT_EQ(bar.bottom, 240);
    EXPECT_EQ(view.Progress()->Position(), position);
    EXPECT_EQ(view.PlaybackState(), read_view::kPlaying);
    RECT button{};
    EXPECT_TRUE(platform::controls::ToolbarButtonRect(view.Toolbar(), kPauseCommand, &button)) << "pause stays shown";
    // The player fills the width above the toolbar.
    RECT player{};
    GetWindowRect(view.Player().Window()->GetHandle(), &player);
    EXPECT_EQ(player.right - player.left, 320);
    EXPECT_LE(player.bottom, toolbar.top);
    // The Talk key still reaches the view through the new bar.
    SendMessageW(view.MenuBar(), WM_KEYUP, kTalkKey, 0);
    PumpUntilIdle();
  });
  EXPECT_TRUE(WaitForDialler());
}

TEST_F(ReadViewCommandsTest, FullScreenGivesTheSoftKeysRoomBackOnlyWhenItEnds) {
  MessageBinding* binding = Bind("mms-rich/rich-09-nine-slides.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    EXPECT_TRUE(IsWindowVisible(view.MenuBar()));
    Command(view, kFullScreenCommand);
    EXPECT_TRUE(view.Player().IsFullScreen());
    EXPECT_FALSE(IsWindowVisible(view.MenuBar()));
    EXPECT_EQ(view.PlaybackState(), read_view::kPlaying);
    SendMessageW(view.GetHandle(), WM_LBUTTONDOWN, 0, MAKELPARAM(100, 100));
    PumpUntilIdle();
    EXPECT_FALSE(view.Player().IsFullScreen());
    EXPECT_TRUE(IsWindowVisible(view.MenuBar()));
  });
}

TEST_F(ReadViewCommandsTest, TheFocusIsThePlayersAndItsKeysStillMoveBetweenSlides) {
  MessageBinding* binding = Bind("mms-rich/rich-09-nine-slides.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    SetFocus(m_owner);
    SetFocus(view.GetHandle());
    EXPECT_EQ(GetFocus(), view.Player().Window()->GetHandle());
    PumpUntilIdle();
    EXPECT_EQ(view.PlaybackState(), read_view::kPlaying) << "handing the focus to its own player pauses nothing";
    platform::automation::PressKey(39);  // right
    EXPECT_EQ(view.CurrentSlide(), 1);
    platform::automation::PressKey(37);  // left
    EXPECT_EQ(view.CurrentSlide(), 0);
  });
}

TEST_F(ReadViewCommandsTest, UpAndDownFromThePlayerStepThroughTheTextsLinks) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  Run(binding, [&](CReadView& view) {
    SetFocus(view.GetHandle());
    ASSERT_EQ(GetFocus(), view.Player().Window()->GetHandle());
    ASSERT_TRUE(view.LinkTarget().IsEmpty());
    platform::automation::PressKey(40);  // down: the first link
    const CString first = view.LinkTarget();
    EXPECT_FALSE(first.IsEmpty());
    platform::automation::PressKey(40);
    EXPECT_FALSE(view.LinkTarget().IsEmpty());
    EXPECT_NE(view.LinkTarget(), first);
    platform::automation::PressKey(38);  // up: back to the first
    EXPECT_EQ(view.LinkTarget(), first);
    EXPECT_EQ(GetFocus(), view.Player().Window()->GetHandle()) << "the keys leave the focus where it was";
  });
}

int g_chooserCancels = 0;
LRESULT ChooserProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) ++g_chooserCancels;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(ReadViewCommandsTest, TheViewKeepsTheCurrentObjectTakesActivationBackAndClosesItsChooser) {
  MessageBinding* binding = Bind("mms-rich/rich-05-long-text-links.mms");
  ASSERT_NE(binding, nullptr);
  g_chooserCancels = 0;
  WNDCLASSW chooserClass{};
  chooserClass.lpfnWndProc = ChooserProcedure;
  chooserClass.lpszClassName = u"MSContactChooser";
  RegisterClassW(&chooserClass);
  HWND chooser = nullptr;
  EXPECT_FALSE(Run(binding, [&](CReadView& view) {
    const HWND handle = view.GetHandle();
    SendMessageW(handle, WM_READ_CURRENT_OBJECT, 1, reinterpret_cast<LPARAM>(u"\\Temp\\page.htm"));
    EXPECT_TRUE(view.HasCurrentObject());
    EXPECT_EQ(view.CurrentObject(), u"\\Temp\\page.htm");
    SendMessageW(handle, WM_READ_CURRENT_OBJECT, 0, 0);
    EXPECT_FALSE(view.HasCurrentObject());
    // The shell's two notices in turn make the view the active window again; the second alone does not.
    SetActiveWindow(m_owner);
    NMHDR notice{};
    notice.code = static_cast<UINT>(-522);
    SendMessageW(handle, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
    EXPECT_NE(GetActiveWindow(), handle);
    notice.code = static_cast<UINT>(-521);
    SendMessageW(handle, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
    notice.code = static_cast<UINT>(-522);
    SendMessageW(handle, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
    EXPECT_EQ(GetActiveWindow(), handle);
    // Closing cancels a contact chooser the view owns, and ends the view.
    chooser = CreateWindowExW(0, u"MSContactChooser", u"", WS_POPUP, 0, 0, 10, 10, handle, nullptr, nullptr, nullptr);
    SendMessageW(handle, WM_READ_VIEW_CLOSE, 0, 0);
  }));
  EXPECT_EQ(g_chooserCancels, 1);
  if (chooser != nullptr && IsWindow(chooser)) DestroyWindow(chooser);
}

class ReadFrameVerbsTest : public ReadViewCommandsTest {
 protected:
  void Verb(MessageBinding* binding, DWORD verb) {
    CReadFrame frame;
    ASSERT_NE(frame.Create(m_owner), nullptr);
    ASSERT_TRUE(frame.LoadMessage(verb, binding->Message().Get()));
    PumpUntilIdle();
  }
};

TEST_F(ReadFrameVerbsTest, TheHostsInformationAndDetailsVerbsOpenTheirDialogs) {
  MessageBinding* binding = Bind("mms/me-retrieve-1.mms");
  ASSERT_NE(binding, nullptr);
  MakeClient();
  NextDialog(u"Message Information");
  Verb(binding, 3);
  EXPECT_EQ(ClientCalls().size(), 1u) << "the client hears of the information first";
  NextDialog(u"Message Details");
  Verb(binding, 4);
  NextDialog(u"Message Details");
  Verb(binding, 6);
  // Where the device hides it, the details of verb 6 do not open.
  ASSERT_TRUE(SetConfigValue(numeric_setting::kHideDlgControl, 0x10, FALSE));
  Verb(binding, 6);
  EXPECT_EQ(m_dialogs, (std::vector<std::u16string>{u"Message Information", u"Message Details", u"Message Details"}));
}

}  // namespace
}  // namespace ui_test
