// Menus, popup menus answered from the automation queue, owner-drawn items, the soft-key bar
// and the toolbar.
#include "controls_fixture.h"
#include "platform/controls/menu_api.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/controls/popup_menu.h"
#include "platform/controls/shell_gesture.h"
#include "platform/controls/toolbar_api.h"
#include "platform/window/message_queue.h"

namespace controls_test {
namespace {

HMENU ThreeItems() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 101, u"First");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING | MF_GRAYED, 102, u"Second");
  AppendMenuW(menu, MF_STRING, 103, u"Third");
  return menu;
}

// The bar lies along the bottom of the screen; a tap on its left key sends `left`, and one on its
// right key opens the menu, where the person picks `picked` (named `name`).
void ExpectSoftKeys(HWND bar, WORD left, WORD picked, std::u16string name) {
  RECT r{};
  GetWindowRect(bar, &r);
  EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
  ControlsTest::ClearLog();
  platform::automation::Tap({r.left + 5, r.top + 5});
  ASSERT_EQ(ControlsTest::LogOf(WM_COMMAND).size(), 1u);
  EXPECT_EQ(LOWORD(ControlsTest::LogOf(WM_COMMAND)[0].wParam), left);
  ControlsTest::ClearLog();
  platform::automation::QueueAnswer(picked, std::move(name));
  platform::automation::Tap({r.right - 5, r.top + 5});
  ASSERT_EQ(ControlsTest::LogOf(WM_INITMENUPOPUP).size(), 1u);
  EXPECT_EQ(reinterpret_cast<HMENU>(ControlsTest::LogOf(WM_INITMENUPOPUP)[0].wParam),
            reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 1)));
  ASSERT_EQ(ControlsTest::LogOf(WM_COMMAND).size(), 1u);
  EXPECT_EQ(LOWORD(ControlsTest::LogOf(WM_COMMAND)[0].wParam), picked);
  ControlsTest::ClearLog();
}

