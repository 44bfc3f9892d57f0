// Dialog objects: modal runs, missing templates, WM_CLOSEDIALOG, the button colours, and the
// oriented dialog's relayout when the screen turns.
#include <cstdlib>
#include <filesystem>
#include <set>
#include <utility>
#include <vector>

#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "platform/kernel/module_api.h"
#include "platform/resources/resource_api.h"
#include "platform/window/screen.h"
#include "transport/resource_module.h"
#include "ui/oriented_dialog.h"
#include "ui/window_layout.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

constexpr DWORD kPortrait = 381;
constexpr DWORD kLandscape = 386;
constexpr UINT kSelfPost = WM_USER + 9;

// Posts to itself when it starts and ends with the value it posted.
class SelfEnding : public CDialogBase {
 public:
  const MessageMap* GetMessageMap() const override {
    static const MessageMapEntry kEntries[] = {
        MapFirst(),
        OnMessage(WM_INITDIALOG, &SelfEnding::OnInit),
        OnMessage(kSelfPost, &SelfEnding::OnPosted),
        MapEnd(),
    };
    static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
    return &kMap;
  }
  LRESULT OnInit(WPARAM, LPARAM) {
    PostMessage(kSelfPost, 77, 0);
    return TRUE;
  }
  LRESULT OnPosted(WPARAM wParam, LPARAM) {
    EndDialog(static_cast<int>(wParam));
    return 0;
  }
};

class Oriented : public COrientedDialog {
 public:
  int relayouts = 0;
  LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam) override {
    const BOOL before = IsPortraitLayout();
    LRESULT result = COrientedDialog::OnSettingChange(wParam, lParam);
    if (IsPortraitLayout() != before) ++relayouts;
    return result;
  }
};

RECT PlaceInTemplate(HWND dialog, DWORD templateId, WORD id) {
  HINSTANCE instance = transport::ResourceInstance();
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(instance, resource)));
  auto parsed = platform::dialog::ParseDialogTemplate({bytes, SizeofResource(instance, resource)});
  for (const auto& item : parsed->items) {
    if (item.id != id) continue;
    RECT r{item.x, item.y, item.x + item.cx, item.y + item.cy};
    MapDialogRect(dialog, &r);
    return r;
  }
  return {};
}

bool SamePlace(RECT a, RECT b) { return EqualRect(&a, &b) != FALSE; }

RECT PlaceInDialog(HWND dialog, WORD id) {
  RECT r{};
  GetWindowRect(GetDlgItem(dialog, id), &r);
  POINT origin{0, 0};
  ClientToScreen(dialog, &origin);
  OffsetRect(&r, -origin.x, -origin.y);
  return r;
}

TEST_F(UiTest, ModalDialogPostsToItselfEndsAndReturnsItsValue) {
  SelfEnding dialog;
  EXPECT_EQ(dialog.DoModal(transport::ResourceInstance(), 200, nullptr), 77);
  EXPECT_EQ(FindWindowW(u"Dialog", nullptr), nullptr);
}

TEST_F(UiTest, AMissingTemplateFailsTheCallWithoutShowingAnything) {
  SelfEnding dialog;
  EXPECT_EQ(dialog.DoModal(transport::ResourceInstance(), 999, nullptr), -1);
  EXPECT_FALSE(dialog.CreateModeless(transport::ResourceInstance(), nullptr, 998));
  EXPECT_EQ(FindWindowW(u"Dialog", nullptr), nullptr);
  EXPECT_TRUE(platform::automation::PromptLog().empty());
}

TEST_F(UiTest, CloseDialogReachesEveryVisibleDialogOfTheProcess) {
  CDialogBase first, second, hidden;
  ASSERT_TRUE(first.CreateModeless(transport::ResourceInstance(), nullptr, 200));
  ASSERT_TRUE(second.CreateModeless(transport::ResourceInstance(), nullptr, 327));
  ASSERT_TRUE(hidden.CreateModeless(transport::ResourceInstance(), nullptr, 338));
  ShowWindow(hidden.GetHandle(), SW_HIDE);
  HWND other = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
  EXPECT_EQ(CloseProcessDialogs(), 2);
  EXPECT_FALSE(first.IsWindow());
  EXPECT_FALSE(second.IsWindow());
  EXPECT_TRUE(hidden.IsWindow());
  EXPECT_TRUE(IsWindow(other));
}

