// CPTopMenu: the strip across the top of a form's window with text and bitmap items; a tap on an
// item sends the owner's notification message with the item's command.
#pragma once

#include <memory>
#include <vector>

#include "platform/gdi/gdi_raii.h"
#include "ui/wnd_base.h"

struct TopMenuItem {
  DWORD command = 0;
  DWORD bitmapId = 0;  // 0: none
  LPCWSTR text = nullptr;
  DWORD layout = 0;  // bits 8-11 image placement (1, 2: right edge); bits 12-15 vertical: 1 top, 2 centre, 3 bottom
  RECT rect{};  // client coordinates; empty hides the item
};

constexpr DWORD kTopMenuChangeBitmap = 0x1;
constexpr DWORD kTopMenuChangeText = 0x2;
constexpr DWORD kTopMenuChangeRect = 0x4;

struct TopMenuChange {
  DWORD command = 0;
  DWORD bitmapId = 0;
  LPCWSTR text = nullptr;
  DWORD mask = 0;
  RECT rect{};
};

class CPTopMenu : public CWndBase {
 public:
  CPTopMenu() = default;
  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  BOOL Create(HINSTANCE instance, HWND parent, const RECT* rect, LPCWSTR className);
  void SetNotifyMessage(UINT message) { m_notifyMessage = message; }
  // Replaces every item by copies; a null array or a count below 1 is refused.
  BOOL SetItems(const TopMenuItem* items, int count);
  BOOL ModifyItem(const TopMenuChange& change);
  // An empty text keeps the old one.
  BOOL SetItemText(DWORD command, LPCWSTR text);
  int GetHeight();
  int GetItemCount() const { return static_cast<int>(m_items.size()); }

 protected:
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);

 private:
  struct Item {
    DWORD command;
    DWORD bitmapId;
    std::u16string text;
    bool hasText;
    DWORD layout;
    RECT rect;
  };
  void PaintItem(HDC hdc, const Item& item);

  std::vector<Item> m_items;
  UINT m_notifyMessage = 0;
  COLORREF m_background = RGB(255, 255, 255);
  platform::gdi::UniqueBrush m_brush;
};