TEST_F(ControlsTest, MenuItemStatesChangeByCommandOrPosition) {
  HMENU menu = ThreeItems();
  EXPECT_EQ(EnableMenuItem(menu, 102, MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(menu, 999, MF_GRAYED), kMenuItemNotFound);
  EXPECT_TRUE(CheckMenuRadioItem(menu, 101, 103, 103, MF_BYCOMMAND));
  EXPECT_TRUE(GetMenuState(menu, 103, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(CheckMenuRadioItem(menu, 101, 103, 101, MF_BYCOMMAND));
  EXPECT_FALSE(GetMenuState(menu, 103, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(CheckMenuRadioItem(menu, 101, 103, 104, MF_BYCOMMAND));
  InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, 100, u"Zero");
  EXPECT_EQ(GetMenuItemID(menu, 0), 100u);
  HMENU sub = CreatePopupMenu();
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"More");
  EXPECT_TRUE(RemoveMenu(menu, 5, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(sub));  // removed, not destroyed
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"More");
  EXPECT_TRUE(DeleteMenu(menu, 5, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(sub));
  DestroyMenu(menu);
}

TEST_F(ControlsTest, HeadlessPopupMenuTakesItsChoiceFromTheQueue) {
  HWND owner = MakeOwner();
  HMENU menu = ThreeItems();
  struct Case {
    int answer;
    UINT flags;
    int expected;
  };
  const Case cases[] = {{103, TPM_RETURNCMD, 103},  // an enabled command
                        {102, TPM_RETURNCMD, 0},    // a grayed one picks nothing
                        {555, TPM_RETURNCMD, 0},    // not in the menu
                        {0, TPM_RETURNCMD, 0}};     // dismissed
  for (const Case& c : cases) {
    ClearLog();
    platform::automation::QueueAnswer(c.answer);
    EXPECT_EQ(TrackPopupMenuEx(menu, c.flags, 10, 10, owner, nullptr), c.expected) << c.answer;
    ASSERT_FALSE(Log().empty());
    EXPECT_EQ(Log().front().message, WM_INITMENUPOPUP);  // the owner prepares the menu first
  }
  ClearLog();
  platform::automation::QueueAnswer(101);
  EXPECT_TRUE(TrackPopupMenuEx(menu, 0, 10, 10, owner, nullptr));
  platform::automation::PumpUntilIdle();
  ASSERT_EQ(LogOf(WM_COMMAND).size(), 1u);
  EXPECT_EQ(LogOf(WM_COMMAND)[0].wParam, 101u);
  EXPECT_EQ(platform::automation::PromptLog().back().text, u"First\nSecond\nThird");
  DestroyMenu(menu);
}

TEST_F(ControlsTest, WithAFrontEndThePopupMenuOpensAndTakesATap) {
  HWND owner = MakeOwner();
  HMENU menu = ThreeItems();
  int waits = 0;
  // A front-end waits for input; this one taps the last row of the open menu.
  platform::window::SetWaitHandler([&](DWORD) {
    ++waits;
    HWND popup = FindWindowW(u"MenuPopup", nullptr);
    ASSERT_NE(popup, nullptr);
    RECT r{};
    GetWindowRect(popup, &r);
    platform::automation::PostMouseInput(WM_LBUTTONDOWN, {r.left + 10, r.bottom - 4});
  });
  EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 10, owner, nullptr), 103);
  platform::window::SetWaitHandler(nullptr);
  EXPECT_EQ(waits, 1);
  EXPECT_EQ(FindWindowW(u"MenuPopup", nullptr), nullptr);
  EXPECT_TRUE(platform::automation::PromptLog().empty());
  DestroyMenu(menu);
}

TEST_F(ControlsTest, WithAFrontEndATappedSubmenuOpensBesideItsRowAndItsCommandIsTheChoice) {
  HWND owner = MakeOwner();
  HMENU menu = CreatePopupMenu();
  HMENU slide = CreatePopupMenu();
  AppendMenuW(slide, MF_STRING, 201, u"Add Slide");
  AppendMenuW(slide, MF_STRING, 202, u"Delete Slide");
  AppendMenuW(menu, MF_STRING, 101, u"Preview");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(slide), u"Slide");
  // The front-end taps the "Slide" row, then once outside the submenu (which closes only it), then
  // "Slide" again and the submenu's second row.
  std::vector<RECT> opened;
  HWND first = nullptr;
  RECT firstRect{};
  int taps = 0;
  platform::window::SetWaitHandler([&](DWORD) {
    std::vector<HWND> popups;
    EnumWindows(
        [](HWND hwnd, LPARAM found) -> BOOL {
          WCHAR name[16] = {};
          GetClassNameW(hwnd, name, 16);
          if (std::u16string_view(name) == u"MenuPopup" && IsWindowVisible(hwnd)) {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&popups));
    ASSERT_FALSE(popups.empty());
    if (first == nullptr) first = popups.front();
    HWND submenu = nullptr;
    for (HWND popup : popups) {
      if (popup != first) submenu = popup;
    }
    RECT top{}, sub{};
    GetWindowRect(first, &top);
    firstRect = top;
    if (submenu != nullptr) {
      GetWindowRect(submenu, &sub);
      if (opened.size() < 2) opened.push_back(sub);
    }
    const int rowHeight = (top.bottom - top.top) / 2;
    switch (taps++) {
      case 0:
      case 2: platform::automation::PostMouseInput(WM_LBUTTONDOWN, {top.left + 5, top.top + rowHeight * 3 / 2}); break;
      case 1: platform::automation::PostMouseInput(WM_LBUTTONDOWN, {sub.right + 5, sub.bottom + 40}); break;
      default: platform::automation::PostMouseInput(WM_LBUTTONDOWN, {sub.left + 5, sub.bottom - 4}); break;
    }
  });
  ClearLog();
  EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 10, 10, owner, nullptr), 202);
  platform::window::SetWaitHandler(nullptr);
  EXPECT_EQ(taps, 4);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_GE(opened[0].left, firstRect.right - 1) << "the submenu opens to the right of its menu";
  EXPECT_EQ(opened[0].top, opened[1].top) << "and in the same place the second time";
  // The owner prepared the menu and, each time it opened, the submenu.
  const auto prepared = LogOf(WM_INITMENUPOPUP);
  ASSERT_EQ(prepared.size(), 3u);
  EXPECT_EQ(reinterpret_cast<HMENU>(prepared[1].wParam), slide);
  EXPECT_EQ(reinterpret_cast<HMENU>(prepared[2].wParam), slide);
  EXPECT_EQ(FindWindowW(u"MenuPopup", nullptr), nullptr) << "every popup is gone once a command was picked";
  EXPECT_TRUE(platform::automation::PromptLog().empty());
  DestroyMenu(menu);
}

