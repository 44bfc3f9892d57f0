// Dialogs from templates: the modal loop, EndDialog, missing and broken templates, dialog units,
// and headless dialogs answered from the automation queue.
#include "controls_fixture.h"
#include "platform/controls/control_common.h"
#include "platform/controls/control_messages.h"
#include "platform/controls/shell_title_bar.h"
#include "platform/dialog/dialog_api.h"
#include "platform/resources/resource_api.h"
#include "platform/window/screen.h"

namespace controls_test {
namespace {

const DLGTEMPLATE* Template(UINT id) {
  HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_DIALOG);
  return resource ? static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, resource))) : nullptr;
}

constexpr UINT kPostedToSelf = WM_USER + 7;

// Posts to itself on WM_INITDIALOG and ends with the posted value.
INT_PTR SelfPostingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    PostMessageW(hwnd, kPostedToSelf, static_cast<WPARAM>(lParam), 0);
    return TRUE;
  }
  if (message == kPostedToSelf) {
    EndDialog(hwnd, static_cast<INT_PTR>(wParam));
    return TRUE;
  }
  return FALSE;
}

INT_PTR PassiveProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(ControlsTest, ModalDialogThatPostsToItselfReturnsItsValue) {
  HWND owner = MakeOwner();
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, Template(200), owner, SelfPostingProcedure, 42), 42);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(FindWindowW(u"Dialog", nullptr), nullptr);
}

TEST_F(ControlsTest, OwnerIsDisabledWhileTheDialogRuns) {
  HWND owner = MakeOwner();
  bool disabledInside = false;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    disabledInside = !IsWindowEnabled(owner);
    EndDialog(dialog, 7);
  });
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, Template(327), owner, PassiveProcedure, 0), 7);
  EXPECT_TRUE(disabledInside);
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(ControlsTest, MissingTemplateFailsWithoutShowingAnything) {
  HWND owner = MakeOwner();
  ClearLog();
  EXPECT_EQ(Template(999), nullptr);
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, nullptr, owner, PassiveProcedure, 0), -1);
  EXPECT_EQ(CreateDialogIndirectParamW(nullptr, nullptr, owner, PassiveProcedure, 0), nullptr);
  EXPECT_EQ(FindWindowW(u"Dialog", nullptr), nullptr);
  EXPECT_TRUE(platform::automation::PromptLog().empty());
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(ControlsTest, HeadlessDialogTakesItsResultFromTheQueue) {
  platform::automation::QueueAnswer(IDOK, u"Call");
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, Template(200), nullptr, PassiveProcedure, 0), IDOK);
  ASSERT_EQ(platform::automation::PromptLog().size(), 1u);
  EXPECT_EQ(platform::automation::PromptLog()[0].kind, u"Dialog");

  std::vector<std::u16string> unexpected;
  platform::automation::SetUnexpectedPromptHandler(
      [&](const platform::automation::Prompt& prompt) { unexpected.push_back(prompt.caption); });
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, Template(200), nullptr, PassiveProcedure, 0), IDCANCEL);
  EXPECT_EQ(unexpected, std::vector<std::u16string>{u"Call"});
}

TEST_F(ControlsTest, TemplatesThatEndEarlyAreRefused) {
  HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(381), RT_DIALOG);
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
  const std::size_t size = SizeofResource(nullptr, resource);
  auto whole = platform::dialog::ParseDialogTemplate({bytes, size});
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->items.size(), 6u);
  EXPECT_EQ(whole->face, u"DejaVu Sans");
  EXPECT_EQ(whole->items[1].windowClass.ordinal, kButtonOrdinal);
  EXPECT_EQ(whole->items[0].id, 0xFFFF);
  for (std::size_t cut : {std::size_t{0}, std::size_t{5}, std::size_t{18}, std::size_t{40}, size / 2, size - 3}) {
    platform::dialog::TemplateError error;
    EXPECT_FALSE(platform::dialog::ParseDialogTemplate({bytes, cut}, &error)) << cut;
    EXPECT_LE(error.offset, cut);
    EXPECT_FALSE(error.reason.empty());
  }
  // A count far beyond the items present is caught before any item is read.
  std::vector<BYTE> copy(bytes, bytes + size);
  copy[8] = 0xFF;
  copy[9] = 0xFF;
  EXPECT_FALSE(platform::dialog::ParseDialogTemplate(copy));
}

