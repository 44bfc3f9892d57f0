#include "ui/progress_bar.h"

#include <algorithm>

#include "platform/gdi/gdi_raii.h"
#include "transport/resource_module.h"
#include "ui/density.h"

namespace {

CString FormatClock(int seconds) {
  CString text;
  text.Format(u"%02d:%02d", (seconds / 60) % 100, seconds % 60);
  return text;
}

// A duration from 1 to 999 ms shows as one second; others round to the nearest second (in 64 bits:
// the longest totals are held at the largest int, and adding the half second must not wrap).
int RoundedSeconds(int milliseconds) {
  if (milliseconds >= 1 && milliseconds <= 999) return 1;
  return static_cast<int>((static_cast<long long>(milliseconds) + 500) / 1000);
}

}  // namespace

ProgressBar::ProgressBar()
    : m_margin(((ScreenDpiX() + 19) * 5) / 96), m_inset(ScaleY(8)), m_background(GetSysColor(COLOR_BTNFACE)) {}

ProgressBar::ProgressBar(int margin, int inset, COLORREF background, HWND owner, DWORD mode)
    : m_owner(owner), m_margin(margin), m_inset(inset), m_background(background), m_mode(mode) {}

const MessageMap* ProgressBar::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_ERASEBKGND, &ProgressBar::OnEraseBackground),
      OnMessage(WM_SIZE, &ProgressBar::OnSize),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

LRESULT ProgressBar::OnEraseBackground(WPARAM, LPARAM) { return 1; }

LRESULT ProgressBar::OnSize(WPARAM, LPARAM) {
  Layout();
  return 0;
}

BOOL ProgressBar::OnCreated() {
  Layout();
  return TRUE;
}

void ProgressBar::SetMode(DWORD mode) {
  m_mode = mode;
  Layout();
}

void ProgressBar::SetFixed(BOOL fixed) {
  m_fixed = fixed != FALSE;
  InvalidateRect(nullptr, FALSE);
}

int ProgressBar::SetProgress(int position, int duration) {
  if ((position == -1 && duration == -1) || m_fixed) return 0;
  if (position == m_position && duration == m_duration) return 1;
  m_backwards = position < m_position;
  m_position = position;
  m_duration = duration;
  InvalidateRect(nullptr, FALSE);
  return 1;
}

void ProgressBar::Layout() {
  RECT client{};
  GetClientRect(&client);
  const int label = ScaleX(35);
  const int height = client.bottom - client.top;
  const int m = m_margin;
  if (m_mode & kProgressSides) {
    m_bar = RECT{client.left + m + label, client.top + m_inset, client.right - m - label, client.bottom - m_inset};
    m_firstText = RECT{client.left + m, 0, m_bar.left - 1, height};
    m_secondText = RECT{m_bar.right + m, 0, client.right - m, height};
  } else {
    m_bar = RECT{client.left + m, client.top + m_inset, client.right - m - label, client.bottom - m_inset};
    if (m_mode & kProgressElapsedOnly) {
      m_firstText = RECT{m_bar.right + m, 0, client.right - m, height};
      m_secondText = RECT{};
    } else {
      m_firstText = RECT{m_bar.right + m, 0, client.right - m, height / 2};
      m_secondText = RECT{m_bar.right + m, height / 2, client.right - m, height};
    }
  }
  InvalidateRect(nullptr, FALSE);
}

CString ProgressBar::FormatElapsed(int position, int duration) {
  position = std::min(position, duration);
  int seconds = position / 1000;
  if (position == duration) seconds = RoundedSeconds(position);
  return FormatClock(std::max(seconds, 0));
}

CString ProgressBar::FormatTotal(int duration) { return FormatClock(std::max(RoundedSeconds(duration), 0)); }