TEST_F(ControlsTest, ASoftKeyBarOverAMenuBuiltInCodeTakesItsKeysFromIt) {
  HWND owner = MakeOwner();
  HMENU menu = CreateMenu();
  HMENU folders = CreatePopupMenu();
  AppendMenuW(folders, MF_STRING, 311, u"Drafts");
  AppendMenuW(menu, MF_STRING, 301, u"New");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(folders), u"Menu");
  EXPECT_EQ(platform::controls::CreateMenuBarForMenu(owner, nullptr), nullptr);
  EXPECT_EQ(platform::controls::CreateMenuBarForMenu(nullptr, menu), nullptr);
  HWND bar = platform::controls::CreateMenuBarForMenu(owner, menu);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0)), menu);
  ExpectSoftKeys(bar, 301, 311, u"Drafts");
  // The bar owns the menu: it goes with the bar.
  DestroyWindow(bar);
  EXPECT_FALSE(IsMenu(menu));
}

TEST_F(ControlsTest, FullScreenStateIsKeptPerWindow) {
  HWND owner = MakeOwner();
  EXPECT_EQ(SHFullScreenState(owner), 0u);
  EXPECT_TRUE(SHFullScreen(owner, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
  EXPECT_EQ(SHFullScreenState(owner), SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
  DestroyWindow(owner);
  EXPECT_FALSE(SHFullScreen(owner, SHFS_SHOWTASKBAR));
  EXPECT_EQ(SHFullScreenState(owner), 0u);
}

TEST_F(ControlsTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner) {
  HWND owner = MakeOwner();
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_OWNERDRAW, 201, reinterpret_cast<LPCWSTR>(0x1234));
  AppendMenuW(menu, MF_STRING, 202, u"Plain");
  ClearLog();
  HWND popup = platform::controls::OpenPopupMenuWindow(menu, TPM_LEFTALIGN, 5, 5, owner);
  ASSERT_NE(popup, nullptr);
  platform::automation::PumpUntilIdle();
  ASSERT_EQ(LogOf(WM_MEASUREITEM).size(), 1u);
  ASSERT_FALSE(LogOf(WM_DRAWITEM).empty());
  EXPECT_EQ(platform::controls::PopupMenuChoice(popup), -1);
  platform::automation::Tap(ScreenPoint(popup, 2, 0));  // the owner-drawn row: measured 0 high
  DestroyWindow(popup);
  DestroyMenu(menu);
}

TEST_F(ControlsTest, SoftKeysSendCommandsOpenMenusAndPassHotKeys) {
  HWND owner = MakeOwner();
  SHMENUBARINFO info{sizeof info, owner, 0, 250, nullptr, 0, 0, nullptr, 0};
  ASSERT_TRUE(SHCreateMenuBar(&info));
  HWND bar = info.hwndMB;
  ExpectSoftKeys(bar, 40020, 40018, u"Preview");
  SendMessageW(bar, SHCMBM_OVERRIDEKEY, 0x72, MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
  SendMessageW(bar, WM_KEYDOWN, 0x72, 0);
  SendMessageW(bar, WM_KEYDOWN, 0x73, 0);
  ASSERT_EQ(LogOf(WM_KEYDOWN).size(), 1u);
  EXPECT_EQ(LogOf(WM_KEYDOWN)[0].wParam, 0x72u);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(bar));
}

TEST_F(ControlsTest, ABarWithMoreThanTwoMenusGivesEachItsOwnKeyInOrder) {
  HWND owner = MakeOwner();
  // Objects, Use, Play, Done and Sort By.
  SHMENUBARINFO info{sizeof info, owner, 0, 254, nullptr, 0, 0, nullptr, 0};
  ASSERT_TRUE(SHCreateMenuBar(&info));
  RECT r{};
  GetWindowRect(info.hwndMB, &r);
  // Tapped from one end of the bar to the other, every menu opens, each over its own stretch.
  std::vector<HMENU> opened;
  platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt&) {});
  for (LONG x = r.left + 1; x < r.right; x += 3) {
    ClearLog();
    platform::automation::Tap({x, r.top + 5});
    ASSERT_EQ(LogOf(WM_INITMENUPOPUP).size(), 1u) << x;
    auto menu = reinterpret_cast<HMENU>(LogOf(WM_INITMENUPOPUP)[0].wParam);
    if (opened.empty() || opened.back() != menu) opened.push_back(menu);
  }
  platform::automation::SetUnexpectedPromptHandler(nullptr);
  ASSERT_EQ(opened.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(opened[static_cast<std::size_t>(i)],
              reinterpret_cast<HMENU>(SendMessageW(info.hwndMB, SHCMBM_GETSUBMENU, 0, i)));
  }
  DestroyWindow(owner);
}

