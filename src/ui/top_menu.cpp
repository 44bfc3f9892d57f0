#include "ui/top_menu.h"

#include "transport/resource_module.h"
#include "ui/transparent_bitmap.h"

namespace {

constexpr COLORREF kBitmapKey = RGB(192, 192, 192);

DWORD Placement(DWORD layout) { return (layout >> 8) & 0xF; }
DWORD VerticalAlignment(DWORD layout) { return (layout >> 12) & 0xF; }

}  // namespace

const MessageMap* CPTopMenu::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_LBUTTONDOWN, &CPTopMenu::OnLButtonDown),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CPTopMenu::Create(HINSTANCE instance, HWND parent, const RECT* rect, LPCWSTR className) {
  m_background = GetSysColor(COLOR_BTNFACE);
  m_brush.Reset(CreateSolidBrush(m_background));
  RECT r = rect ? *rect : RECT{};
  return CWndBase::Create(className, nullptr, WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                          r.bottom - r.top, instance, parent, 0, m_brush.Get());
}

BOOL CPTopMenu::SetItems(const TopMenuItem* items, int count) {
  if (!items || count < 1) return FALSE;
  std::vector<Item> copies;
  copies.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const TopMenuItem& in = items[i];
    copies.push_back(Item{in.command, in.bitmapId, in.text ? std::u16string(in.text) : std::u16string(),
                          in.text != nullptr, in.layout, in.rect});
  }
  m_items = std::move(copies);
  InvalidateRect(nullptr, TRUE);
  return TRUE;
}

BOOL CPTopMenu::ModifyItem(const TopMenuChange& change) {
  for (Item& item : m_items) {
    if (item.command != change.command) continue;
    if (change.mask & kTopMenuChangeBitmap) item.bitmapId = change.bitmapId;
    if (change.mask & kTopMenuChangeText) {
      item.text = change.text ? std::u16string(change.text) : std::u16string();
      item.hasText = change.text != nullptr;
    }
    if (change.mask & kTopMenuChangeRect) item.rect = change.rect;
    InvalidateRect(nullptr, TRUE);
    return TRUE;
  }
  return FALSE;
}

BOOL CPTopMenu::SetItemText(DWORD command, LPCWSTR text) {
  // Callers put a title or a file name here; an empty one keeps what the item shows.
  if (text == nullptr || *text == 0) {
    for (const Item& item : m_items) {
      if (item.command == command) return TRUE;
    }
    return FALSE;
  }
  TopMenuChange change;
  change.command = command;
  change.text = text;
  change.mask = kTopMenuChangeText;
  return ModifyItem(change);
}

int CPTopMenu::GetHeight() {
  RECT client{};
  return GetClientRect(&client) ? client.bottom - client.top : 0;
}

BOOL CPTopMenu::OnPaint(HDC hdc, PAINTSTRUCT* paint) {
  FillRect(hdc, &paint->rcPaint, m_brush.Get());
  for (const Item& item : m_items) {
    if (!IsRectEmpty(&item.rect)) PaintItem(hdc, item);
  }
  return TRUE;
}

void CPTopMenu::PaintItem(HDC hdc, const Item& item) {
  RECT image = item.rect;
  RECT textArea = item.rect;
  const DWORD placement = Placement(item.layout);
  const DWORD vertical = VerticalAlignment(item.layout);
  platform::gdi::UniqueBitmap bitmap(item.bitmapId ? transport::LoadResourceBitmap(item.bitmapId) : nullptr);
  BITMAP size{};
  if (bitmap) {
    GetObjectW(bitmap.Get(), sizeof size, &size);
    if (size.bmWidth < item.rect.right - item.rect.left && (placement == 1 || placement == 2)) {
      image.left = item.rect.right - size.bmWidth;
      textArea.right = image.left;
    }
    if (size.bmHeight < item.rect.bottom - item.rect.top) {
      if (vertical == 2) image.top = item.rect.top + (item.rect.bottom - item.rect.top - size.bmHeight) / 2;
      else if (vertical == 3) image.top = item.rect.bottom - size.bmHeight;
    }
  }
  if (item.hasText && !item.text.empty()) {
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    platform::gdi::UniqueFont font(transport::CreateUiFont(1, 0));
    HGDIOBJ oldFont = SelectObject(hdc, font.Get());
    const UINT valign = vertical == 2 ? DT_VCENTER : vertical == 3 ? DT_BOTTOM : DT_TOP;
    UINT format = valign | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    RECT measured = textArea;
    if (!bitmap && placement == 2) {
      format |= DT_RIGHT;
      measured = item.rect;
    } else {
      DrawTextW(hdc, item.text.c_str(), -1, &measured, format | DT_CALCRECT);
      measured.right = std::min(measured.right, textArea.right);
      measured.top = textArea.top;
      measured.bottom = textArea.bottom;
      if (bitmap && placement == 1) {
        OffsetRect(&measured, image.left - measured.right, 0);
      } else if (bitmap && placement == 2) {
        image.left = measured.right;
      }
    }
    DrawTextW(hdc, item.text.c_str(), -1, &measured, format);
    SelectObject(hdc, oldFont);
    SetBkMode(hdc, oldMode);
  }
  if (bitmap) DrawTransparentBitmap(hdc, image.left, image.top, bitmap.Get(), kBitmapKey);
}

LRESULT CPTopMenu::OnLButtonDown(WPARAM, LPARAM lParam) {
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  for (const Item& item : m_items) {
    if (!PtInRect(&item.rect, point)) continue;
    HWND parent = GetParent();
    if (m_notifyMessage && IsWindow(parent)) SendMessageW(parent, m_notifyMessage, item.command, 0);
    break;
  }
  return 0;
}
