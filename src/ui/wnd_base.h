// CWndBase: the base of every window of the forms. It binds its window to itself (GWL_USERDATA),
// routes each message through the class's message map and commands through the same maps, and
// wraps the common window calls, doing nothing when it has no live window.
#pragma once

#include "platform/text/cstring.h"
#include "platform/window/window_api.h"
#include "ui/message_map.h"

class CWndBase {
 public:
  CWndBase() = default;
  CWndBase(const CWndBase&) = delete;
  CWndBase& operator=(const CWndBase&) = delete;

  // Asks a live window to close (WM_CLOSE); only the base's handling applies by then.
  virtual ~CWndBase();
  virtual BOOL PostMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Parent client coordinates; the base ignores it.
  virtual void MoveTo(const RECT* rect);
  // BeginPaint, OnPaint, EndPaint; 0 without a live window.
  virtual BOOL OnPaintMessage();
  virtual LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  virtual CString GetHelpTopic();
  // Registers the class afresh unless a window of it exists.
  virtual BOOL RegisterWindowClass(const WNDCLASSW* windowClass);
  virtual BOOL OnCreated();
  virtual BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint);
  virtual const MessageMap* GetMessageMap() const;

  // hbrBackground: a brush, 0 for none, or kWhiteBackground for the stock white brush.
  BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int cx, int cy, HINSTANCE instance,
              HWND parent, UINT controlId, HBRUSH background);
  // The class background is always the system button face.
  BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int cx, int cy,
                HINSTANCE instance, HWND parent, HMENU menu);

  HWND GetHandle() const { return m_hwnd; }

  BOOL ShowWindow(int command);
  BOOL UpdateWindow();
  HWND SetFocus();
  BOOL InvalidateRect(const RECT* rect, BOOL erase);
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC procedure);
  BOOL KillTimer(UINT_PTR id);
  HWND SetCapture();
  BOOL GetClientRect(RECT* rect);
  BOOL GetWindowRect(RECT* rect);
  BOOL IsWindow() const;
  static BOOL IsWindow(HWND hwnd);
  HWND GetParent() const;
  HWND GetDlgItem(int id) const;
  static BOOL ReleaseCapture();

  // The procedure of every window and dialog of the forms.
  static LRESULT WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  static inline HBRUSH const kWhiteBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(-1));

 protected:
  // Binds the window to the object (creation and WM_INITDIALOG).
  void Attach(HWND hwnd);
  void ClearHandle() { m_hwnd = nullptr; }

  LRESULT PaintEntry(WPARAM wParam, LPARAM lParam);
  LRESULT CommandEntry(WPARAM wParam, LPARAM lParam);
  LRESULT HelpEntry(WPARAM wParam, LPARAM lParam);

 private:
  BOOL CreateWithClass(WNDCLASSW& windowClass, DWORD exStyle, LPCWSTR windowName, DWORD style, int x, int y, int cx,
                       int cy, HWND parent, HMENU menu);

  HWND m_hwnd = nullptr;
};