TEST_F(ControlsTest, ToolbarButtonsNotifyOnlyWhenEnabled) {
  HWND owner = MakeOwner();
  HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, u"", WS_CHILD | WS_VISIBLE, 0, 200, 240, 26, owner,
                                 reinterpret_cast<HMENU>(9), nullptr, nullptr);
  HIMAGELIST images = ImageList_Create(16, 16, ILC_MASK, 4, 0);
  HBITMAP faces = CreateBitmap(64, 16, 1, 24, nullptr);
  EXPECT_EQ(ImageList_AddMasked(images, faces, RGB(192, 192, 192)), 0);
  EXPECT_EQ(ImageList_GetImageCount(images), 4);
  SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  const TBBUTTON buttons[] = {{0, 40500, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
                              {1, 40502, TBSTATE_ENABLED, TBSTYLE_CHECK, {}, 0, 0}};
  SendMessageW(toolbar, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
  RECT play{}, stop{};
  ASSERT_TRUE(platform::controls::ToolbarButtonRect(toolbar, 40500, &play));
  ASSERT_TRUE(platform::controls::ToolbarButtonRect(toolbar, 40502, &stop));
  ClearLog();
  platform::automation::Tap(ScreenPoint(toolbar, play.left + 2, 2));
  ASSERT_EQ(Log().size() >= 2, true);
  EXPECT_EQ(LogOf(WM_NOTIFY).size(), 1u);
  ASSERT_EQ(LogOf(WM_COMMAND).size(), 1u);
  EXPECT_EQ(LOWORD(LogOf(WM_COMMAND)[0].wParam), 40500);

  EXPECT_TRUE(SendMessageW(toolbar, TB_ENABLEBUTTON, 40500, MAKELPARAM(FALSE, 0)));
  EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, 40500, 0));
  ClearLog();
  platform::automation::Tap(ScreenPoint(toolbar, play.left + 2, 2));
  EXPECT_TRUE(LogOf(WM_COMMAND).empty());

  platform::automation::Tap(ScreenPoint(toolbar, stop.left + 2, 2));
  EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONCHECKED, 40502, 0));
  TBBUTTONINFOW info{sizeof info, TBIF_IMAGE | TBIF_COMMAND, 40501, 3, 0, 0, 0, 0, nullptr, 0};
  EXPECT_TRUE(SendMessageW(toolbar, TB_SETBUTTONINFOW, 40500, reinterpret_cast<LPARAM>(&info)));
  EXPECT_FALSE(platform::controls::ToolbarButtonRect(toolbar, 40500, &play));
  EXPECT_TRUE(platform::controls::ToolbarButtonRect(toolbar, 40501, &play));
  LPCWSTR tips[] = {u"Play", u"Stop"};
  SendMessageW(toolbar, TB_SETTOOLTIPS, 2, reinterpret_cast<LPARAM>(tips));
  EXPECT_EQ(platform::controls::ToolbarToolTip(toolbar, 1), u"Stop");
  EXPECT_EQ(platform::controls::ToolbarToolTip(toolbar, 2), u"");
  DeleteObject(faces);
  ImageList_Destroy(images);
}

