// EDIT: single- and multi-line text entry with a caret and a selection, typed input, a length
// limit (EM_LIMITTEXT), EM_SETSEL and EM_REPLACESEL, and EN_CHANGE to the parent after every
// change of the text. The caret and the selection stop only between grapheme clusters, so that no
// edit splits a character, an emoji sequence or a surrogate pair; a tap puts the caret at the
// cluster edge nearest it and a drag selects. Left and right move in the text's logical order (a
// right-to-left run is walked in reading order, the caret drawn at its clusters' leading edges);
// up and down go to the nearest cluster edge on the line above or below. The text scrolls to keep the
// caret in view: a multi-line edit by whole lines, a single-line one sideways by a third of its width.
#include <algorithm>

#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/gdi/text_caret.h"
#include "platform/gdi/text_clusters.h"

namespace platform::controls {
namespace {

// The device's default limit of a new edit control.
constexpr std::size_t kDefaultLimit = 30000;

struct EditState {
  HFONT font = nullptr;
  std::size_t limit = kDefaultLimit;
  std::size_t selStart = 0;  // the anchor
  std::size_t selEnd = 0;    // the caret
  bool focused = false;
  bool dragging = false;
  // How far the text is scrolled, in pixels: up (multi-line, whole lines) or left (single line).
  int scrollY = 0;
  int scrollX = 0;
};

DWORD Style(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

bool IsMultiLine(HWND hwnd) { return (Style(hwnd) & ES_MULTILINE) != 0; }

// How the text is laid out inside `area`: wrapped at words (and inside words too long for a line)
// in a multi-line edit, one centred line in the others.
UINT TextFormat(HWND hwnd) {
  return IsMultiLine(hwnd) ? DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX : DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
}

RECT TextArea(HWND hwnd) {
  RECT area{};
  GetClientRect(hwnd, &area);
  InflateRect(&area, -2, -1);
  return area;
}

// The text as drawn: masked by a password style.
std::u16string ShownText(HWND hwnd) {
  std::u16string text = TextOf(hwnd);
  if (Style(hwnd) & ES_PASSWORD) text.assign(text.size(), u'*');
  return text;
}

// A screen context with the edit's font, for measuring outside painting.
class MeasuringDc {
 public:
  MeasuringDc(HWND hwnd, HFONT font) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {
    if (m_dc) m_previous = SelectObject(m_dc, FontOr(font));
  }
  ~MeasuringDc() {
    if (!m_dc) return;
    SelectObject(m_dc, m_previous);
    ReleaseDC(m_hwnd, m_dc);
  }
  MeasuringDc(const MeasuringDc&) = delete;
  MeasuringDc& operator=(const MeasuringDc&) = delete;
  HDC Get() const { return m_dc; }

 private:
  HWND m_hwnd;
  HDC m_dc;
  HGDIOBJ m_previous = nullptr;
};

// The cluster edge nearest a client point. Masked text has a star per unit, so the position is
// brought back to a cluster edge of the real text.
std::size_t PositionAt(const EditState& state, HWND hwnd, POINT client) {
  const std::u16string text = ShownText(hwnd);
  MeasuringDc dc(hwnd, state.font);
  if (!dc.Get()) return 0;
  const RECT area = TextArea(hwnd);
  POINT inside{client.x - area.left + state.scrollX, IsMultiLine(hwnd) ? client.y - area.top + state.scrollY : 0};
  const std::size_t at = platform::gdi::PositionAtPoint(dc.Get(), text, area.right - area.left, TextFormat(hwnd), inside);
  return platform::gdi::ClusterStartAt(TextOf(hwnd), at);
}

// The caret's place on the line above (-1) or below (+1); the caret itself on the first or last line.
std::size_t PositionOnNextLine(const EditState& state, HWND hwnd, std::size_t caret, int direction) {
  const std::u16string text = ShownText(hwnd);
  MeasuringDc dc(hwnd, state.font);
  if (!dc.Get() || text.empty()) return caret;
  const RECT area = TextArea(hwnd);
  const int width = area.right - area.left;
  const UINT format = TextFormat(hwnd);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.Get(), &metrics);
  POINT at = platform::gdi::CaretPoint(dc.Get(), text, width, format, caret);
  at.y += direction * metrics.tmHeight;
  if (at.y < 0) return caret;
  std::size_t moved = platform::gdi::PositionAtPoint(dc.Get(), text, width, format, at);
  // Below the last line the point falls on the last line again: the caret stays.
  if (platform::gdi::CaretPoint(dc.Get(), text, width, format, moved).y != at.y) return caret;
  return platform::gdi::ClusterStartAt(TextOf(hwnd), moved);
}

// Scrolls so that the caret is inside the text area, and no further than the text needs.
void KeepCaretVisible(EditState& state, HWND hwnd) {
  const std::u16string text = ShownText(hwnd);
  MeasuringDc dc(hwnd, state.font);
  if (!dc.Get()) return;
  const RECT area = TextArea(hwnd);
  const int width = std::max<int>(1, area.right - area.left);
  const int height = std::max<int>(1, area.bottom - area.top);
  const std::size_t caret = std::min(state.selEnd, text.size());
  if (IsMultiLine(hwnd)) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    const int line = std::max<int>(1, metrics.tmHeight);
    const UINT format = TextFormat(hwnd);
    const int caretTop = platform::gdi::CaretPoint(dc.Get(), text, width, format, caret).y;
    const int lastTop = platform::gdi::CaretPoint(dc.Get(), text, width, format, text.size()).y;
    // As many whole lines as fit, at least one.
    const int shown = std::max(1, height / line) * line;
    if (caretTop < state.scrollY) state.scrollY = caretTop;
    if (caretTop + line > state.scrollY + shown) state.scrollY = caretTop + line - shown;
    state.scrollY = std::clamp(state.scrollY, 0, std::max(0, lastTop + line - shown));
    return;
  }
  const int caretX = platform::gdi::CaretOffset(dc.Get(), text, caret);
  SIZE extent{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
  const int step = std::max(1, width / 3);
  if (caretX < state.scrollX) state.scrollX = std::max(0, caretX - step);
  if (caretX >= state.scrollX + width) state.scrollX = caretX - width + step;
  // The caret after the last character needs a pixel of its own.
  state.scrollX = std::clamp(state.scrollX, 0, std::max(0, static_cast<int>(extent.cx) + 1 - width));
}

void SetText(HWND hwnd, const std::u16string& text) {
  // DefWindowProcW stores the text; the change is reported like any other.
  DefWindowProcW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Replaces the selection with `insert` (cut to the limit); reports the change.
void ReplaceSelection(EditState& state, HWND hwnd, std::u16string insert) {
  std::u16string text = TextOf(hwnd);
  std::size_t from = std::min({state.selStart, state.selEnd, text.size()});
  std::size_t to = std::min(std::max(state.selStart, state.selEnd), text.size());
  std::size_t room = state.limit > text.size() - (to - from) ? state.limit - (text.size() - (to - from)) : 0;
  bool cut = insert.size() > room;
  if (cut) insert.resize(platform::gdi::ClusterStartAt(insert, room));
  if (insert.empty() && from == to) {
    if (cut) NotifyParent(hwnd, EN_MAXTEXT);
    return;
  }
  text.replace(from, to - from, insert);
  state.selStart = state.selEnd = from + insert.size();
  SetText(hwnd, text);
  KeepCaretVisible(state, hwnd);
  NotifyParent(hwnd, EN_CHANGE);
  if (cut && IsWindow(hwnd)) NotifyParent(hwnd, EN_MAXTEXT);
}

bool Accepts(HWND hwnd, WCHAR c) {
  if (c == u'\r' || c == u'\n') return (Style(hwnd) & ES_MULTILINE) != 0;
  if (c < 0x20) return false;
  return !(Style(hwnd) & ES_NUMBER) || (c >= u'0' && c <= u'9');
}

void OnChar(EditState& state, HWND hwnd, WCHAR c) {
  if (Style(hwnd) & ES_READONLY) return;
  if (c == 0x08) {
    if (state.selStart == state.selEnd && state.selEnd > 0) {
      state.selStart = platform::gdi::PreviousClusterBoundary(TextOf(hwnd), state.selEnd);
    }
    ReplaceSelection(state, hwnd, u"");
    return;
  }
  if (!Accepts(hwnd, c)) return;
  ReplaceSelection(state, hwnd, c == u'\r' ? std::u16string(u"\r\n") : std::u16string(1, c));
}

void OnKeyDown(EditState& state, HWND hwnd, UINT key) {
  const std::u16string text = TextOf(hwnd);
  const std::size_t length = text.size();
  std::size_t caret = std::min(state.selEnd, length);
  switch (key) {
    case VK_LEFT: caret = platform::gdi::PreviousClusterBoundary(text, caret); break;
    case VK_RIGHT: caret = platform::gdi::NextClusterBoundary(text, caret); break;
    case VK_UP:
    case VK_DOWN:
      if (!IsMultiLine(hwnd)) return;
      caret = PositionOnNextLine(state, hwnd, caret, key == VK_UP ? -1 : 1);
      break;
    case VK_HOME: caret = 0; break;
    case VK_END: caret = length; break;
    case VK_DELETE:
      if (!(Style(hwnd) & ES_READONLY)) {
        if (state.selStart == state.selEnd) state.selEnd = platform::gdi::NextClusterBoundary(text, caret);
        ReplaceSelection(state, hwnd, u"");
      }
      return;
    default: return;
  }
  state.selStart = state.selEnd = caret;
  KeepCaretVisible(state, hwnd);
  InvalidateRect(hwnd, nullptr, TRUE);
}

// The rectangle the text is laid out in: from `origin` (the text area's top left moved by the
// scrolling) to the area's right and bottom edges. A multi-line edit scrolls only up and down, so its
// lines keep the area's width.
RECT ScrolledArea(const RECT& area, POINT origin) { return {origin.x, origin.y, area.right, area.bottom}; }

// The selection's rectangles in the highlight colours, over the text drawn as usual.
// `area` is the text area; `origin` its top left moved by the scrolling.
void PaintSelection(const EditState& state, HWND hwnd, HDC hdc, const std::u16string& text, const RECT& area,
                    POINT origin) {
  const std::size_t from = std::min({state.selStart, state.selEnd, text.size()});
  const std::size_t to = std::min(std::max(state.selStart, state.selEnd), text.size());
  const UINT format = TextFormat(hwnd);
  // A single line is centred as DrawTextW centres it.
  const bool multi = IsMultiLine(hwnd);
  for (const RECT& rect : platform::gdi::SelectionRects(hdc, text, area.right - area.left, format, from, to)) {
    // A single line's selection fills the edit's height.
    RECT span{std::max<LONG>(origin.x + rect.left, area.left), multi ? std::max<LONG>(origin.y + rect.top, area.top) : area.top,
              std::min<LONG>(origin.x + rect.right, area.right),
              multi ? std::min<LONG>(origin.y + rect.bottom, area.bottom) : area.bottom};
    if (span.left >= span.right || span.top >= span.bottom) continue;
    FillRect(hdc, &span, GetSysColorBrush(COLOR_HIGHLIGHT));
    const int saved = SaveDC(hdc);
    IntersectClipRect(hdc, span.left, span.top, span.right, span.bottom);
    COLORREF previous = SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    RECT line = ScrolledArea(area, origin);
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &line, format);
    SetTextColor(hdc, previous);
    RestoreDC(hdc, saved);
  }
}

// Text with password masking; the caret and selection are drawn over it.
void Paint(EditState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  HBRUSH brush = ParentColors(hwnd, hdc, (Style(hwnd) & ES_READONLY) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  if (brush) FillRect(hdc, &client, brush);
  HGDIOBJ previous = SelectObject(hdc, FontOr(state.font));
  SetBkMode(hdc, TRANSPARENT);
  const std::u16string text = ShownText(hwnd);
  const RECT area = TextArea(hwnd);
  const UINT format = TextFormat(hwnd);
  const bool multi = IsMultiLine(hwnd);
  const POINT origin{area.left - (multi ? 0 : state.scrollX), area.top - (multi ? state.scrollY : 0)};
  const int saved = SaveDC(hdc);
  IntersectClipRect(hdc, area.left, area.top, area.right, area.bottom);
  RECT drawn = ScrolledArea(area, origin);
  if (!multi) drawn.top = area.top;  // one line, centred in the area's height
  DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &drawn, format);
  if (state.focused) {
    PaintSelection(state, hwnd, hdc, text, area, multi ? origin : POINT{origin.x, area.top});
    TEXTMETRICW metrics{};
    GetTextMetricsW(hdc, &metrics);
    const std::size_t caret = std::min(state.selEnd, text.size());
    RECT caretRect{};
    if (multi) {
      const POINT at = platform::gdi::CaretPoint(hdc, text, area.right - area.left, format, caret);
      const int x = std::min<int>(origin.x + at.x, area.right - 1);
      caretRect = {x, origin.y + at.y, x + 1, origin.y + at.y + metrics.tmHeight};
    } else {
      const int x = std::min<int>(origin.x + platform::gdi::CaretOffset(hdc, text, caret), area.right - 1);
      const int top = (client.bottom - metrics.tmHeight) / 2;
      caretRect = {x, top, x + 1, top + metrics.tmHeight};
    }
    FillRect(hdc, &caretRect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  RestoreDC(hdc, saved);
  SelectObject(hdc, previous);
  EndPaint(hwnd, &paint);
}

LRESULT SetSelection(EditState& state, HWND hwnd, WPARAM wParam, LPARAM lParam) {
  const std::u16string text = TextOf(hwnd);
  const std::size_t length = text.size();
  const auto start = static_cast<std::intptr_t>(wParam);
  const auto end = static_cast<std::intptr_t>(lParam);
  if (start == -1) {
    state.selStart = state.selEnd;  // -1 removes the selection
  } else {
    state.selStart = std::min(static_cast<std::size_t>(std::max<std::intptr_t>(start, 0)), length);
    state.selEnd = end < 0 ? length : std::min(static_cast<std::size_t>(end), length);
    // Positions inside a cluster move to its start.
    state.selStart = platform::gdi::ClusterStartAt(text, state.selStart);
    state.selEnd = platform::gdi::ClusterStartAt(text, state.selEnd);
  }
  KeepCaretVisible(state, hwnd);
  InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

// The first line shown (multi-line) or the first character shown (single line).
LRESULT FirstVisible(const EditState& state, HWND hwnd) {
  MeasuringDc dc(hwnd, state.font);
  if (!dc.Get()) return 0;
  if (IsMultiLine(hwnd)) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    return state.scrollY / std::max<int>(1, metrics.tmHeight);
  }
  const std::u16string text = ShownText(hwnd);
  const std::size_t at = platform::gdi::PositionAtPoint(dc.Get(), text, 1 << 20, TextFormat(hwnd), {state.scrollX, 0});
  return static_cast<LRESULT>(platform::gdi::ClusterStartAt(TextOf(hwnd), at));
}

LRESULT Handle(EditState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT: state.font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
    case WM_GETDLGCODE: return 0x0080 | 0x0001;  // all characters and arrow keys
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
      state.selStart = state.selEnd = 0;
      state.scrollX = state.scrollY = 0;
      NotifyParent(hwnd, EN_CHANGE);
      return result;
    }
    case WM_CHAR: OnChar(state, hwnd, static_cast<WCHAR>(wParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(state, hwnd, static_cast<UINT>(wParam)); return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(hwnd);
      const std::size_t at = PositionAt(state, hwnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      state.selEnd = at;
      state.selStart = at;
      state.dragging = true;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (state.dragging && (wParam & MK_LBUTTON)) {
        const std::size_t at = PositionAt(state, hwnd, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (at != state.selEnd) {
          state.selEnd = at;
          KeepCaretVisible(state, hwnd);
          InvalidateRect(hwnd, nullptr, TRUE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (state.dragging) {
        state.dragging = false;
        ReleaseCapture();
      }
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      state.focused = message == WM_SETFOCUS;
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyParent(hwnd, state.focused ? EN_SETFOCUS : EN_KILLFOCUS);
      return 0;
    case EM_LIMITTEXT: state.limit = wParam ? static_cast<std::size_t>(wParam) : kDefaultLimit; return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(state.limit);
    case EM_SETSEL: return SetSelection(state, hwnd, wParam, lParam);
    case EM_GETFIRSTVISIBLELINE: return FirstVisible(state, hwnd);
    case EM_GETSEL: {
      auto from = static_cast<DWORD>(std::min(state.selStart, state.selEnd));
      auto to = static_cast<DWORD>(std::max(state.selStart, state.selEnd));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = from;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = to;
      return MAKELPARAM(from, to);
    }
    case EM_REPLACESEL:
      ReplaceSelection(state, hwnd, lParam ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string());
      return 0;
    case EM_SETREADONLY: {
      LONG_PTR style = GetWindowLongW(hwnd, GWL_STYLE);
      SetWindowLongW(hwnd, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~static_cast<LONG_PTR>(ES_READONLY)));
      return TRUE;
    }
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT EditProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlProcedure<EditState>(hwnd, message, wParam, lParam, Handle);
}

}  // namespace

void RegisterEditClass() { RegisterControlClass(u"EDIT", EditProcedure, 0); }

}  // namespace platform::controls
