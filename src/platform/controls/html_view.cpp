#include "platform/controls/html_view.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>

#include "platform/controls/html_document.h"
#include "platform/controls/html_pictures.h"
#include "platform/controls/shell_gesture.h"
#include "platform/gdi/gdi_api.h"
#include "platform/gdi/line_breaks.h"
#include "platform/gdi/text_clusters.h"
#include "platform/kernel/device.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_styles.h"

namespace platform::html {
namespace {

constexpr const WCHAR* kViewChildClass = u"DISPLAYCLASS_VIEW";
constexpr COLORREF kLinkColour = 0xFF0000;
constexpr int kBaseSize = 12;
constexpr int kMaxPictureHeight = 320;  // at 96 dpi

struct Piece {
  RECT rect{};
  std::u16string text;
  unsigned style = 0;
  int heading = 0;
  int link = -1;
  bool picture = false;
  HBITMAP bitmap = nullptr;  // the decoded picture (owned by the view's state), or none
};

struct ViewState {
  Document document;
  std::vector<Piece> pieces;
  int height = 0;
  int scroll = 0;
  int dpi = 96;
  HWND child = nullptr;
  std::map<unsigned, HFONT> fonts;
  int pictures = 0;
  std::u16string folder;         // the device folder of the text shown, where its pictures are
  std::vector<HBITMAP> bitmaps;  // the pictures decoded for the current layout
  std::string target;  // the last notification's target, kept alive while it is sent