void ProgressBar::DrawTimes(HDC hdc) {
  if (m_fixed) return;
  CString elapsed = FormatElapsed(m_position, m_duration);
  CString total = FormatTotal(m_duration);
  platform::gdi::UniqueFont font(transport::CreateUiFont(2, 12));
  platform::gdi::ScopedSelect select(hdc, font.Get());
  const COLORREF oldBk = SetBkColor(hdc, m_background);
  const int oldMode = SetBkMode(hdc, TRANSPARENT);
  RECT first = m_firstText;
  RECT second = m_secondText;
  if (m_mode & kProgressSides) {
    DrawTextW(hdc, elapsed, -1, &first, DT_VCENTER | DT_SINGLELINE);
    DrawTextW(hdc, total, -1, &second, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  } else if (m_mode & kProgressElapsedOnly) {
    DrawTextW(hdc, elapsed, -1, &first, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  } else {
    DrawTextW(hdc, elapsed, -1, &first, DT_RIGHT | DT_SINGLELINE);
    DrawTextW(hdc, total, -1, &second, DT_RIGHT | DT_SINGLELINE);
  }
  SetBkMode(hdc, oldMode);
  SetBkColor(hdc, oldBk);
}

void ProgressBar::Fill(HDC hdc) {
  HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  if (m_position && m_duration) {
    if (m_backwards) FillRect(hdc, &m_bar, white);
    const int span = m_bar.right - (m_bar.left + 1);
    const long long filled = static_cast<long long>(span) * m_position / m_duration;
    RECT done{m_bar.left + 1, m_bar.top, m_bar.left + 1 + static_cast<int>(std::clamp<long long>(filled, 0, span)),
              m_bar.bottom};
    FillRect(hdc, &done, GetSysColorBrush(COLOR_HIGHLIGHT));
  } else {
    FillRect(hdc, &m_bar, white);
  }
  m_backwards = false;
}

BOOL ProgressBar::OnPaint(HDC hdc, PAINTSTRUCT*) {
  RECT client{};
  GetClientRect(&client);
  platform::gdi::MemoryDc buffer(hdc);
  platform::gdi::UniqueBitmap bitmap(CreateCompatibleBitmap(hdc, client.right, client.bottom));
  if (!buffer || !bitmap) return TRUE;
  platform::gdi::ScopedSelect select(buffer.Get(), bitmap.Get());
  platform::gdi::UniqueBrush background(CreateSolidBrush(m_background));
  FillRect(buffer.Get(), &client, background.Get());
  RECT frame = m_bar;
  InflateRect(&frame, 1, 1);
  if (!m_fixed) FillRect(buffer.Get(), &frame, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  platform::gdi::UniquePen pen(CreatePen(PS_SOLID, 1, GetSysColor(m_fixed ? COLOR_INACTIVEBORDER : COLOR_ACTIVEBORDER)));
  {
    platform::gdi::ScopedSelect penSelect(buffer.Get(), pen.Get());
    platform::gdi::ScopedSelect brushSelect(buffer.Get(), GetStockObject(NULL_BRUSH));
    Rectangle(buffer.Get(), frame.left, frame.top, frame.right, frame.bottom);
  }
  DrawTimes(buffer.Get());
  if (!m_fixed) Fill(buffer.Get());
  BitBlt(hdc, 0, 0, client.right, client.bottom, buffer.Get(), 0, 0, SRCCOPY);
  return TRUE;
}

const MessageMap* StaticLabel::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_ERASEBKGND, &StaticLabel::OnEraseBackground),
      OnMessage(WM_LBUTTONDOWN, &StaticLabel::OnLButtonDown),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

void StaticLabel::SetText(LPCWSTR text, UINT format) {
  m_text = text ? CString(text) : CString();
  m_format = format;
  InvalidateRect(nullptr, TRUE);
}

LRESULT StaticLabel::OnEraseBackground(WPARAM wParam, LPARAM) {
  auto hdc = reinterpret_cast<HDC>(wParam);
  RECT client{};
  GetClientRect(&client);
  const COLORREF old = SetBkColor(hdc, GetSysColor(COLOR_BTNFACE));
  ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &client, u"", 0, nullptr);
  SetBkColor(hdc, old);
  return 1;
}

BOOL StaticLabel::OnPaint(HDC hdc, PAINTSTRUCT*) {
  RECT client{};
  GetClientRect(&client);
  platform::gdi::UniqueFont font(transport::CreateUiFont(2, 12));
  platform::gdi::ScopedSelect select(hdc, font.Get());
  const int oldMode = SetBkMode(hdc, TRANSPARENT);
  DrawTextW(hdc, m_text, -1, &client, m_format);
  SetBkMode(hdc, oldMode);
  return TRUE;
}

LRESULT StaticLabel::OnLButtonDown(WPARAM, LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(GetHandle(), &point);
  HWND parent = GetParent();
  if (IsWindow(parent)) SendMessageW(parent, WM_COMMAND, kStaticLabelTapCommand, MAKELPARAM(point.x, point.y));
  return 0;
}