TEST_F(ControlsTest, ModelessDialogPlacesItemsInDialogUnits) {
  HWND dialog = CreateDialogIndirectParamW(nullptr, Template(381), nullptr, PassiveProcedure, 0);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(IsWindowVisible(dialog));
  RECT units{5, 66, 66, 106};  // item 1004 of the template
  ASSERT_TRUE(MapDialogRect(dialog, &units));
  RECT placed{};
  HWND item = GetDlgItem(dialog, 1004);
  GetWindowRect(item, &placed);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  EXPECT_EQ(placed.left - origin.x, units.left);
  EXPECT_EQ(placed.top - origin.y, units.top);
  EXPECT_EQ(placed.right - placed.left, units.right - units.left);
  EXPECT_FALSE(MapDialogRect(GetDlgItem(dialog, 1004), &units));  // not a dialog

  SetDlgItemInt(dialog, 1003, static_cast<UINT>(-12), TRUE);
  BOOL ok = FALSE;
  EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog, 1003, &ok, TRUE)), -12);
  EXPECT_TRUE(ok);
  GetDlgItemInt(dialog, 1003, &ok, FALSE);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(CheckRadioButton(dialog, 1001, 1005, 1004));
  EXPECT_EQ(IsDlgButtonChecked(dialog, 1004), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 1001), BST_UNCHECKED);
}

// Every edge of a dialog and of its items, relative to the dialog, in the order they were made.
std::vector<RECT> DialogLayout(UINT templateId) {
  HWND dialog = CreateDialogIndirectParamW(nullptr, Template(templateId), nullptr, PassiveProcedure, 0);
  std::vector<RECT> layout;
  if (!dialog) return layout;
  RECT window{};
  GetWindowRect(dialog, &window);
  layout.push_back(window);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  for (HWND child = platform::controls::FirstChildInCreationOrder(dialog); child;
       child = platform::controls::NextInCreationOrder(child)) {
    RECT r{};
    GetWindowRect(child, &r);
    layout.push_back({r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y});
  }
  RECT units{3, 5, 77, 131};
  MapDialogRect(dialog, &units);
  layout.push_back(units);
  DestroyWindow(dialog);
  return layout;
}

// A dense screen shows the same dialog at twice the size, not narrower: the units are those of
// the 96-dpi font, scaled, whatever the dense font measures.
TEST_F(ControlsTest, DialogsAtTwiceTheDensityAreExactlyTwiceTheSize) {
  for (UINT id : {200u, 327u, 381u}) {
    SCOPED_TRACE(id);
    ASSERT_TRUE(platform::window::ConfigureScreen({240, 320, 96}));
    const std::vector<RECT> small = DialogLayout(id);
    ASSERT_TRUE(platform::window::ConfigureScreen({480, 640, 192}));
    const std::vector<RECT> large = DialogLayout(id);
    platform::window::ResetScreen();
    ASSERT_GT(small.size(), 2u);
    ASSERT_EQ(large.size(), small.size());
    EXPECT_GT(small[0].right - small[0].left, 0);
    for (std::size_t i = 0; i < small.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(large[i].left, 2 * small[i].left);
      EXPECT_EQ(large[i].top, 2 * small[i].top);
      EXPECT_EQ(large[i].right, 2 * small[i].right);
      EXPECT_EQ(large[i].bottom, 2 * small[i].bottom);
    }
  }
}