// A button held still shows its tip above it for as long as the press lasts; the parent hears
// TTN_SHOW and TTN_POP around it. A release on the button still taps it; sliding off does not.
TEST_F(ControlsTest, ToolbarButtonHeldShowsItsTipUntilThePressEnds) {
  HWND owner = MakeOwner();
  HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, u"", WS_CHILD | WS_VISIBLE, 0, 200, 240, 26, owner,
                                 reinterpret_cast<HMENU>(9), nullptr, nullptr);
  const TBBUTTON buttons[] = {{0, 40500, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
                              {1, 40502, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0}};
  SendMessageW(toolbar, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
  LPCWSTR tips[] = {u"Play", u""};
  SendMessageW(toolbar, TB_SETTOOLTIPS, 2, reinterpret_cast<LPARAM>(tips));
  RECT play{}, stop{};
  ASSERT_TRUE(platform::controls::ToolbarButtonRect(toolbar, 40500, &play));
  ASSERT_TRUE(platform::controls::ToolbarButtonRect(toolbar, 40502, &stop));
  const POINT onPlay = ScreenPoint(toolbar, play.left + 2, 2);
  auto codes = [] {
    std::vector<UINT> seen;
    for (const Seen& s : LogOf(WM_NOTIFY)) seen.push_back(s.notifyCode);
    return seen;
  };

  ClearLog();
  platform::automation::MouseDown(onPlay);
  platform::automation::AdvanceClock(kShellHoldMilliseconds - 1);
  EXPECT_EQ(FindWindowW(u"STATIC", u"Play"), nullptr) << "not yet held long enough";
  platform::automation::AdvanceClock(1);
  HWND tip = FindWindowW(u"STATIC", u"Play");
  ASSERT_NE(tip, nullptr);
  EXPECT_TRUE(IsWindowVisible(tip));
  RECT tipRect{};
  GetWindowRect(tip, &tipRect);
  EXPECT_LE(tipRect.bottom, onPlay.y - 2) << "above the button";
  EXPECT_NE(GetActiveWindow(), tip) << "the tip never takes the activation";
  EXPECT_EQ(codes(), (std::vector<UINT>{TTN_SHOW}));
  platform::automation::MouseUp(onPlay);
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_EQ(codes(), (std::vector<UINT>{TTN_SHOW, TTN_POP, NM_CLICK}));
  ASSERT_EQ(LogOf(WM_COMMAND).size(), 1u);

  // Held, then slid off: the tip goes and nothing is tapped.
  ClearLog();
  platform::automation::MouseDown(onPlay);
  platform::automation::AdvanceClock(kShellHoldMilliseconds);
  platform::automation::MouseMove(ScreenPoint(toolbar, 200, 2));
  platform::automation::MouseUp(ScreenPoint(toolbar, 200, 2));
  EXPECT_EQ(codes(), (std::vector<UINT>{TTN_SHOW, TTN_POP}));
  EXPECT_TRUE(LogOf(WM_COMMAND).empty());

  // A quick tap, a press slid off before the hold time, and a button without a tip show nothing.
  ClearLog();
  platform::automation::Tap(onPlay);
  platform::automation::MouseDown(onPlay);
  platform::automation::MouseMove(ScreenPoint(toolbar, 200, 2));
  platform::automation::AdvanceClock(kShellHoldMilliseconds * 2);
  platform::automation::MouseUp(ScreenPoint(toolbar, 200, 2));
  platform::automation::MouseDown(ScreenPoint(toolbar, stop.left + 2, 2));
  platform::automation::AdvanceClock(kShellHoldMilliseconds * 2);
  platform::automation::MouseUp(ScreenPoint(toolbar, stop.left + 2, 2));
  EXPECT_EQ(codes(), (std::vector<UINT>{NM_CLICK, NM_CLICK}));
  EXPECT_EQ(FindWindowW(u"STATIC", u"Play"), nullptr);

  // A toolbar destroyed while its tip shows takes the tip with it.
  platform::automation::MouseDown(onPlay);
  platform::automation::AdvanceClock(kShellHoldMilliseconds);
  tip = FindWindowW(u"STATIC", u"Play");
  ASSERT_NE(tip, nullptr);
  DestroyWindow(toolbar);
  EXPECT_FALSE(IsWindow(tip));
  DestroyWindow(owner);
}

}  // namespace
}  // namespace controls_test
