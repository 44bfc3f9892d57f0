// ProgressBar: the media progress bar of the playback toolbars, with the elapsed and total times
// as texts beside it, drawn double-buffered. StaticLabel: its text companion.
#pragma once

#include "platform/text/cstring.h"
#include "ui/wnd_base.h"

constexpr DWORD kProgressTwoLines = 0x1;
constexpr DWORD kProgressElapsedOnly = 0x2;
constexpr DWORD kProgressSides = 0x4;

class ProgressBar : public CWndBase {
 public:
  // Margins from the screen's density: 5 and 8 pixels at 96 dots per inch.
  ProgressBar();
  ProgressBar(int margin, int inset, COLORREF background, HWND owner, DWORD mode);

  const MessageMap* GetMessageMap() const override;
  BOOL OnCreated() override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  // Ignores (-1, -1) and every call while fixed (0); an unchanged pair returns 1 without redrawing.
  virtual int SetProgress(int position, int duration);
  virtual void DrawTimes(HDC hdc);
  virtual void Layout();

  void SetMode(DWORD mode);
  void SetFixed(BOOL fixed);
  int Position() const { return m_position; }
  int Duration() const { return m_duration; }
  const RECT& BarRect() const { return m_bar; }
  // The window the playback toolbar reports to.
  HWND Owner() const { return m_owner; }

  // The two texts as drawn: elapsed and total ("%02d:%02d").
  static CString FormatElapsed(int position, int duration);
  static CString FormatTotal(int duration);

 protected:
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnSize(WPARAM wParam, LPARAM lParam);

 private:
  void Fill(HDC hdc);

  [[maybe_unused]] HWND m_owner = nullptr;
  int m_position = 0;
  int m_duration = 0;
  bool m_backwards = false;
  int m_margin;
  int m_inset;
  COLORREF m_background;
  DWORD m_mode = kProgressTwoLines;
  bool m_fixed = false;
  RECT m_bar{};
  RECT m_firstText{};
  RECT m_secondText{};
};

class StaticLabel : public CWndBase {
 public:
  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  void SetText(LPCWSTR text, UINT format);
  const CString& GetText() const { return m_text; }

 protected:
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);

 private:
  CString m_text;
  UINT m_format = 0;
};

// The command a tap on a StaticLabel sends its parent, with the tap point on the screen.
constexpr WORD kStaticLabelTapCommand = 40750;