TEST_F(ControlsTest, ShellDialogFillsTheScreenBetweenTitleBarAndSoftKeys) {
  HWND dialog = CreateDialogIndirectParamW(nullptr, Template(200), nullptr, PassiveProcedure, 0);
  SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SipShowIM(SIPF_ON);
  ASSERT_TRUE(SHInitDialog(&info));
  RECT r{};
  GetWindowRect(dialog, &r);
  EXPECT_EQ(r.top, GetSystemMetrics(SM_CYCAPTION));
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(SipGetState(), SIPF_OFF);
}

// The shell's title bar shows the active window's title, follows a new title and another active
// window, and steps aside for a window that hides the task bar.
TEST_F(ControlsTest, TitleBarShowsTheActiveWindowsTitle) {
  HWND dialog = CreateDialogIndirectParamW(nullptr, Template(200), nullptr, PassiveProcedure, 0);
  SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
  ASSERT_TRUE(SHInitDialog(&info));
  SetActiveWindow(dialog);
  HWND bar = platform::controls::ShellTitleBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(IsWindowVisible(bar));
  RECT r{};
  GetWindowRect(bar, &r);
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYCAPTION));
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(platform::controls::ShellTitleText(), u"Call");
  SetWindowTextW(dialog, u"Call again");
  EXPECT_EQ(platform::controls::ShellTitleText(), u"Call again");
  HWND other = MakeOwner();
  SetWindowTextW(other, u"Inbox");
  SetActiveWindow(other);
  EXPECT_EQ(platform::controls::ShellTitleText(), u"Inbox");
  SHFullScreen(other, SHFS_HIDETASKBAR);
  EXPECT_FALSE(IsWindowVisible(bar));
  SetActiveWindow(dialog);
  EXPECT_TRUE(IsWindowVisible(bar));
  // A tap on the bar leaves the active window active.
  platform::automation::Tap({5, 5});
  EXPECT_EQ(GetActiveWindow(), dialog);
}

TEST_F(ControlsTest, APlainWindowOverAHiddenApplicationWindowIsTitledAsThatApplication) {
  HWND dialog = CreateDialogIndirectParamW(nullptr, Template(200), nullptr, PassiveProcedure, 0);
  SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
  ASSERT_TRUE(SHInitDialog(&info));
  MakeOwner();  // registers the class of the windows below
  // The messaging application's own window, hidden behind the form it opened.
  HWND application = CreateWindowExW(0, u"ControlsOwner", u"Inbox", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                     nullptr);
  HWND frame = CreateWindowExW(0, u"ControlsOwner", u"ComposerFrame", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268,
                               application, nullptr, nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  SetActiveWindow(frame);
  EXPECT_EQ(platform::controls::ShellTitleText(), u"Inbox");
  SetWindowTextW(application, u"Drafts");
  EXPECT_EQ(platform::controls::ShellTitleText(), u"Drafts");
  // A window of the form's own, in front of the shown frame, keeps its title.
  HWND editor = CreateWindowExW(0, u"ControlsOwner", u"Edit Text", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268, frame, nullptr,
                                nullptr, nullptr);
  SetActiveWindow(editor);
  EXPECT_EQ(platform::controls::ShellTitleText(), u"Edit Text");
  DestroyWindow(editor);
  // So do a dialog and a message box, whatever owns them.
  HWND owned = CreateDialogIndirectParamW(nullptr, Template(200), application, PassiveProcedure, 0);
  SetActiveWindow(owned);
  EXPECT_EQ(platform::controls::ShellTitleText(), u"Call");
  HWND box = CreateWindowExW(0, u"ControlsOwner", u"Question", WS_POPUP | WS_BORDER | WS_VISIBLE, 10, 100, 200, 80,
                             application, nullptr, nullptr, nullptr);
  SetActiveWindow(box);
  EXPECT_EQ(platform::controls::ShellTitleText(), u"Question");
  // Once the application's window is shown, the frame in front of it is titled as itself.
  ShowWindow(application, SW_SHOWNOACTIVATE);
  SetActiveWindow(frame);
  EXPECT_EQ(platform::controls::ShellTitleText(), u"ComposerFrame");
}

}  // namespace
}  // namespace controls_test
