#include "ui/hyper_text_ctrl.h"

#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/controls/shell_gesture.h"
#include "platform/gdi/gdi_raii.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/density.h"

namespace {

// Stroke under link text, and the width of the scroll position mark at the right edge.
constexpr int kUnderline = 1;
constexpr int kScrollMarkWidth = 3;
constexpr int kRaisedPoint = 20;
// Space around the text, at 96 dots per inch.
constexpr int kMargin = 3;

DWORD Pages(int contentHeight, int viewHeight) {
  return viewHeight <= 0 ? 0 : static_cast<DWORD>((contentHeight + viewHeight - 1) / viewHeight);
}

}  // namespace

CHyperTextCtrl::~CHyperTextCtrl() {
  if (m_memoryDc) {
    if (m_oldBitmap) SelectObject(m_memoryDc, m_oldBitmap);
    DeleteDC(m_memoryDc);
  }
  if (m_bitmap) DeleteObject(m_bitmap);
  if (m_ownsFont && m_font) DeleteObject(m_font);
}

const MessageMap* CHyperTextCtrl::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_SIZE, &CHyperTextCtrl::OnSize),
      OnMessage<CHyperTextCtrl>(WM_SHOWWINDOW, nullptr),
      OnMessage(WM_SETTEXT, &CHyperTextCtrl::OnSetText),
      OnMessage(WM_GETTEXT, &CHyperTextCtrl::OnGetText),
      OnMessage(WM_SETFONT, &CHyperTextCtrl::OnSetFont),
      OnMessage(WM_GETFONT, &CHyperTextCtrl::OnGetFont),
      OnMessage(WM_ERASEBKGND, &CHyperTextCtrl::OnEraseBackground),
      OnMessage(WM_HSCROLL, &CHyperTextCtrl::OnHScroll),
      OnMessage(WM_VSCROLL, &CHyperTextCtrl::OnVScroll),
      OnMessage(WM_CAPTURECHANGED, &CHyperTextCtrl::OnCaptureChanged),
      OnMessage(WM_MOUSEMOVE, &CHyperTextCtrl::OnMouseMove),
      OnMessage(WM_LBUTTONDOWN, &CHyperTextCtrl::OnLButtonDown),
      OnMessage(WM_LBUTTONUP, &CHyperTextCtrl::OnLButtonUp),
      OnMessage<CHyperTextCtrl>(WM_SETFOCUS, nullptr),
      OnMessage(WM_KEYUP, &CHyperTextCtrl::OnKeyUp),
      OnMessage(WM_ACTIVATE, &CHyperTextCtrl::OnActivate),
      OnMessage(WM_PAINT, &CHyperTextCtrl::OnPaintEntry),
      OnMessage(kHyperTextScrolled, &CHyperTextCtrl::OnOwnerRequest),
      OnMessage(WM_KEYDOWN, &CHyperTextCtrl::OnKeyDown),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CHyperTextCtrl::RegisterWindowClass(const WNDCLASSW* windowClass) {
  if (windowClass == nullptr) return FALSE;
  WNDCLASSW own = *windowClass;
  own.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
  return CWndBase::RegisterWindowClass(&own);
}

BOOL CHyperTextCtrl::Create(HWND parent, RECT* rect, DWORD style, DWORD options) {
  m_options = options;
  // Emoticons are shown as pictures only where the device offers them at all.
  if (GetConfigValue(numeric_setting::kSupportEmoticon) == 0) m_options &= ~kHyperTextEmoticons;
  RECT area{};
  ::GetClientRect(parent, &area);
  if (rect != nullptr) *rect = area;
  m_background = GetSysColor(COLOR_WINDOW);
  m_textColour = GetSysColor(COLOR_WINDOWTEXT);
  return CWndBase::Create(kHyperTextClass, u"", style | 0x3, area.left, area.top, area.right - area.left,
                          area.bottom - area.top, ULC_Global::GetGlobal()->resourceModule.instance, parent, 0,
                          nullptr);
}

BOOL CHyperTextCtrl::OnCreated() {
  HDC screen = GetDC(GetHandle());
  m_memoryDc = CreateCompatibleDC(screen);
  ReleaseDC(GetHandle(), screen);
  return m_memoryDc != nullptr;
}

