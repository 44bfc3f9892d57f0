#include "cmd_window_scene.h"

#include <array>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/gdi_raii.h"
#include "platform/window/screen.h"
#include "ui/transparent_bitmap.h"

namespace mmsform_tool {
namespace {

using platform::gdi::DcStateSaver;
using platform::gdi::ScopedSelect;
using platform::gdi::UniqueBitmap;
using platform::gdi::UniqueBrush;
using platform::gdi::UniqueFont;
using platform::gdi::UniquePen;
using platform::window::ScaleForDensity;

constexpr COLORREF kKeyColor = RGB(192, 192, 192);

int S(int value) { return ScaleForDensity(value); }

UniqueFont MakeFont(int pixels96, LONG weight, bool italic = false) {
  LOGFONTW log{};
  log.lfHeight = -S(pixels96);
  log.lfWeight = weight;
  log.lfItalic = italic ? 1 : 0;
  std::memcpy(log.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
  return UniqueFont(CreateFontIndirectW(&log));
}

// A 24-bit picture of a coloured diamond on the key colour.
UniqueBitmap MakeDiamond(int side) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), side, side, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) {
    return bitmap;
  }
  const int stride = (side * 3 + 3) & ~3;
  const int half = side / 2;
  for (int row = 0; row < side; ++row) {
    auto* line = static_cast<BYTE*>(bits) + static_cast<std::ptrdiff_t>(row) * stride;
    for (int x = 0; x < side; ++x) {
      int distance = std::abs(x - half) + std::abs(row - half);
      COLORREF c = distance > half ? kKeyColor : (distance > half * 2 / 3 ? RGB(200, 30, 40) : RGB(250, 200, 40));
      line[x * 3] = GetBValue(c);
      line[x * 3 + 1] = GetGValue(c);
      line[x * 3 + 2] = GetRValue(c);
    }
  }
  return bitmap;
}

