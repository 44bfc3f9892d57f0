// Building a dialog from its template: the dialog window in the template's units, its font and
// base units, every control, then WM_INITDIALOG. A control that cannot be made fails the whole
// dialog before anything is shown.
#include <map>

#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/dialog/dialog_state.h"
#include "platform/kernel/last_error.h"
#include "platform/resources/resource_api.h"
#include "platform/window/window_system.h"

namespace platform::dialog {
namespace {

// Templates handed over by pointer that are no loaded resource are trusted up to this size, as
// the device trusts its callers.
constexpr std::size_t kTrustedTemplateBytes = 64 * 1024;

std::map<HWND, std::shared_ptr<DialogState>>& Dialogs() {
  static std::map<HWND, std::shared_ptr<DialogState>> dialogs;
  return dialogs;
}

LRESULT DefaultDialogProcessing(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      // A dialog closed from outside ends as if cancelled.
      PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
      return 0;
    case DM_GETDEFID: return MAKELPARAM(IDOK, 0x534B);
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT DialogWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<DialogState> state = FindDialog(hwnd);
  INT_PTR handled = 0;
  if (state && state->procedure) {
    handled = state->procedure(hwnd, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    Dialogs().erase(hwnd);
    return 0;
  }
  if (handled || !IsWindow(hwnd)) {
    return handled;
  }
  return DefaultDialogProcessing(hwnd, message, wParam, lParam);
}

// The average width of the alphabet and the height of a font on the screen.
SIZE MeasureBaseUnits(HDC screen, HFONT font) {
  HGDIOBJ previous = SelectObject(screen, font);
  constexpr std::u16string_view kAlphabet = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent{};
  GetTextExtentPoint32W(screen, kAlphabet.data(), static_cast<int>(kAlphabet.size()), &extent);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  if (previous) SelectObject(screen, previous);
  return {std::max(1, static_cast<int>((extent.cx / 26 + 1) / 2)), std::max(1, static_cast<int>(metrics.tmHeight))};
}

// The dialog's font at the screen's density, and its base units. The units are measured on the
// 96-dpi font and scaled: fonts do not grow exactly with the density (11 pixels high at 96 dpi,
// 21 at 192), and a dialog measured on the dense font would come out narrower than the screen.
void MakeFont(const DialogTemplate& parsed, DialogState& state) {
  LOGFONTW font{};
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  const int points = parsed.pointSize ? parsed.pointSize : 8;
  font.lfWeight = FW_NORMAL;
  std::u16string face = parsed.face.empty() ? u"DejaVu Sans" : parsed.face;
  face.resize(std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  std::copy(face.begin(), face.end(), font.lfFaceName);
  font.lfHeight = -((points * 96 + 36) / 72);
  platform::gdi::UniqueFont reference(CreateFontIndirectW(&font));
  const SIZE base = MeasureBaseUnits(screen, reference.Get());
  font.lfHeight = -((points * dpi + 36) / 72);
  state.font.Reset(CreateFontIndirectW(&font));
  ReleaseDC(nullptr, screen);
  state.baseX = base.cx;
  state.baseY = base.cy;
  state.dpi = dpi > 0 ? dpi : 96;
}

RECT ToPixels(const DialogState& state, int x, int y, int cx, int cy) {
  return DialogUnitsToPixels(state, RECT{x, y, x + cx, y + cy});
}

LPCWSTR NameArgument(const NameField& field, std::u16string* holder) {
  if (field.isOrdinal) return MAKEINTRESOURCEW(field.ordinal);
  *holder = field.text;
  return holder->c_str();
}

bool CreateItems(HWND dialog, HINSTANCE instance, const DialogTemplate& parsed, const DialogState& state) {
  for (const DialogItemTemplate& item : parsed.items) {
    std::u16string className;
    if (item.windowClass.isOrdinal) {
      className = ClassNameOfOrdinal(item.windowClass.ordinal);
    } else {
      className = item.windowClass.text;
    }
    std::u16string titleHolder;
    RECT r = ToPixels(state, item.x, item.y, item.cx, item.cy);
    HWND control = CreateWindowExW(item.exStyle, className.c_str(), NameArgument(item.title, &titleHolder),
                                   item.style | WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top, dialog,
                                   reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(item.id)), instance,
                                   item.creationData.empty() ? nullptr : const_cast<BYTE*>(item.creationData.data()));
    if (!control) return false;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font.Get()), FALSE);
  }
  return true;
}

HWND FirstTabStop(HWND dialog) {
  for (HWND child = platform::controls::FirstChildInCreationOrder(dialog); child;
       child = platform::controls::NextInCreationOrder(child)) {
    LONG_PTR style = GetWindowLongW(child, GWL_STYLE);
    if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return child;
  }
  return nullptr;
}

std::optional<DialogTemplate> ReadTemplate(const DLGTEMPLATE* dialogTemplate) {
  std::span<const BYTE> bytes = platform::resources::ResourceBytesAt(dialogTemplate);
  if (bytes.empty()) {
    bytes = std::span<const BYTE>(reinterpret_cast<const BYTE*>(dialogTemplate), kTrustedTemplateBytes);
  }
  return ParseDialogTemplate(bytes);
}

}  // namespace