void CHyperTextCtrl::SetColorsAndFont(COLORREF textColour, COLORREF backgroundColour, int fontSize) {
  m_textColour = textColour;
  m_background = backgroundColour;
  m_fontSize = fontSize;
  HFONT font = transport::CreateUiFont(4, fontSize);
  if (font) {
    if (m_ownsFont && m_font) DeleteObject(m_font);
    m_font = font;
    m_ownsFont = true;
  }
  Relayout();
  InvalidateRect(nullptr, FALSE);
}

BOOL CHyperTextCtrl::SetText(LPCWSTR text, int width, int height, int secondHeight, DWORD first[3],
                             DWORD second[3]) {
  if (text == nullptr || *text == 0 || width < 1 || height < 1 || m_memoryDc == nullptr) return FALSE;
  m_links.ScanLinks(text, m_linksEnabled);
  m_opened.assign(m_links.Links().size(), false);
  m_selected = 0;
  m_selectedRecord = LinkRecord{};
  m_scroll = 0;
  m_done = false;
  HDC hdc = m_memoryDc;
  HGDIOBJ oldFont = SelectObject(hdc, m_font ? m_font : GetStockObject(SYSTEM_FONT));
  MarkEmoticons(hdc);
  m_layout.Build(hdc, m_links.Text(), m_links.Links(), width - kScrollMarkWidth - 2 * Margin());
  SelectObject(hdc, oldFont);
  const int layoutHeight = ContentHeight();
  if (first != nullptr) {
    first[0] = static_cast<DWORD>(layoutHeight);
    first[1] = static_cast<DWORD>(m_layout.Lines().size());
    first[2] = Pages(layoutHeight, height);
  }
  if (second != nullptr) {
    second[0] = second[1] = second[2] = 0;
    if (secondHeight > 0) {
      second[0] = static_cast<DWORD>(layoutHeight);
      second[1] = static_cast<DWORD>(m_layout.Lines().size());
      second[2] = Pages(layoutHeight, secondHeight);
    }
  }
  UpdateDone();
  InvalidateRect(nullptr, FALSE);
  return TRUE;
}

void CHyperTextCtrl::MarkEmoticons(HDC hdc) {
  if (!(m_options & kHyperTextEmoticons)) return;
  if (!m_emoticons) {
    m_emoticons = std::make_unique<EmoticonPlayer>();
    // A set that cannot be loaded leaves the emoticons as the text typed; the text is not refused,
    // so that a damaged emoticon folder never hides a message.
    m_emoticons->LoadConfiguredSet();
  }
  // The pictures are as high as a line, so that a line with emoticons keeps its height.
  TEXTMETRICW metrics{};
  GetTextMetricsW(hdc, &metrics);
  const int size = std::max<int>(1, metrics.tmHeight + metrics.tmExternalLeading);
  m_layout.SetPictures(m_emoticons->MarkText(m_links.Text(), size), size);
}

void CHyperTextCtrl::Relayout() {
  if (m_links.Text().empty() || !IsWindow()) return;
  RECT client{};
  GetClientRect(&client);
  HGDIOBJ oldFont = SelectObject(m_memoryDc, m_font ? m_font : GetStockObject(SYSTEM_FONT));
  MarkEmoticons(m_memoryDc);
  m_layout.Build(m_memoryDc, m_links.Text(), m_links.Links(), client.right - kScrollMarkWidth - 2 * Margin());
  SelectObject(m_memoryDc, oldFont);
  ScrollTo(m_scroll);
}

