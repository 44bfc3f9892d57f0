#include "ui/wnd_base.h"

#include "platform/kernel/process.h"
#include "transport/mms_global.h"

namespace {

// The first word of a dialog's initialisation block is the object (see CDialogBase).
CWndBase* ObjectFromInitBlock(LPARAM lParam) {
  return lParam ? *reinterpret_cast<CWndBase* const*>(lParam) : nullptr;
}

}  // namespace

CWndBase::~CWndBase() {
  if (::IsWindow(m_hwnd)) {
    ::SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
    // A window that outlives its object must not reach it any more.
    if (::IsWindow(m_hwnd)) ::SetWindowLongW(m_hwnd, GWL_USERDATA, 0);
  }
  m_hwnd = nullptr;
}

void CWndBase::Attach(HWND hwnd) {
  m_hwnd = hwnd;
  ::SetWindowLongW(hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CWndBase::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWndBase* object = nullptr;
  if (message == WM_CREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    object = create ? static_cast<CWndBase*>(create->lpCreateParams) : nullptr;
    if (object) object->Attach(hwnd);
  } else if (message == WM_INITDIALOG) {
    object = ObjectFromInitBlock(lParam);
    if (object) object->Attach(hwnd);
  } else {
    object = reinterpret_cast<CWndBase*>(::GetWindowLongW(hwnd, GWL_USERDATA));
  }
  if (!object) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  if (MessageHandler handler = FindMessageHandler(object->GetMessageMap(), message)) {
    return (object->*handler)(wParam, lParam);
  }
  return object->DefProc(hwnd, message, wParam, lParam);
}

BOOL CWndBase::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return IsWindow() ? ::PostMessageW(m_hwnd, message, wParam, lParam) : FALSE;
}

LRESULT CWndBase::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return IsWindow() ? ::SendMessageW(m_hwnd, message, wParam, lParam) : 0;
}

void CWndBase::MoveTo(const RECT*) {}

BOOL CWndBase::OnPaintMessage() {
  if (!IsWindow()) return FALSE;
  PAINTSTRUCT paint;
  HDC hdc = ::BeginPaint(m_hwnd, &paint);
  OnPaint(hdc, &paint);
  ::EndPaint(m_hwnd, &paint);
  return TRUE;
}

LRESULT CWndBase::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (MessageHandler handler = FindCommandHandler(GetMessageMap(), LOWORD(wParam))) {
    return (this->*handler)(wParam, lParam);
  }
  return DefProc(m_hwnd, WM_COMMAND, wParam, lParam);
}

LRESULT CWndBase::DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

CString CWndBase::GetHelpTopic() { return ULC_Global::GetGlobal()->helpTopic; }

BOOL CWndBase::RegisterWindowClass(const WNDCLASSW* windowClass) {
  if (!windowClass) return FALSE;
  if (::FindWindowW(windowClass->lpszClassName, nullptr)) return TRUE;
  ::UnregisterClassW(windowClass->lpszClassName, nullptr);
  return ::RegisterClassW(windowClass) ? TRUE : FALSE;
}

BOOL CWndBase::OnCreated() { return TRUE; }

BOOL CWndBase::OnPaint(HDC, PAINTSTRUCT*) { return TRUE; }

const MessageMap* CWndBase::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_PAINT, &CWndBase::PaintEntry),
      OnMessage(WM_COMMAND, &CWndBase::CommandEntry),
      OnMessage(WM_HELP, &CWndBase::HelpEntry),
      MapEnd(),
  };
  static const MessageMap kMap{nullptr, kEntries};
  return &kMap;
}

LRESULT CWndBase::PaintEntry(WPARAM, LPARAM) { return OnPaintMessage(); }

LRESULT CWndBase::CommandEntry(WPARAM wParam, LPARAM lParam) { return OnCommand(wParam, lParam); }

LRESULT CWndBase::HelpEntry(WPARAM, LPARAM) {
  CString topic = GetHelpTopic();
  if (!topic.IsEmpty()) {
    ::CreateProcessW(u"peghelp.exe", const_cast<LPWSTR>(topic.GetString()), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, nullptr, nullptr);
  }
  return 0;
}

BOOL CWndBase::CreateWithClass(WNDCLASSW& windowClass, DWORD exStyle, LPCWSTR windowName, DWORD style, int x, int y,
                               int cx, int cy, HWND parent, HMENU menu) {
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = &CWndBase::WindowProcedure;
  RegisterWindowClass(&windowClass);
  HWND hwnd = ::CreateWindowExW(exStyle, windowClass.lpszClassName, windowName, style, x, y, cx, cy, parent, menu,
                                windowClass.hInstance, this);
  if (!hwnd) return FALSE;
  m_hwnd = hwnd;
  return OnCreated();
}

BOOL CWndBase::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int cx, int cy,
                      HINSTANCE instance, HWND parent, UINT controlId, HBRUSH background) {
  if (background == kWhiteBackground) background = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  WNDCLASSW windowClass{};
  windowClass.hInstance = instance;
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = className;
  return CreateWithClass(windowClass, 0, windowName, style, x, y, cx, cy, parent,
                         reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(controlId)));
}

BOOL CWndBase::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int cx,
                        int cy, HINSTANCE instance, HWND parent, HMENU menu) {
  WNDCLASSW windowClass{};
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = className;
  return CreateWithClass(windowClass, exStyle, windowName, style, x, y, cx, cy, parent, menu);
}

BOOL CWndBase::ShowWindow(int command) { return IsWindow() ? ::ShowWindow(m_hwnd, command) : FALSE; }
BOOL CWndBase::UpdateWindow() { return IsWindow() ? ::UpdateWindow(m_hwnd) : FALSE; }
HWND CWndBase::SetFocus() { return IsWindow() ? ::SetFocus(m_hwnd) : nullptr; }
BOOL CWndBase::InvalidateRect(const RECT* rect, BOOL erase) {
  return IsWindow() ? ::InvalidateRect(m_hwnd, rect, erase) : FALSE;
}
UINT_PTR CWndBase::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC procedure) {
  return IsWindow() ? ::SetTimer(m_hwnd, id, elapse, procedure) : 0;
}
BOOL CWndBase::KillTimer(UINT_PTR id) { return IsWindow() ? ::KillTimer(m_hwnd, id) : FALSE; }
HWND CWndBase::SetCapture() { return IsWindow() ? ::SetCapture(m_hwnd) : nullptr; }
BOOL CWndBase::GetClientRect(RECT* rect) { return IsWindow() ? ::GetClientRect(m_hwnd, rect) : FALSE; }
BOOL CWndBase::GetWindowRect(RECT* rect) { return IsWindow() ? ::GetWindowRect(m_hwnd, rect) : FALSE; }
BOOL CWndBase::IsWindow() const { return ::IsWindow(m_hwnd); }
BOOL CWndBase::IsWindow(HWND hwnd) { return ::IsWindow(hwnd); }
HWND CWndBase::GetParent() const { return ::GetParent(m_hwnd); }
HWND CWndBase::GetDlgItem(int id) const { return ::GetDlgItem(m_hwnd, id); }
BOOL CWndBase::ReleaseCapture() { return ::ReleaseCapture(); }
