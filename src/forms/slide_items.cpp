#include "forms/slide_items.h"

#include <algorithm>

#include "forms/composer_commands.h"
#include "model/device_file.h"
#include "platform/controls/control_messages.h"
#include "platform/gdi/gdi_api.h"
#include "platform/window/window_styles.h"
#include "transport/resource_module.h"
#include "ui/density.h"

namespace {

constexpr DWORD kItemStyle = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr COLORREF kCaptionColour = 0x808080;
constexpr COLORREF kBorderColour = 0xC0C0C0;
constexpr int kViewId = 2;
constexpr int kUiFont = 12;
constexpr int kTimeWidth = 64;  // room for "0:00/0:00" at 96 dots per inch
constexpr int kVoiceTimeWidth = 48;  // room for "00:00"

}  // namespace

ScopedUiFont::ScopedUiFont(HDC hdc) : m_hdc(hdc), m_font(transport::CreateUiFont(kUiFont, 0)) {
  if (m_font != nullptr) m_previous = SelectObject(hdc, m_font);
}

ScopedUiFont::~ScopedUiFont() {
  if (m_previous != nullptr) SelectObject(m_hdc, m_previous);
  if (m_font != nullptr) DeleteObject(m_font);
}

CSlideItem::~CSlideItem() {
  if (IsWindow()) ::DestroyWindow(GetHandle());
}

const MessageMap* CSlideItem::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_KEYDOWN, &CSlideItem::OnKeyDown),
      OnMessage(WM_SETFOCUS, &CSlideItem::OnFocus),
      OnMessage(WM_LBUTTONDOWN, &CSlideItem::OnTap),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CSlideItem::Create(HWND frame, const RECT& rect) {
  if (!CWndBase::Create(m_className, nullptr, kItemStyle, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, nullptr, frame, 0, kWhiteBackground)) {
    return FALSE;
  }
  RECT client{};
  GetClientRect(&client);
  LayOutChildren(client);
  return TRUE;
}