void CHyperTextCtrl::Resize(const RECT& rect) {
  MoveWindow(GetHandle(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, FALSE);
  Relayout();
  if (m_selected > 0) {
    SelectLink(m_selected);
    ::SendMessageW(GetParent(), kHyperTextSelectionChanged, static_cast<WPARAM>(m_selected), 0);
  }
}

BOOL CHyperTextCtrl::IsDone() const {
  if ((m_options & kHyperTextDoneAtOnce1) && (m_options & kHyperTextDoneAtOnce2)) return TRUE;
  if (m_layout.IsEmpty()) return TRUE;
  return m_done ? TRUE : FALSE;
}

int CHyperTextCtrl::ClientHeight() const {
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  return client.bottom - client.top;
}

int CHyperTextCtrl::MaxScroll() const { return std::max(0, ContentHeight() - ClientHeight()); }

int CHyperTextCtrl::Margin() { return ScaleX(kMargin); }

int CHyperTextCtrl::ContentHeight() const { return m_layout.IsEmpty() ? 0 : m_layout.Height() + 2 * Margin(); }

RECT CHyperTextCtrl::ClientRectOf(const HyperTextRun& run) const {
  RECT rect = run.rect;
  OffsetRect(&rect, Margin(), Margin() - m_scroll);
  return rect;
}

// The text counts as shown once its last line has been in view.
void CHyperTextCtrl::UpdateDone() {
  if (m_scroll + ClientHeight() >= ContentHeight()) m_done = true;
}

void CHyperTextCtrl::ScrollTo(int position) {
  const int clamped = std::clamp(position, 0, MaxScroll());
  if (clamped != m_scroll) {
    m_scroll = clamped;
    InvalidateRect(nullptr, FALSE);
  }
  UpdateDone();
}

bool CHyperTextCtrl::SelectLink(int number) {
  const auto& links = m_links.Links();
  if (number < 0 || number > static_cast<int>(links.size())) return false;
  m_selected = number;
  m_selectedRecord = number > 0 ? links[number - 1] : LinkRecord{};
  if (number > 0) {
    const int run = m_layout.FirstRunOf(number - 1);
    if (run >= 0) {
      const RECT r = ClientRectOf(m_layout.Runs()[run]);
      if (r.top < 0) ScrollTo(m_scroll + r.top - Margin());
      if (r.bottom > ClientHeight()) ScrollTo(m_scroll + r.bottom - ClientHeight() + Margin());
    }
  }
  InvalidateRect(nullptr, FALSE);
  return true;
}

void CHyperTextCtrl::SendOpened(const LinkRecord& record, LPARAM point) {
  m_tappedRecord = record;
  const auto index = static_cast<std::size_t>(std::find_if(m_links.Links().begin(), m_links.Links().end(),
                                                           [&](const LinkRecord& link) {
                                                             return link.first == record.first;
                                                           }) -
                                              m_links.Links().begin());
  if (index < m_opened.size()) m_opened[index] = true;
  InvalidateRect(nullptr, FALSE);
  ::SendMessageW(GetParent(), kHyperTextLinkOpened, reinterpret_cast<WPARAM>(&m_tappedRecord), point);
}

POINT CHyperTextCtrl::LinkOpeningPoint(int link) const {
  POINT point{0, 0};
  const int run = m_layout.FirstRunOf(link);
  if (run >= 0) {
    const RECT r = ClientRectOf(m_layout.Runs()[run]);
    point = POINT{r.left, r.bottom};
  }
  ::ClientToScreen(GetHandle(), &point);
  if (m_options & kHyperTextRaisedPoint) point.y -= ScaleY(kRaisedPoint);
  return point;
}

LRESULT CHyperTextCtrl::OnOwnerRequest(WPARAM wParam, LPARAM) {
  if (wParam != kHyperTextOpenSelected || !(m_options & kHyperTextSelectable) || m_selected == 0) return 0;
  const LinkRecord record = m_selectedRecord;
  LPARAM point = 0;
  if (record.type >= kLinkFtp && record.type <= kLinkPhone) {
    const POINT at = LinkOpeningPoint(m_selected - 1);
    point = MAKELPARAM(at.x, at.y);
  }
  SendOpened(record, point);
  return 1;
}

LRESULT CHyperTextCtrl::OnLButtonDown(WPARAM, LPARAM lParam) {
  const POINT client{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT area{};
  GetClientRect(&area);
  HWND parent = GetParent();
  if (!PtInRect(&area, client)) {
    ::PostMessageW(parent, kHyperTextTappedOutside, 0, 0);
    return 0;
  }
  const int run = m_layout.RunAt(POINT{client.x - Margin(), client.y + m_scroll - Margin()});
  if (run < 0) {
    ::PostMessageW(parent, kHyperTextTappedOutside, 0, 0);
    return 0;
  }
  const std::int32_t link = m_layout.Runs()[run].link;
  if (link < 0) return 0;
  if (m_options & kHyperTextSelectable) {
    SelectLink(link + 1);
    ::SendMessageW(parent, kHyperTextSelectionChanged, static_cast<WPARAM>(link + 1), 0);
    UpdateWindow();
  }
  const LinkRecord record = m_links.Links()[link];
  SetCapture();
  SHRGINFO gesture{sizeof(SHRGINFO), GetHandle(), client, SHRG_RETURNCMD};
  const bool held = SHRecognizeGesture(&gesture) == GN_CONTEXTMENU;
  LPARAM point = 0;
  if (held || (record.type >= kLinkFtp && record.type <= kLinkPhone)) {
    POINT screen = client;
    ::ClientToScreen(GetHandle(), &screen);
    point = MAKELPARAM(screen.x, screen.y);
  }
  SendOpened(record, point);
  return 0;
}

LRESULT CHyperTextCtrl::OnLButtonUp(WPARAM, LPARAM) {
  if (::GetCapture() == GetHandle()) ReleaseCapture();
  return 0;
}

LRESULT CHyperTextCtrl::OnMouseMove(WPARAM, LPARAM) { return 0; }

LRESULT CHyperTextCtrl::OnCaptureChanged(WPARAM, LPARAM) { return 0; }

LRESULT CHyperTextCtrl::OnKeyUp(WPARAM wParam, LPARAM lParam) {
  ::SendMessageW(GetParent(), WM_KEYUP, wParam, lParam);
  return 0;
}

// Up and down step through the links when they can be selected, else scroll a line.
void CHyperTextCtrl::StepSelection(int direction) {
  const int count = static_cast<int>(m_links.Links().size());
  const bool selectable = (m_options & kHyperTextSelectable) && count > 0;
  const int next = m_selected + direction;
  if (selectable && next >= 1 && next <= count) {
    SelectLink(next);
    ::SendMessageW(GetParent(), kHyperTextSelectionChanged, static_cast<WPARAM>(next), 0);
    return;
  }
  OnVScroll(direction > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
}

LRESULT CHyperTextCtrl::OnKeyDown(WPARAM wParam, LPARAM) {
  switch (wParam) {
    case VK_DOWN: StepSelection(1); return 0;
    case VK_UP: StepSelection(-1); return 0;
    case VK_NEXT: return OnVScroll(SB_PAGEDOWN, 0);
    case VK_PRIOR: return OnVScroll(SB_PAGEUP, 0);
    default: return 0;
  }
}

LRESULT CHyperTextCtrl::OnHScroll(WPARAM, LPARAM) {
  ::SendMessageW(GetParent(), kHyperTextScrolled, kHyperTextScrollNotice, 0);
  return 0;
}

LRESULT CHyperTextCtrl::OnVScroll(WPARAM wParam, LPARAM) {
  const int line = std::max(1, m_layout.LineHeight());
  const int page = std::max(line, ClientHeight() - line);
  switch (LOWORD(wParam)) {
    case SB_LINEUP: ScrollTo(m_scroll - line); break;
    case SB_LINEDOWN: ScrollTo(m_scroll + line); break;
    case SB_PAGEUP: ScrollTo(m_scroll - page); break;
    case SB_PAGEDOWN: ScrollTo(m_scroll + page); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: ScrollTo(static_cast<short>(HIWORD(wParam))); break;
    case SB_TOP: ScrollTo(0); break;
    case SB_BOTTOM: ScrollTo(MaxScroll()); break;
    default: break;
  }
  ::SendMessageW(GetParent(), kHyperTextScrolled, kHyperTextScrollNotice, 1);
  return 0;
}

LRESULT CHyperTextCtrl::OnSize(WPARAM, LPARAM) {
  Relayout();
  InvalidateRect(nullptr, FALSE);
  return 0;
}

LRESULT CHyperTextCtrl::OnSetText(WPARAM, LPARAM lParam) {
  RECT client{};
  GetClientRect(&client);
  return SetText(reinterpret_cast<LPCWSTR>(lParam), client.right, client.bottom, 0, nullptr, nullptr);
}

LRESULT CHyperTextCtrl::OnGetText(WPARAM wParam, LPARAM lParam) {
  auto* buffer = reinterpret_cast<LPWSTR>(lParam);
  if (buffer == nullptr || wParam == 0) return 0;
  const std::u16string& text = m_links.Text();
  const std::size_t count = std::min<std::size_t>(text.size(), wParam - 1);
  std::copy_n(text.data(), count, buffer);
  buffer[count] = 0;
  return static_cast<LRESULT>(count);
}

LRESULT CHyperTextCtrl::OnSetFont(WPARAM wParam, LPARAM lParam) {
  if (m_ownsFont && m_font) DeleteObject(m_font);
  m_font = reinterpret_cast<HFONT>(wParam);
  m_ownsFont = false;
  Relayout();
  if (lParam) InvalidateRect(nullptr, FALSE);
  return 0;
}

LRESULT CHyperTextCtrl::OnGetFont(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_font); }

LRESULT CHyperTextCtrl::OnEraseBackground(WPARAM, LPARAM) { return 1; }

LRESULT CHyperTextCtrl::OnActivate(WPARAM, LPARAM) { return 0; }

LRESULT CHyperTextCtrl::OnPaintEntry(WPARAM, LPARAM) { return OnPaintMessage(); }

BOOL CHyperTextCtrl::OnPaintMessage() {
  if (!IsWindow()) return FALSE;
  PAINTSTRUCT paint;
  HDC hdc = ::BeginPaint(GetHandle(), &paint);
  RECT client{};
  GetClientRect(&client);
  const SIZE size{client.right, client.bottom};
  if (!m_bitmap || size.cx != m_bitmapSize.cx || size.cy != m_bitmapSize.cy) {
    if (m_oldBitmap) SelectObject(m_memoryDc, m_oldBitmap);
    if (m_bitmap) DeleteObject(m_bitmap);
    m_bitmap = CreateCompatibleBitmap(hdc, std::max<int>(1, size.cx), std::max<int>(1, size.cy));
    m_oldBitmap = SelectObject(m_memoryDc, m_bitmap);
    m_bitmapSize = size;
  }
  Paint(m_memoryDc, client);
  BitBlt(hdc, 0, 0, size.cx, size.cy, m_memoryDc, 0, 0, SRCCOPY);
  ::EndPaint(GetHandle(), &paint);
  return TRUE;
}

void CHyperTextCtrl::PaintRun(HDC hdc, const HyperTextRun& run) {
  const RECT rect = ClientRectOf(run);
  COLORREF colour = m_textColour;
  const bool link = run.link >= 0;
  const bool selected = link && run.link + 1 == m_selected;
  if (link) colour = m_opened[run.link] ? m_linkColours[2] : m_linkColours[0];
  if (selected) {
    HBRUSH brush = CreateSolidBrush(m_linkColours[1]);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
    colour = m_background;
  }
  SetTextColor(hdc, colour);
  if (run.picture < 0 || !m_emoticons || !m_emoticons->Draw(hdc, run.picture, rect)) {
    ExtTextOutW(hdc, rect.left, rect.top, 0, nullptr, m_links.Text().data() + run.first,
                static_cast<UINT>(run.count), nullptr);
  }
  if (link && !selected) {
    HPEN pen = CreatePen(PS_SOLID, kUnderline, colour);
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    MoveToEx(hdc, rect.left, rect.bottom - 1, nullptr);
    LineTo(hdc, rect.right, rect.bottom - 1);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
  }
}

void CHyperTextCtrl::Paint(HDC hdc, const RECT& client) {
  HBRUSH background = CreateSolidBrush(m_background);
  FillRect(hdc, &client, background);
  DeleteObject(background);
  HGDIOBJ oldFont = SelectObject(hdc, m_font ? m_font : GetStockObject(SYSTEM_FONT));
  SetBkMode(hdc, TRANSPARENT);
  const int viewTop = m_scroll - Margin();
  const int viewBottom = viewTop + client.bottom;
  for (const HyperTextLine& line : m_layout.Lines()) {
    if (line.bottom <= viewTop) continue;
    if (line.top >= viewBottom) break;
    for (std::int32_t i = line.firstRun; i < line.firstRun + line.runCount; ++i) PaintRun(hdc, m_layout.Runs()[i]);
  }
  SelectObject(hdc, oldFont);
  // Where the view is in a text taller than it.
  const int height = ContentHeight();
  if (height > client.bottom && client.bottom > 0) {
    const int top = static_cast<int>(static_cast<long long>(m_scroll) * client.bottom / height);
    const int length = std::max(ScaleY(8), static_cast<int>(static_cast<long long>(client.bottom) * client.bottom / height));
    RECT mark{client.right - kScrollMarkWidth, top, client.right, std::min<int>(client.bottom, top + length)};
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_GRAYTEXT));
    FillRect(hdc, &mark, brush);
    DeleteObject(brush);
  }
}