  ~ViewState() {
    for (auto& [key, font] : fonts) DeleteObject(font);
    ForgetPictures();
  }
  void ForgetPictures() {
    for (HBITMAP bitmap : bitmaps) DeleteObject(bitmap);
    bitmaps.clear();
  }
  int Scale(int value) const { return (value * dpi + 95) / 96; }
  HFONT Font(unsigned style, int heading) {
    const unsigned key = style | (static_cast<unsigned>(heading) << 8);
    if (auto found = fonts.find(key); found != fonts.end()) return found->second;
    static const int kHeadingSizes[] = {kBaseSize, 20, 17, 15, 13, 12, 11};
    LOGFONTW font{};
    font.lfHeight = -Scale(kHeadingSizes[std::clamp(heading, 0, 6)]);
    font.lfWeight = (style & kBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (style & kItalic) ? 1 : 0;
    font.lfUnderline = (style & kUnderline) ? 1 : 0;
    HFONT made = CreateFontIndirectW(&font);
    fonts.emplace(key, made);
    return made;
  }
};

ViewState* StateOf(HWND view) {
  if (!IsWindow(view)) return nullptr;
  return reinterpret_cast<ViewState*>(GetWindowLongW(view, GWL_USERDATA));
}

// A picture of the text's own folder decoded to fit the box; null when it cannot be.
HBITMAP DecodeLocalPicture(ViewState& state, const std::string& source, int maxWidth, int maxHeight) {
  if (state.folder.empty() || !IsLocalPicture(source)) return nullptr;
  std::u16string path = state.folder + Utf8ToUtf16(source);
  std::replace(path.begin(), path.end(), u'/', u'\\');
  const auto host = HostPath(path);
  if (!host) return nullptr;
  HBITMAP bitmap = DecodePicture(*host, maxWidth, maxHeight);
  if (!bitmap) return nullptr;
  state.bitmaps.push_back(bitmap);
  ++state.pictures;
  return bitmap;
}

unsigned StyleOf(const InlineRun& run) { return run.style | (run.link >= 0 ? kUnderline : 0); }

// A word wider than the whole line (a long address, a run of letters without a break): its pieces
// are cut between clusters, each line taking as much as fits, so that nothing runs off the view.
void BreakLongWord(ViewState& state, HDC hdc, const std::vector<Piece>& segment, int left, int right, int lineHeight,
                   int& x, int& top) {
  for (const Piece& piece : segment) {
    SelectObject(hdc, state.Font(piece.style, piece.heading));
    std::u16string_view rest = piece.text;
    while (!rest.empty()) {
      INT fit = 0;
      SIZE size{};
      GetTextExtentExPointW(hdc, rest.data(), static_cast<int>(rest.size()), std::max(0, right - x), &fit, nullptr,
                            &size);
      std::size_t take = gdi::ClusterStartAt(rest, static_cast<std::size_t>(std::max(fit, 0)));
      if (take == 0 && x > left) {
        x = left;
        top += lineHeight;
        continue;
      }
      if (take == 0) take = gdi::NextClusterBoundary(rest, 0);  // one cluster wider than the line
      Piece part = piece;
      part.text = std::u16string(rest.substr(0, take));
      GetTextExtentPoint32W(hdc, part.text.data(), static_cast<int>(part.text.size()), &size);
      part.rect = RECT{x, top, x + size.cx, top + lineHeight};
      state.pieces.push_back(std::move(part));
      x += size.cx;
      rest.remove_prefix(take);
      if (!rest.empty()) {
        x = left;
        top += lineHeight;
      }
    }
  }
}

// One block, wrapped at the line-break opportunities of its text, pieces split where the style
// changes.
void LayOutBlock(ViewState& state, HDC hdc, const Block& block, int width, int& top) {
  const int margin = state.Scale(4);
  const int left = margin + block.indent * state.Scale(12);
  if (!block.picture.empty()) {
    Piece piece;
    piece.text = Utf8ToUtf16(block.picture);
    piece.picture = true;
    // A picture is drawn at the screen's density (its pixels as 96 dpi ones), fitted to the line's
    // width and a screen's height; one that cannot be decoded keeps a framed place with its name.
    const int room = std::max(1, (width - margin - left) * 96 / state.dpi);
    piece.bitmap = DecodeLocalPicture(state, block.picture, room, kMaxPictureHeight);
    SIZE size{state.Scale(80), state.Scale(40)};
    if (piece.bitmap) {
      BITMAP info{};
      GetObjectW(piece.bitmap, sizeof info, &info);
      size = SIZE{std::max(1, info.bmWidth * state.dpi / 96), std::max(1, info.bmHeight * state.dpi / 96)};
    }
    piece.rect = RECT{left, top, left + std::min<LONG>(std::max(0, width - left), size.cx), top + size.cy};
    state.pieces.push_back(std::move(piece));
    top += size.cy + state.Scale(2);
    return;
  }
  std::vector<InlineRun> runs;
  if (!block.marker.empty()) runs.push_back(InlineRun{block.marker, 0, -1});
  runs.insert(runs.end(), block.runs.begin(), block.runs.end());
  std::u16string text;
  std::vector<std::size_t> runStarts;
  for (const InlineRun& run : runs) {
    runStarts.push_back(text.size());
    text += run.text;
  }
  if (text.empty()) return;
  TEXTMETRICW metrics{};
  SelectObject(hdc, state.Font(kBold, block.heading));
  GetTextMetricsW(hdc, &metrics);
  const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  int x = left;
  std::size_t start = 0;
  std::size_t runIndex = 0;
  for (const gdi::LineBreak& opportunity : gdi::LineBreakOpportunities(text)) {
    const std::size_t end = opportunity.position;
    // Pieces of this segment, one per style.
    std::vector<Piece> segment;
    int segmentWidth = 0;
    std::size_t at = start;
    while (at < end) {
      while (runIndex + 1 < runs.size() && runStarts[runIndex + 1] <= at) ++runIndex;
      const std::size_t runEnd = runIndex + 1 < runs.size() ? runStarts[runIndex + 1] : text.size();
      const std::size_t pieceEnd = std::min(end, runEnd);
      Piece piece;
      piece.text = text.substr(at, pieceEnd - at);
      piece.style = StyleOf(runs[runIndex]) | (block.heading ? kBold : 0);
      piece.heading = block.heading;
      piece.link = runs[runIndex].link;
      SelectObject(hdc, state.Font(piece.style, piece.heading));
      SIZE size{};
      GetTextExtentPoint32W(hdc, piece.text.data(), static_cast<int>(piece.text.size()), &size);
      piece.rect = RECT{segmentWidth, 0, segmentWidth + size.cx, lineHeight};
      segmentWidth += size.cx;
      segment.push_back(std::move(piece));
      at = pieceEnd;
    }
    int visible = segmentWidth;
    if (!segment.empty() && !segment.back().text.empty() && segment.back().text.back() == u' ') {
      SIZE space{};
      SelectObject(hdc, state.Font(segment.back().style, segment.back().heading));
      GetTextExtentPoint32W(hdc, u" ", 1, &space);
      visible -= space.cx;
    }
    if (visible > width - margin - left) {
      BreakLongWord(state, hdc, segment, left, width - margin, lineHeight, x, top);
      start = end;
      continue;
    }
    if (x > left && x + visible > width - margin) {
      x = left;
      top += lineHeight;
    }
    for (Piece& piece : segment) {
      OffsetRect(&piece.rect, x, top);
      state.pieces.push_back(std::move(piece));
    }
    x += segmentWidth;
    start = end;
  }
  top += lineHeight;
}

void LayOut(ViewState& state) {
  state.pieces.clear();
  state.ForgetPictures();
  RECT client{};
  GetClientRect(state.child, &client);
  HDC hdc = CreateCompatibleDC(nullptr);
  state.dpi = GetDeviceCaps(hdc, LOGPIXELSY);
  int top = state.Scale(4);
  state.pictures = 0;
  for (const Block& block : state.document.blocks) {
    LayOutBlock(state, hdc, block, client.right, top);
    if (!block.runs.empty() && block.heading) top += state.Scale(2);
  }
  DeleteDC(hdc);
  state.height = top + state.Scale(4);
  state.scroll = std::clamp(state.scroll, 0, std::max(0, state.height - client.bottom));
}

void Paint(ViewState& state, HWND child) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(child, &paint);
  RECT client{};
  GetClientRect(child, &client);
  FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(hdc, TRANSPARENT);
  for (const Piece& piece : state.pieces) {
    RECT rect = piece.rect;
    OffsetRect(&rect, 0, -state.scroll);
    if (rect.bottom < 0 || rect.top > client.bottom) continue;
    if (piece.bitmap) {
      HDC source = CreateCompatibleDC(hdc);
      HGDIOBJ previous = SelectObject(source, piece.bitmap);
      BITMAP info{};
      GetObjectW(piece.bitmap, sizeof info, &info);
      StretchBlt(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source, 0, 0, info.bmWidth,
                 info.bmHeight, SRCCOPY);
      SelectObject(source, previous);
      DeleteDC(source);
      continue;
    }
    if (piece.picture) {
      // A picture that could not be decoded: its place is kept and framed, with the name.
      FrameRect(hdc, &rect, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      SelectObject(hdc, state.Font(kItalic, 0));
      SetTextColor(hdc, RGB(96, 96, 96));
      InflateRect(&rect, -2, -2);
      DrawTextW(hdc, piece.text.c_str(), static_cast<int>(piece.text.size()), &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      continue;
    }
    SelectObject(hdc, state.Font(piece.style, piece.heading));
    SetTextColor(hdc, piece.link >= 0 ? kLinkColour : RGB(0, 0, 0));
    ExtTextOutW(hdc, rect.left, rect.top, 0, nullptr, piece.text.data(), static_cast<UINT>(piece.text.size()), nullptr);
  }
  EndPaint(child, &paint);
}

void Notify(ViewState& state, HWND view, int link, POINT client, bool held) {
  HWND owner = GetParent(view);
  state.target = state.document.links[static_cast<std::size_t>(link)];
  const auto id = static_cast<UINT_PTR>(GetWindowLongW(view, GWL_ID));
  if (held) {
    NM_HTMLCONTEXT context{};
    context.hdr = NMHDR{view, id, NM_CONTEXTMENU};
    context.pt = client;
    ClientToScreen(state.child, &context.pt);
    context.szLinkHREF = state.target.c_str();
    SendMessageW(owner, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&context));
    return;
  }
  NM_HTMLVIEW hotspot{};
  hotspot.hdr = NMHDR{view, id, NM_HOTSPOT};
  hotspot.szTarget = state.target.c_str();
  SendMessageW(owner, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&hotspot));
}

LRESULT ChildProcedure(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND view = GetParent(child);
  ViewState* state = StateOf(view);
  if (state == nullptr) return DefWindowProcW(child, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(*state, child);
      return 0;
    case WM_LBUTTONDOWN: {
      const POINT client{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const POINT at{client.x, client.y + state->scroll};
      for (const Piece& piece : state->pieces) {
        if (piece.link < 0 || !PtInRect(&piece.rect, at)) continue;
        SHRGINFO gesture{sizeof(SHRGINFO), child, client, SHRG_RETURNCMD};
        const bool held = SHRecognizeGesture(&gesture) == GN_CONTEXTMENU;
        Notify(*state, view, piece.link, client, held);
        break;
      }
      return 0;
    }
    case WM_KEYDOWN:
    case WM_VSCROLL: {
      RECT client{};
      GetClientRect(child, &client);
      const bool down = message == WM_KEYDOWN ? wParam == VK_DOWN || wParam == VK_NEXT : LOWORD(wParam) % 2 == 1;
      const bool up = message == WM_KEYDOWN ? wParam == VK_UP || wParam == VK_PRIOR : LOWORD(wParam) % 2 == 0;
      const int step = state->Scale(kBaseSize + 4);
      const int before = state->scroll;
      if (down) state->scroll = std::min(state->scroll + step, std::max(0, state->height - client.bottom));
      if (up) state->scroll = std::max(0, state->scroll - step);
      if (state->scroll != before) InvalidateRect(child, nullptr, FALSE);
      return 0;
    }
    default:
      return DefWindowProcW(child, message, wParam, lParam);
  }
}

// "file://" and a device path: the file, its bytes bounded; UTF-16 after FF FE, else UTF-8.
bool LoadFile(ViewState& state, std::u16string_view address) {
  constexpr std::u16string_view kFile = u"file://";
  if (address.size() <= kFile.size() || address.substr(0, kFile.size()) != kFile) return false;
  const std::u16string_view path = address.substr(kFile.size());
  const auto host = HostPath(path);
  if (!host) return false;
  std::ifstream in(*host, std::ios::binary);
  if (!in) return false;
  const std::size_t slash = path.find_last_of(u"\\/");
  state.folder = slash == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, slash + 1));
  std::string bytes(kMaxHtmlBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::u16string wide;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    bytes = Utf16ToUtf8(wide);
  } else if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
    bytes.erase(0, 3);
  }
  state.document = ParseHtml(bytes);
  return true;
}

