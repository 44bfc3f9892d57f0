#include "read_view_keys.h"

#include <cctype>
#include <string>

#include "forms/presentation_window.h"
#include "forms/read_frame.h"
#include "forms/read_view.h"
#include "platform/automation/automation.h"
#include "platform/controls/toolbar_api.h"
#include "ui/hyper_text_ctrl.h"
#include "ui/playback_toolbar.h"

namespace mmsform_tool {
namespace {

std::u16string ClassOf(HWND hwnd) {
  WCHAR name[64] = {};
  const int length = GetClassNameW(hwnd, name, 64);
  return std::u16string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// The toolbar swaps play for pause while playing: Space presses whichever it shows.
WORD PlayOrPauseShown(HWND view) {
  HWND toolbar = GetDlgItem(view, kToolbarId);
  TBBUTTONINFOW info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_COMMAND;
  const bool pauseShown = toolbar != nullptr && SendMessageW(toolbar, TB_GETBUTTONINFOW, kPauseCommand,
                                                             reinterpret_cast<LPARAM>(&info)) >= 0;
  return pauseShown ? kPauseCommand : kPlayCommand;
}

BOOL FindShownTextControl(HWND hwnd, LPARAM found) {
  if (ClassOf(hwnd) == kHyperTextClass && IsWindowVisible(hwnd)) {
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The action key reaches the text control as its owner passes it on: open the selected link.
void PressActionKey(HWND view) {
  HWND text = nullptr;
  EnumChildWindows(view, &FindShownTextControl, reinterpret_cast<LPARAM>(&text));
  if (text == nullptr) {
    // In full screen the player is a window of its own, owned by the view.
    if (HWND active = GetActiveWindow(); active != view) {
      EnumChildWindows(active, &FindShownTextControl, reinterpret_cast<LPARAM>(&text));
    }
  }
  if (text != nullptr) SendMessageW(text, kHyperTextScrolled, kHyperTextOpenSelected, 0);
}

BOOL FindShownReadView(HWND hwnd, LPARAM found) {
  if (IsReadView(hwnd) && IsWindowVisible(hwnd)) {
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool IsReadView(HWND hwnd) {
  if (hwnd == nullptr || ClassOf(hwnd) != u"Dialog") return false;
  HWND owner = GetWindow(hwnd, GW_OWNER);
  return owner != nullptr && ClassOf(owner) == kReadFrameClass;
}

HWND ActiveReadView() {
  HWND window = GetActiveWindow();
  for (int depth = 0; window != nullptr && depth < 8; ++depth) {
    if (IsReadView(window)) return window;
    if (ClassOf(window) == u"Dialog") return nullptr;
    // In full screen the player is a top-level window of its own, tied to no window.
    if (ClassOf(window) == kPresentationWindowClass && GetParent(window) == nullptr) {
      HWND view = nullptr;
      EnumWindows(&FindShownReadView, reinterpret_cast<LPARAM>(&view));
      return view;
    }
    HWND parent = GetParent(window);
    window = parent != nullptr ? parent : GetWindow(window, GW_OWNER);
  }
  return nullptr;
}

bool HandleReadViewKey(UINT message, UINT virtualKey) {
  if (virtualKey != VK_SPACE && virtualKey != VK_RETURN && virtualKey != VK_ESCAPE) return false;
  HWND view = ActiveReadView();
  if (view == nullptr) return false;
  if (message != WM_KEYDOWN) return true;
  switch (virtualKey) {
    case VK_SPACE: PostMessageW(view, WM_COMMAND, PlayOrPauseShown(view), 0); break;
    case VK_RETURN: PressActionKey(view); break;
    default: PostMessageW(view, WM_COMMAND, IDOK, 0); break;
  }
  return true;
}

void PressHostKey(UINT virtualKey) {
  if (HandleReadViewKey(WM_KEYDOWN, virtualKey)) {
    platform::automation::PumpUntilIdle();
    HandleReadViewKey(WM_KEYUP, virtualKey);
    platform::automation::PumpUntilIdle();
    return;
  }
  platform::automation::PressKey(virtualKey);
}

std::optional<UINT> KeyNamed(std::string_view name) {
  std::string lower;
  for (char c : name) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  static constexpr struct {
    const char* name;
    UINT key;
  } kKeys[] = {{"space", VK_SPACE}, {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"left", VK_LEFT},
               {"right", VK_RIGHT}, {"up", VK_UP},        {"down", VK_DOWN}};
  for (const auto& entry : kKeys) {
    if (lower == entry.name) return entry.key;
  }
  return std::nullopt;
}

}  // namespace mmsform_tool