// The commands each picker window received, by window.
std::vector<std::pair<HWND, WPARAM>>& PickerCommands() {
  static std::vector<std::pair<HWND, WPARAM>> commands;
  return commands;
}

LRESULT RecordingPicker(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) PickerCommands().emplace_back(hwnd, wParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(UiTest, AModalDialogClosesItsPickersAndEndsWithCancelWhenTheFormCloses) {
  PickerCommands().clear();
  WNDCLASSW chooserClass{};
  chooserClass.lpfnWndProc = RecordingPicker;
  chooserClass.lpszClassName = u"MSContactChooser";
  ASSERT_NE(RegisterClassW(&chooserClass), 0);
  HWND chooser = nullptr;
  HWND properties = nullptr;
  HWND strangers = nullptr;
  CDialogBase dialog;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND hwnd) {
    const DWORD style = WS_POPUP | WS_VISIBLE;
    chooser = CreateWindowExW(0, u"MSContactChooser", u"", style, 0, 0, 50, 50, hwnd, nullptr, nullptr, nullptr);
    properties = CreateWindowExW(0, u"Dialog", u"Properties", style, 0, 0, 50, 50, hwnd, nullptr, nullptr, nullptr);
    // A chooser that another window opened is not this dialog's to close.
    strangers = CreateWindowExW(0, u"MSContactChooser", u"", style, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongW(properties, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingPicker));
    CloseProcessDialogs();
  });
  EXPECT_EQ(dialog.DoModal(transport::ResourceInstance(), 200, nullptr), IDCANCEL);
  ASSERT_NE(chooser, nullptr);
  ASSERT_NE(properties, nullptr);
  const std::set<std::pair<HWND, WPARAM>> received(PickerCommands().begin(), PickerCommands().end());
  EXPECT_EQ(PickerCommands().size(), 2u);
  EXPECT_EQ(received, (std::set<std::pair<HWND, WPARAM>>{{chooser, IDCANCEL}, {properties, IDOK}}));
  for (HWND window : {chooser, properties, strangers}) {
    if (IsWindow(window)) DestroyWindow(window);
  }
  UnregisterClassW(u"MSContactChooser", nullptr);
}