LRESULT ViewProcedure(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewState* state = StateOf(view);
  switch (message) {
    case WM_CREATE: {
      auto owned = std::make_unique<ViewState>();
      RECT client{};
      GetClientRect(view, &client);
      owned->child = CreateWindowExW(0, kViewChildClass, u"", WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom,
                                     view, nullptr, nullptr, nullptr);
      if (owned->child == nullptr) return -1;
      SetWindowLongW(view, GWL_USERDATA, reinterpret_cast<LONG_PTR>(owned.release()));
      return 0;
    }
    case WM_SIZE:
      if (state) {
        MoveWindow(state->child, 0, 0, LOWORD(static_cast<WPARAM>(lParam)), HIWORD(static_cast<WPARAM>(lParam)), TRUE);
        LayOut(*state);
      }
      return 0;
    case DTM_NAVIGATE:
      if (state == nullptr || lParam == 0) return 0;
      state->document = Document{};
      state->folder.clear();
      state->scroll = 0;
      LoadFile(*state, reinterpret_cast<LPCWSTR>(lParam));
      LayOut(*state);
      InvalidateRect(state->child, nullptr, FALSE);
      return 0;
    case WM_DESTROY:
      SetWindowLongW(view, GWL_USERDATA, 0);
      delete state;
      return 0;
    default:
      return DefWindowProcW(view, message, wParam, lParam);
  }
}

}  // namespace

