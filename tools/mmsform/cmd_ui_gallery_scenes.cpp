#include "cmd_ui_gallery_scenes.h"

#include <functional>
#include <memory>

#include "model/message_model.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/controls/popup_menu.h"
#include "platform/controls/toolbar_api.h"
#include "platform/dialog/dialog_api.h"
#include "platform/dialog/message_box_window.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/window/screen.h"
#include "transport/message_box.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/oriented_dialog.h"
#include "ui/playback_toolbar.h"
#include "ui/progress_bar.h"
#include "ui/spin_bar.h"
#include "ui/top_menu.h"
#include "ui/window_layout.h"

namespace mmsform_tool {
namespace {

constexpr UINT kComposeSoftKeys = 250;
constexpr UINT kFormMenus = 252;
constexpr UINT kLinkSubmenu = 15;
constexpr UINT kSlideBitmap = 141;
constexpr UINT kToolbarFaces = 130;
constexpr DWORD kLayoutPortrait = 381;
constexpr DWORD kLayoutLandscape = 386;

// A full-screen frame with a title line, the parent of every gallery part.
class GalleryFrame : public CWndBase {
 public:
  explicit GalleryFrame(std::u16string title) : m_title(std::move(title)) {}
  BOOL OnPaint(HDC hdc, PAINTSTRUCT*) override {
    RECT client{};
    GetClientRect(&client);
    RECT band{0, 0, client.right, ScaleY(20)};
    FillRect(hdc, &band, GetSysColorBrush(COLOR_ACTIVECAPTION));
    platform::gdi::UniqueFont font(transport::CreateUiFont(1, 12));
    platform::gdi::ScopedSelect select(hdc, font.Get());
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(255, 255, 255));
    band.left += ScaleX(6);
    DrawTextW(hdc, m_title.c_str(), -1, &band, DT_SINGLELINE | DT_VCENTER);
    return TRUE;
  }
  bool Make() {
    return Create(u"GalleryFrame", m_title.c_str(), WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, 0, kWhiteBackground) != FALSE;
  }

 private:
  std::u16string m_title;
};

// The layout chooser as the forms run it: full screen, laid out again when the screen turns.
class LayoutDialog : public COrientedDialog {
 public:
  const MessageMap* GetMessageMap() const override {
    static const MessageMapEntry kEntries[] = {
        MapFirst(),
        OnMessage(WM_INITDIALOG, &LayoutDialog::OnInitDialog),
        MapEnd(),
    };
    static const MessageMap kMap{COrientedDialog::GetMessageMap(), kEntries};
    return &kMap;
  }
  LRESULT OnInitDialog(WPARAM, LPARAM) {
    InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
    CheckRadioButton(GetHandle(), 1001, 1005, 1003);
    return TRUE;
  }
};

// Everything one screen keeps alive until its picture is taken.
struct Scene {
  Scene() = default;
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;
  ~Scene() { Release(); }
  void Release() {
    windows.clear();
    for (HMENU menu : menus) DestroyMenu(menu);
    for (HIMAGELIST list : imageLists) ImageList_Destroy(list);
    menus.clear();
    imageLists.clear();
  }

