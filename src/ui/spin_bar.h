// SpinBar: a value between a left and a right arrow (the slide duration); the arrows ask the
// parent to step the value, a tap on the value asks it to edit it.
#pragma once

#include "platform/text/cstring.h"
#include "ui/wnd_base.h"

struct Slide;

// Notifications to the parent.
constexpr UINT kSpinBarStepMessage = 0x078B;  // wParam VK_UP (left) or VK_DOWN (right), lParam item data
constexpr UINT kSpinBarValueTapMessage = 0x051B;  // wParam the value window, lParam item data

enum SpinBarState : DWORD {
  kSpinBothActive = 0,
  kSpinAtMinimum = 1,
  kSpinAtMaximum = 2,
  kSpinDisabled = 3,
};

// The longest slide duration the bar offers: the raw registry value "MaxDuration" of the
// configuration's UI key, with a default of its own (999000 ms) longer than the settings table's.
DWORD LongestSlideDuration();

class SpinBar : public CWndBase {
 public:
  SpinBar() = default;
  // Gives the value window its own procedure back before the window goes.
  ~SpinBar() override;
  const MessageMap* GetMessageMap() const override;
  BOOL OnCreated() override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  BOOL Create(HINSTANCE instance, HWND parent, const RECT* rect, BOOL popup);
  void SetState(DWORD state);
  DWORD GetState() const { return m_state; }
  // A text of 1 to 19 characters goes to the value window.
  void SetText(LPCWSTR text, DWORD itemData, BOOL modified);
  // "%ds" of the slide's duration; the state from its limits.
  void SetDuration(const Slide& slide);
  CString GetText() const;
  HWND ValueWindow() const { return m_value; }
  const RECT& LeftArrowRect() const { return m_left; }
  const RECT& RightArrowRect() const { return m_right; }

 protected:
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT ValueProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void LayoutParts();

  DWORD m_state = kSpinBothActive;
  DWORD m_itemData = 0;
  BOOL m_modified = FALSE;
  HWND m_value = nullptr;
  WNDPROC m_valueProcedure = nullptr;
  RECT m_left{};
  RECT m_middle{};
  RECT m_right{};
};