RECT DialogUnitsToPixels(const DialogState& state, const RECT& units) {
  // Whole 96-dpi pixels first, so that 192 dpi gives exactly twice every edge.
  auto scale = [&](long value) { return static_cast<LONG>(static_cast<long long>(value) * state.dpi / 96); };
  return {scale(units.left * state.baseX / 4), scale(units.top * state.baseY / 8), scale(units.right * state.baseX / 4),
          scale(units.bottom * state.baseY / 8)};
}

std::shared_ptr<DialogState> FindDialog(HWND hwnd) {
  auto it = Dialogs().find(hwnd);
  return it == Dialogs().end() || !IsWindow(hwnd) ? nullptr : it->second;
}

void EnsureDialogClass() {
  WNDCLASSW existing{};
  if (GetClassInfoW(nullptr, kDialogClassName, &existing)) return;
  WNDCLASSW info{};
  info.style = CS_DBLCLKS;
  info.lpfnWndProc = DialogWindowProcedure;
  info.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
  info.lpszClassName = kDialogClassName;
  RegisterClassW(&info);
}

HWND BuildDialog(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent, DLGPROC procedure,
                 LPARAM initParam, bool modal) {
  if (!dialogTemplate) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::optional<DialogTemplate> parsed = ReadTemplate(dialogTemplate);
  if (!parsed) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  EnsureDialogClass();
  platform::controls::EnsureControlClasses();
  auto state = std::make_shared<DialogState>();
  state->procedure = procedure;
  state->modal = modal;
  MakeFont(*parsed, *state);
  RECT r = ToPixels(*state, parsed->x, parsed->y, parsed->cx, parsed->cy);
  const DWORD style = (parsed->style & ~WS_VISIBLE) | ((parsed->style & WS_CHILD) ? 0 : WS_POPUP);
  std::u16string className = parsed->windowClass.text.empty() ? std::u16string(kDialogClassName) : parsed->windowClass.text;
  HWND dialog = CreateWindowExW(parsed->exStyle, className.c_str(), parsed->title.c_str(), style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent, nullptr, instance, nullptr);
  if (!dialog) return nullptr;
  Dialogs()[dialog] = state;
  SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(state->font.Get()), FALSE);
  if (!CreateItems(dialog, instance, *parsed, *state)) {
    DestroyWindow(dialog);
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  HWND focus = FirstTabStop(dialog);
  if (SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), initParam) && focus && IsWindow(focus)) {
    SetFocus(focus);
  }
  if (!IsWindow(dialog)) return nullptr;
  if ((parsed->style & WS_VISIBLE) && !state->ended) ShowWindow(dialog, SW_SHOW);
  return dialog;
}

}  // namespace platform::dialog