TEST_F(UiTest, APushedButtonGetsWhiteTextOnTheButtonBrush) {
  CDialogBase dialog;
  ASSERT_TRUE(dialog.CreateModeless(transport::ResourceInstance(), nullptr, 200));
  HWND ok = dialog.GetDlgItem(IDOK);
  HDC hdc = GetDC(ok);
  SetTextColor(hdc, RGB(1, 2, 3));
  auto brush = SendMessageW(dialog.GetHandle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(ok));
  EXPECT_NE(brush, 0);
  EXPECT_EQ(GetTextColor(hdc), RGB(1, 2, 3));
  SendMessageW(ok, BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(SendMessageW(dialog.GetHandle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(ok)),
            brush);
  EXPECT_EQ(GetTextColor(hdc), RGB(255, 255, 255));
  ReleaseDC(ok, hdc);
}

TEST_F(UiTest, ASquareScreenIsLandscape) {
  struct Case {
    int width, height;
    BOOL portrait;
  };
  for (const Case& c : {Case{240, 320, TRUE}, Case{320, 240, FALSE}, Case{320, 320, FALSE}}) {
    ASSERT_TRUE(platform::window::ConfigureScreen({c.width, c.height, 96}));
    EXPECT_EQ(IsPortrait(), c.portrait) << c.width << "x" << c.height;
  }
}

TEST_F(UiTest, RotationMovesEveryControlToItsLandscapePlace) {
  Oriented dialog;
  bool checked = false;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND hwnd) {
    for (WORD id : {1001, 1003, 1004, 1005, 1}) {
      EXPECT_TRUE(SamePlace(PlaceInDialog(hwnd, id), PlaceInTemplate(hwnd, kPortrait, id))) << id;
    }
    ASSERT_TRUE(platform::window::ConfigureScreen({320, 240, 96}));
    SendMessageW(hwnd, WM_SETTINGCHANGE, 0, 0);  // not a rotation: nothing moves
    EXPECT_EQ(dialog.relayouts, 0);
    SendMessageW(hwnd, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    EXPECT_EQ(dialog.relayouts, 1);
    for (WORD id : {1001, 1003, 1004, 1005, 1}) {
      EXPECT_TRUE(SamePlace(PlaceInDialog(hwnd, id), PlaceInTemplate(hwnd, kLandscape, id))) << id;
    }
    SendMessageW(hwnd, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);  // same orientation again
    EXPECT_EQ(dialog.relayouts, 1);
    checked = true;
    EndDialog(hwnd, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(transport::ResourceInstance(), kPortrait, kLandscape, nullptr), IDOK);
  EXPECT_TRUE(checked);
}

TEST_F(UiTest, AnOrientedDialogWithOneTemplateNeverLaysItselfOut) {
  Oriented dialog;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND hwnd) {
    RECT before = PlaceInDialog(hwnd, 1003);
    ASSERT_TRUE(platform::window::ConfigureScreen({320, 240, 96}));
    SendMessageW(hwnd, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    EXPECT_TRUE(SamePlace(before, PlaceInDialog(hwnd, 1003)));
    EndDialog(hwnd, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(transport::ResourceInstance(), kPortrait, 0, nullptr), IDCANCEL);
  EXPECT_EQ(dialog.relayouts, 0);
}

// A resource file of the test's own, compiled by the build's resource compiler: one icon static
// placed differently in two templates.
TEST_F(UiTest, RelayoutMovesAnIconStaticAndKeepsItsIcon) {
  const std::filesystem::path source = m_device.root() / "icon.rc";
  test_support::WriteFileBytes(
      source,
      "DIALOG 900 0 0 100 100 STYLE WS_POPUP|WS_VISIBLE TITLE \"Icon\" FONT 8 \"DejaVu Sans\"\n"
      "  CONTROL 1001 STATIC ORD 7 5 5 20 20 WS_CHILD|WS_VISIBLE|SS_ICON\n"
      "END\n"
      "DIALOG 901 0 0 100 100 STYLE WS_POPUP|WS_VISIBLE TITLE \"Icon\" FONT 8 \"DejaVu Sans\"\n"
      "  CONTROL 1001 STATIC ORD 7 50 5 20 20 WS_CHILD|WS_VISIBLE|SS_ICON\n"
      "END\n");
  const std::filesystem::path output = m_device.root() / "windows" / "Icons.dll";
  const std::string command =
      test_support::BinaryPath("bin/resource_compiler").string() + " " + output.string() + " " + source.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  HMODULE module = LoadLibraryExW(u"\\windows\\Icons.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  CDialogBase dialog;
  ASSERT_TRUE(dialog.CreateModeless(module, nullptr, 900));
  HWND icon = dialog.GetDlgItem(1001);
  const auto shown = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x51C0));
  SendMessageW(icon, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(shown));
  RECT before{};
  GetWindowRect(icon, &before);
  EXPECT_TRUE(RelayoutDialog(module, dialog.GetHandle(), 901));
  RECT after{};
  GetWindowRect(icon, &after);
  EXPECT_GT(after.left, before.left);
  EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageW(icon, STM_GETIMAGE, IMAGE_ICON, 0)), shown);
  DestroyWindow(dialog.GetHandle());
  FreeLibrary(module);
}

TEST_F(UiTest, RelayoutReportsTemplatesWithSeveralUnnamedItems) {
  CDialogBase dialog;
  ASSERT_TRUE(dialog.CreateModeless(transport::ResourceInstance(), nullptr, kPortrait));
  EXPECT_TRUE(RelayoutDialog(transport::ResourceInstance(), dialog.GetHandle(), kLandscape));  // one -1 item
  EXPECT_FALSE(RelayoutDialog(transport::ResourceInstance(), dialog.GetHandle(), 201));  // two -1 items
  EXPECT_FALSE(RelayoutDialog(transport::ResourceInstance(), dialog.GetHandle(), 999));  // missing
}

}  // namespace
}  // namespace ui_test