void PaintTitle(HDC hdc, const RECT& client) {
  RECT bar{0, 0, client.right, S(26)};
  FillRect(hdc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
  UniqueFont font = MakeFont(13, FW_BOLD);
  DcStateSaver saver(hdc);
  SelectObject(hdc, font.Get());
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, RGB(255, 255, 255));
  RECT text = bar;
  text.left += S(6);
  text.right -= S(6);
  DrawTextW(hdc, u"Window demo", -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  DrawTextW(hdc, u"12:45", -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

LRESULT FrameProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(hwnd, &client);
    PaintTitle(hdc, client);
    EndPaint(hwnd, &paint);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void PaintTextPanel(HDC hdc, const RECT& client) {
  DcStateSaver saver(hdc);
  SetBkMode(hdc, TRANSPARENT);
  struct Line {
    int size;
    LONG weight;
    UINT format;
    const char16_t* text;
    COLORREF color;
  };
  const std::array<Line, 4> lines = {{
      {10, FW_NORMAL, DT_LEFT, u"Small text, left", RGB(0, 0, 0)},
      {12, FW_BOLD, DT_CENTER, u"Bold centred", RGB(0, 80, 160)},
      {16, FW_NORMAL, DT_RIGHT, u"Right 16", RGB(160, 0, 0)},
      {20, FW_NORMAL, DT_CENTER, u"Large Åäö", RGB(0, 110, 0)},
  }};
  int y = S(4);
  for (const Line& line : lines) {
    UniqueFont font = MakeFont(line.size, line.weight);
    ScopedSelect select(hdc, font.Get());
    SetTextColor(hdc, line.color);
    RECT r{S(4), y, client.right - S(4), client.bottom};
    RECT measured = r;
    DrawTextW(hdc, line.text, -1, &measured, line.format | DT_SINGLELINE | DT_CALCRECT);
    DrawTextW(hdc, line.text, -1, &r, line.format | DT_SINGLELINE);
    y += measured.bottom - measured.top;
  }
  UniqueFont body = MakeFont(11, FW_NORMAL);
  ScopedSelect select(hdc, body.Get());
  SetTextColor(hdc, RGB(40, 40, 40));
  RECT box{S(4), y + S(2), client.right - S(4), client.bottom - S(18)};
  FrameRect(hdc, &box, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  InflateRect(&box, -S(2), -S(1));
  DrawTextW(hdc, u"Word-broken text wraps between words to fit the width of its box.", -1, &box,
            DT_WORDBREAK | DT_LEFT);
  RECT ellipsis{S(4), client.bottom - S(16), client.right - S(4), client.bottom};
  SetTextColor(hdc, RGB(90, 0, 120));
  DrawTextW(hdc, u"An ending that is far too long to fit in one line", -1, &ellipsis,
            DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER);
}

void PaintShapes(HDC hdc, const RECT& client) {
  DcStateSaver saver(hdc);
  const std::array<COLORREF, 4> fills = {RGB(230, 60, 60), RGB(60, 170, 80), RGB(50, 90, 200), RGB(240, 200, 40)};
  int cell = (client.right - S(10)) / 4;
  for (int i = 0; i < 4; ++i) {
    UniqueBrush brush(CreateSolidBrush(fills[static_cast<std::size_t>(i)]));
    RECT r{S(4) + i * cell, S(4), S(4) + i * cell + cell - S(4), S(4) + S(20)};
    FillRect(hdc, &r, brush.Get());
  }
  UniquePen pen(CreatePen(PS_SOLID, S(2) / 2 > 0 ? S(2) / 2 : 1, RGB(0, 0, 0)));
  SelectObject(hdc, pen.Get());
  int top = S(30);
  for (int i = 0; i <= 6; ++i) {
    MoveToEx(hdc, S(4), top + i * S(6), nullptr);
    LineTo(hdc, client.right / 2 - S(4), top + S(36) - i * S(6));
  }
  UniqueBrush ellipseBrush(CreateSolidBrush(RGB(120, 200, 240)));
  SelectObject(hdc, ellipseBrush.Get());
  Ellipse(hdc, client.right / 2, top, client.right / 2 + S(50), top + S(36));
  SelectObject(hdc, GetStockObject(NULL_BRUSH));
  Rectangle(hdc, client.right / 2 + S(56), top, client.right - S(4), top + S(36));
}

void PaintBitmaps(HDC hdc, const RECT& client) {
  // Stripes behind the bitmaps show that the key colour stays transparent.
  for (int x = 0; x < client.right; x += S(8)) {
    RECT stripe{x, 0, x + S(4), client.bottom};
    FillRect(hdc, &stripe, GetSysColorBrush(COLOR_BTNSHADOW));
  }
  UniqueBitmap diamond = MakeDiamond(S(32));
  for (int i = 0; i < 3; ++i) {
    DrawTransparentBitmap(hdc, S(8) + i * S(40), (client.bottom - S(32)) / 2, diamond.Get(), kKeyColor);
  }
}

void PaintPopup(HDC hdc, const RECT& client) {
  UniqueFont font = MakeFont(11, FW_BOLD, true);
  ScopedSelect select(hdc, font.Get());
  SetBkMode(hdc, TRANSPARENT);
  RECT r = client;
  DrawTextW(hdc, u"Popup", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

struct PanelClass {
  const char16_t* name;
  void (*paint)(HDC, const RECT&);
};

const std::array<PanelClass, 4> kPanels = {{
    {u"DemoTextPanel", PaintTextPanel},
    {u"DemoShapesPanel", PaintShapes},
    {u"DemoBitmapPanel", PaintBitmaps},
    {u"DemoPopup", PaintPopup},
}};

LRESULT PanelProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  WCHAR name[64];
  int length = GetClassNameW(hwnd, name, 64);
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client;
  GetClientRect(hwnd, &client);
  for (const PanelClass& panel : kPanels) {
    if (std::u16string_view(name, static_cast<std::size_t>(length)) == panel.name) {
      panel.paint(hdc, client);
    }
  }
  EndPaint(hwnd, &paint);
  return 0;
}

void RegisterOnce(const char16_t* name, WNDPROC procedure, int background) {
  WNDCLASSW info{};
  if (GetClassInfoW(nullptr, name, &info)) {
    return;
  }
  info.style = CS_HREDRAW | CS_VREDRAW;
  info.lpfnWndProc = procedure;
  info.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(background + 1));
  info.lpszClassName = name;
  RegisterClassW(&info);
}

}  // namespace

HWND CreateDemoScene() {
  RegisterOnce(u"DemoFrame", FrameProcedure, COLOR_WINDOW);
  for (const PanelClass& panel : kPanels) {
    RegisterOnce(panel.name, PanelProcedure, panel.paint == PaintPopup ? COLOR_INFOBK : COLOR_WINDOW);
  }
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  HWND frame = CreateWindowExW(0, u"DemoFrame", u"Window demo", WS_VISIBLE, 0, 0, width, height, nullptr,
                               nullptr, nullptr, nullptr);
  int top = S(30);
  int textHeight = S(150);
  CreateWindowExW(0, u"DemoTextPanel", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, S(4), top, width - S(8),
                  textHeight, frame, nullptr, nullptr, nullptr);
  top += textHeight + S(4);
  CreateWindowExW(0, u"DemoShapesPanel", nullptr, WS_CHILD | WS_VISIBLE, S(4), top, width - S(8), S(72), frame,
                  nullptr, nullptr, nullptr);
  top += S(76);
  CreateWindowExW(0, u"DemoBitmapPanel", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, S(4), top, width - S(8),
                  height - top - S(4), frame, nullptr, nullptr, nullptr);
  CreateWindowExW(0, u"DemoPopup", nullptr, WS_POPUP | WS_VISIBLE | WS_BORDER, width - S(70), height - S(40),
                  S(60), S(30), frame, nullptr, nullptr, nullptr);
  return frame;
}

}  // namespace mmsform_tool