void CSlideItem::MoveTo(const RECT* rect) {
  if (rect == nullptr || !IsWindow()) return;
  ::MoveWindow(GetHandle(), rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
  RECT client{};
  GetClientRect(&client);
  LayOutChildren(client);
}

void CSlideItem::SetCaption(const CString& caption) {
  m_caption = caption;
  InvalidateRect(nullptr, TRUE);
}

BOOL CSlideItem::OnPaint(HDC hdc, PAINTSTRUCT*) {
  RECT client{};
  GetClientRect(&client);
  HBRUSH border = CreateSolidBrush(::GetFocus() == GetHandle() ? 0 : kBorderColour);
  FrameRect(hdc, &client, border);
  DeleteObject(border);
  if (!m_caption.IsEmpty()) {
    ScopedUiFont font(hdc);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, kCaptionColour);
    RECT area = CaptionArea(client);
    DrawTextW(hdc, m_caption.GetString(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  return TRUE;
}

LRESULT CSlideItem::OnKeyDown(WPARAM wParam, LPARAM) {
  ::PostMessageW(GetParent(), WM_ITEM_NOTIFY, wParam, reinterpret_cast<LPARAM>(GetHandle()));
  return 0;
}

LRESULT CSlideItem::OnFocus(WPARAM, LPARAM) {
  ::PostMessageW(GetParent(), WM_ITEM_NOTIFY, 0, reinterpret_cast<LPARAM>(GetHandle()));
  InvalidateRect(nullptr, TRUE);
  return 0;
}

LRESULT CSlideItem::OnTap(WPARAM wParam, LPARAM lParam) {
  if (::GetFocus() == GetHandle()) return OnFocus(wParam, lParam);
  // Gaining the focus tells the frame through WM_SETFOCUS.
  ::SetFocus(GetHandle());
  return 0;
}

void CVisualItem::ShowObject(const CString& path, DWORD typeCode) {
  if (path == m_path && (path.IsEmpty() || HasPicture())) return;
  m_path = path;
  m_view.reset();
  if (path.IsEmpty()) return;
  RECT client{};
  GetClientRect(&client);
  auto view = std::make_unique<CImageView>(nullptr, nullptr);
  if (!view->Create(GetHandle(), client, kViewId)) return;
  // The item keeps its picture as large on a dense screen as on a plain one.
  view->ShowAtDensity(true);
  int result = 0;
  // Thumbnail mode: the composer shows a video's first frame instead of playing it.
  view->Load(path.GetString(), typeCode, &result, TRUE, 0, 0);
  m_view = std::move(view);
  LayOutChildren(client);
}

void CVisualItem::LayOutChildren(const RECT& client) {
  if (!m_view) return;
  RECT inner{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
  m_view->MoveTo(&inner);
  ::MoveWindow(m_view->GetHandle(), inner.left, inner.top, inner.right - inner.left, inner.bottom - inner.top, TRUE);
}

BOOL CAudioItem::CreateAudio(HWND frame, const RECT& rect) {
  if (!Create(frame, rect)) return FALSE;
  if (!m_toolbar.Create(GetHandle())) return FALSE;
  RECT client{};
  GetClientRect(&client);
  LayOutChildren(client);
  return TRUE;
}

const MessageMap* CAudioItem::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(composer_message::kInsertRecording, &CAudioItem::OnInsertRecording),
      OnMessage(composer_message::kSoundPlayRequested, &CAudioItem::OnToolbarUsed),
      OnMessage(composer_message::kRecordToolbarPressed, &CAudioItem::OnToolbarUsed),
      MapEnd(),
  };
  static const MessageMap kMap{CSlideItem::GetMessageMap(), kEntries};
  return &kMap;
}

void CAudioItem::LayOutChildren(const RECT&) { m_toolbar.FollowParent(); }

RECT CAudioItem::CaptionArea(const RECT& client) const {
  RECT area = client;
  if (m_toolbar.IsWindow()) area.left = std::min<LONG>(client.right, 1 + m_toolbar.ButtonsWidth());
  // The position takes the right end while the sound plays.
  if (m_duration > 0) area.right = std::max<LONG>(area.left, area.right - ScaleX(kTimeWidth));
  return area;
}

void CAudioItem::ShowProgress(int position, int duration) {
  m_position = std::max(0, position);
  m_duration = std::max(0, duration);
  InvalidateRect(nullptr, TRUE);
}

BOOL CAudioItem::OnPaint(HDC hdc, PAINTSTRUCT* paint) {
  CSlideItem::OnPaint(hdc, paint);
  if (m_duration <= 0) return TRUE;
  RECT client{};
  GetClientRect(&client);
  RECT area{client.right - ScaleX(kTimeWidth), client.top, client.right - ScaleX(4), client.bottom};
  CString time;
  time.Format(u"%d:%02d/%d:%02d", m_position / 60000, m_position / 1000 % 60, m_duration / 60000,
              m_duration / 1000 % 60);
  ScopedUiFont font(hdc);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, kCaptionColour);
  DrawTextW(hdc, time.GetString(), -1, &area, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  return TRUE;
}

// The toolbar's clip goes in through the frame, which owns the slide.
LRESULT CAudioItem::OnInsertRecording(WPARAM, LPARAM) {
  if (m_owner != nullptr && !m_toolbar.RecordedPath().IsEmpty()) m_owner->InsertRecording(m_toolbar.RecordedPath());
  return 0;
}

// Using the toolbar makes the item the frame's focused child, as a tap on the item does.
LRESULT CAudioItem::OnToolbarUsed(WPARAM, LPARAM) {
  ::PostMessageW(GetParent(), WM_ITEM_NOTIFY, 0, reinterpret_cast<LPARAM>(GetHandle()));
  return 0;
}

CString VoiceMailTimeText(int milliseconds) {
  const int seconds = (std::max(0, milliseconds) + 500) / 1000;
  CString text;
  text.Format(u"%02d:%02d", seconds / 60, seconds % 60);
  return text;
}

void CVoiceMailItem::ShowRecording(const CString& name, int duration) {
  m_name = name;
  m_length = std::max(0, duration);
  SetCaption(name.IsEmpty() ? CString(u"Voice message") : name);
}

bool CVoiceMailItem::HoldsRecording() const {
  const CString& recorded = ToolbarView().RecordedPath();
  return !recorded.IsEmpty() && DevicePathExists(recorded.View());
}

CString CVoiceMailItem::TimeText() const {
  return VoiceMailTimeText(ToolbarView().IsPlaying() ? ProgressPosition() : m_length);
}

RECT CVoiceMailItem::CaptionArea(const RECT& client) const {
  RECT area = CAudioItem::CaptionArea(client);
  area.right = std::max<LONG>(area.left, client.right - ScaleX(kVoiceTimeWidth));
  return area;
}

BOOL CVoiceMailItem::OnPaint(HDC hdc, PAINTSTRUCT* paint) {
  CSlideItem::OnPaint(hdc, paint);
  RECT client{};
  GetClientRect(&client);
  RECT area{client.right - ScaleX(kVoiceTimeWidth), client.top, client.right - ScaleX(4), client.bottom};
  ScopedUiFont font(hdc);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, kCaptionColour);
  DrawTextW(hdc, TimeText().GetString(), -1, &area, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  return TRUE;
}

const MessageMap* CTextItem::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnCommandId(kTextEditId, &CTextItem::OnEditCommand),
      MapEnd(),
  };
  static const MessageMap kMap{CSlideItem::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CTextItem::CreateText(HWND frame, const RECT& rect, int limit) {
  if (!Create(frame, rect)) return FALSE;
  RECT client{};
  GetClientRect(&client);
  HWND edit = ::CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 1, 1,
                                client.right - 2, client.bottom - 2, GetHandle(),
                                reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kTextEditId)), nullptr, nullptr);
  if (edit == nullptr) return FALSE;
  if (limit >= 0) ::SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
  return TRUE;
}

void CTextItem::LayOutChildren(const RECT& client) {
  if (HWND edit = Edit()) ::MoveWindow(edit, 1, 1, client.right - 2, client.bottom - 2, TRUE);
}

CString CTextItem::Text() const {
  HWND edit = Edit();
  if (edit == nullptr) return CString();
  const int length = ::GetWindowTextLengthW(edit);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int got = ::GetWindowTextW(edit, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return CString(text);
}

void CTextItem::SetText(const CString& text) {
  m_setting = true;
  if (HWND edit = Edit()) ::SetWindowTextW(edit, text.GetString());
  m_setting = false;
  m_edited = false;
}

LRESULT CTextItem::OnEditCommand(WPARAM wParam, LPARAM) {
  const WORD code = HIWORD(wParam);
  if (code == EN_CHANGE && !m_setting) m_edited = true;
  if (code == EN_SETFOCUS) ::PostMessageW(GetParent(), WM_ITEM_NOTIFY, 0, reinterpret_cast<LPARAM>(GetHandle()));
  return 0;
}