int LinkCount(HWND view) {
  ViewState* state = StateOf(view);
  return state ? static_cast<int>(state->document.links.size()) : 0;
}

bool LinkRectangle(HWND view, int index, RECT* screen) {
  ViewState* state = StateOf(view);
  if (state == nullptr) return false;
  for (const Piece& piece : state->pieces) {
    if (piece.link != index) continue;
    RECT rect = piece.rect;
    OffsetRect(&rect, 0, -state->scroll);
    POINT corner{rect.left, rect.top};
    ClientToScreen(state->child, &corner);
    *screen = RECT{corner.x, corner.y, corner.x + rect.right - rect.left, corner.y + rect.bottom - rect.top};
    return true;
  }
  return false;
}

RECT ContentBounds(HWND view) {
  RECT bounds{};
  ViewState* state = StateOf(view);
  if (state == nullptr) return bounds;
  for (const Piece& piece : state->pieces) {
    if (IsRectEmpty(&bounds)) {
      bounds = piece.rect;
    } else {
      UnionRect(&bounds, &bounds, &piece.rect);
    }
  }
  return bounds;
}

int PicturesShown(HWND view) {
  ViewState* state = StateOf(view);
  return state ? state->pictures : 0;
}

}  // namespace platform::html

BOOL InitHTMLControl(HINSTANCE instance) {
  WNDCLASSW view{};
  view.lpfnWndProc = &platform::html::ViewProcedure;
  view.hInstance = instance;
  view.lpszClassName = kHtmlViewClass;
  view.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  WNDCLASSW child{};
  child.lpfnWndProc = &platform::html::ChildProcedure;
  child.hInstance = instance;
  child.lpszClassName = platform::html::kViewChildClass;
  WNDCLASSW existing{};
  if (!GetClassInfoW(instance, kHtmlViewClass, &existing) && !RegisterClassW(&view)) return FALSE;
  if (!GetClassInfoW(instance, platform::html::kViewChildClass, &existing) && !RegisterClassW(&child)) return FALSE;
  return TRUE;
}