  std::vector<std::unique_ptr<CWndBase>> windows;
  std::vector<HMENU> menus;
  std::vector<HIMAGELIST> imageLists;
  CString toolTips[kMaxToolTips];
  template <typename T, typename... Args>
  T* Add(Args&&... args) {
    auto window = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = window.get();
    windows.push_back(std::move(window));
    return raw;
  }
};

void ClearScreen() {
  std::vector<HWND> tops;
  EnumWindows([](HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&tops));
  for (HWND hwnd : tops) {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  InvalidateRect(nullptr, nullptr, TRUE);
}

GalleryFrame* AddFrame(Scene& scene, const char16_t* title) {
  auto* frame = scene.Add<GalleryFrame>(title);
  frame->Make();
  return frame;
}

RECT Row(int top, int height) { return RECT{ScaleX(4), ScaleY(top), GetSystemMetrics(SM_CXSCREEN) - ScaleX(4), ScaleY(top + height)}; }

void BuildTopMenus(Scene& scene) {
  GalleryFrame* frame = AddFrame(scene, u"Top menu");
  const int width = GetSystemMetrics(SM_CXSCREEN) - ScaleX(8);
  struct Strip {
    const char16_t* left;
    const char16_t* right;
    DWORD rightLayout;
    DWORD bitmap;
  };
  const Strip strips[] = {
      {u"Slide 1/3", u"12 KB", 0x2200, 0},
      {u"To:", u"Top", 0x1100, kSlideBitmap},
      {u"Subject:", u"Centre", 0x2100, kSlideBitmap},
      {u"Picture", u"Bottom", 0x3100, kSlideBitmap},
      {u"Title", u"Follows", 0x2200, kSlideBitmap},
  };
  int top = 28;
  for (const Strip& strip : strips) {
    auto* menu = scene.Add<CPTopMenu>();
    RECT r = Row(top, 26);
    menu->Create(nullptr, frame->GetHandle(), &r, u"CPTopMenu");
    const TopMenuItem items[] = {
        {1, 0, strip.left, 0x2000, RECT{ScaleX(4), 0, width / 2, ScaleY(26)}},
        {2, strip.bitmap, strip.right, strip.rightLayout, RECT{width / 2, 0, width - ScaleX(4), ScaleY(26)}},
    };
    menu->SetItems(items, 2);
    top += 32;
  }
}

void BuildProgressBars(Scene& scene) {
  GalleryFrame* frame = AddFrame(scene, u"Progress bars");
  struct Bar {
    DWORD mode;
    bool fixed;
    int position;
    int duration;
  };
  const Bar bars[] = {{kProgressTwoLines, false, 400, 600},
                      {kProgressElapsedOnly, false, 45000, 90000},
                      {kProgressSides, false, 1500, 1500},
                      {kProgressTwoLines, true, 0, 0}};
  int top = 30;
  for (const Bar& b : bars) {
    auto* bar = scene.Add<ProgressBar>(ScaleX(5), ScaleY(8), GetSysColor(COLOR_BTNFACE), nullptr, b.mode);
    RECT r = Row(top, 30);
    bar->Create(u"TOOLBAR_PROGRESSBAR_CLASS", nullptr, WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                r.bottom - r.top, nullptr, frame->GetHandle(), 0, nullptr);
    bar->SetProgress(b.position, b.duration);
    bar->SetFixed(b.fixed);
    top += 38;
  }
  auto* label = scene.Add<StaticLabel>();
  RECT r = Row(top + 4, 20);
  label->Create(u"TOOLBAR_STATICTEXT_CLASS", nullptr, WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                r.bottom - r.top, nullptr, frame->GetHandle(), 0, nullptr);
  label->SetText(u"Slide 2 of 5", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void BuildSpinBars(Scene& scene) {
  GalleryFrame* frame = AddFrame(scene, u"Spin bars");
  const char16_t* texts[] = {u"5s", u"2s", u"999s", u"10s"};
  for (DWORD state = 0; state < 4; ++state) {
    auto* spin = scene.Add<SpinBar>();
    RECT r = Row(32 + 34 * static_cast<int>(state), 22);
    r.right = r.left + ScaleX(90);
    spin->Create(nullptr, frame->GetHandle(), &r, FALSE);
    spin->SetText(texts[state], state, state == 0);
    spin->SetState(state);
  }
}

void BuildMessageBox(Scene& scene) {
  GalleryFrame* frame = AddFrame(scene, u"Message box");
  CString caption = transport::MessageBoxCaption();
  CString text = transport::LoadResourceString(40874);
  platform::dialog::CreateMessageBoxWindow(frame->GetHandle(), text, caption, MB_YESNOCANCEL);
}

void BuildPopupMenu(Scene& scene) {
  GalleryFrame* frame = AddFrame(scene, u"Popup menu");
  HMENU menus = transport::LoadResourceMenu(kFormMenus);
  HMENU link = GetSubMenu(menus, kLinkSubmenu);
  CheckMenuRadioItem(link, 40421, 40455, 40455, MF_BYCOMMAND);
  EnableMenuItem(link, 40424, MF_GRAYED);
  scene.menus.push_back(menus);
  platform::controls::OpenPopupMenuWindow(link, TPM_LEFTALIGN, ScaleX(20), ScaleY(40), frame->GetHandle());
}

HWND AddPlaybackToolbar(Scene& scene, HWND parent, int bottom) {
  const int height = ScaleY(26);
  const HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, u"", WS_CHILD | WS_VISIBLE, 0, bottom - height,
                                 GetSystemMetrics(SM_CXSCREEN), height, parent, nullptr, nullptr, nullptr);
  platform::gdi::UniqueBitmap faces(transport::LoadResourceBitmap(kToolbarFaces));
  BITMAP size{};
  GetObjectW(faces.Get(), sizeof size, &size);
  HIMAGELIST images = ImageList_Create(size.bmHeight, size.bmHeight, ILC_MASK | ILC_COLOR24, 52, 0);
  ImageList_AddMasked(images, faces.Get(), RGB(192, 192, 192));
  scene.imageLists.push_back(images);
  SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  const TBBUTTON buttons[] = {
      {35, 40740, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0}, {34, 40739, 0, TBSTYLE_BUTTON, {}, 0, 0},
      {0, 0, 0, TBSTYLE_SEP, {}, 0, 0},                        {44, 40820, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
      {51, 40500, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0}, {46, 40502, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
  };
  SendMessageW(toolbar, TB_ADDBUTTONSW, 6, reinterpret_cast<LPARAM>(buttons));
  PlaybackToolbar playback(toolbar);
  playback.SwapButton(kPlayCommand, TBIF_IMAGE | TBIF_COMMAND, kPauseCommand, 45, 0, 0, 0, 0, nullptr, 0);
  playback.SetToolTips(scene.toolTips, TRUE, ToolTipLayout::kFiveButtons);
  return toolbar;
}

void BuildSoftKeys(Scene& scene) {
  GalleryFrame* frame = AddFrame(scene, u"Soft keys and toolbar");
  SHMENUBARINFO info{sizeof(SHMENUBARINFO), frame->GetHandle(), 0, kComposeSoftKeys, transport::ResourceInstance(),
                     0, 0, nullptr, 0};
  SHCreateMenuBar(&info);
  AddPlaybackToolbar(scene, frame->GetHandle(), GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU));
}

bool Shoot(const std::filesystem::path& dir, const std::string& name, std::vector<std::string>* written,
           std::string* error) {
  platform::automation::PumpUntilIdle();
  if (!platform::automation::Screenshot(dir / (name + ".png"), error)) return false;
  written->push_back(name + ".png");
  return true;
}

// The dialog runs modally; once it waits for the user, its picture is taken, the screen turns to
// landscape, the dialog lays itself out again, and a second picture is taken before it ends.
bool ShootRotatingDialog(const std::filesystem::path& dir, std::vector<std::string>* written, std::string* error) {
  Scene scene;
  GalleryFrame* frame = AddFrame(scene, u"Dialog");
  const platform::window::ScreenGeometry portrait = platform::window::CurrentScreen();
  bool ok = true;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    ok = Shoot(dir, "dialog_portrait", written, error);
    platform::window::ConfigureScreen({portrait.height, portrait.width, portrait.dpi});
    MoveWindow(frame->GetHandle(), 0, 0, portrait.height, portrait.width, FALSE);
    InvalidateRect(nullptr, nullptr, TRUE);
    SendMessageW(dialog, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    ok = ok && Shoot(dir, "dialog_landscape", written, error);
    EndDialog(dialog, IDOK);
  });
  LayoutDialog dialog;
  const INT_PTR result = dialog.DoModal(transport::ResourceInstance(), kLayoutPortrait, kLayoutLandscape,
                                        frame->GetHandle());
  platform::window::ConfigureScreen(portrait);
  if (result != IDOK && ok) {
    *error = "the layout dialog did not run";
    ok = false;
  }
  ClearScreen();
  return ok;
}

}  // namespace

bool WriteUiGallery(const std::filesystem::path& dir, std::vector<std::string>* written, std::string* error) {
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  InitCommonControlsEx(&init);
  std::error_code fsError;
  std::filesystem::create_directories(dir, fsError);
  if (!transport::ResourceInstance()) {
    *error = "the resource module cannot be loaded";
    return false;
  }
  const std::pair<const char*, std::function<void(Scene&)>> screens[] = {
      {"top_menu", BuildTopMenus},   {"progress_bar", BuildProgressBars}, {"spin_bar", BuildSpinBars},
      {"message_box", BuildMessageBox}, {"popup_menu", BuildPopupMenu},  {"soft_keys", BuildSoftKeys},
  };
  for (const auto& [name, build] : screens) {
    Scene scene;
    ClearScreen();
    build(scene);
    const bool shot = Shoot(dir, name, written, error);
    ClearScreen();
    if (!shot) return false;
  }
  return ShootRotatingDialog(dir, written, error);
}

HWND CreateUiGalleryLiveScene() {
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  InitCommonControlsEx(&init);
  static Scene scene;
  scene.Release();
  BuildTopMenus(scene);
  HWND frame = scene.windows.front()->GetHandle();
  SHMENUBARINFO info{sizeof(SHMENUBARINFO), frame, 0, kComposeSoftKeys, transport::ResourceInstance(), 0, 0, nullptr, 0};
  SHCreateMenuBar(&info);
  AddPlaybackToolbar(scene, frame, GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU));
  return frame;
}

}  // namespace mmsform_tool
