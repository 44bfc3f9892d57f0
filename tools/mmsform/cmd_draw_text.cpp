// mmsform draw-text TEXT [--width W] [--font-size N] [--screen WxH@DPI] --png OUT.png [--glyphs]:
// draws a text the way the text view does (wrapped at break opportunities to a width, black on
// white) and writes it as a PNG; --glyphs prints every drawn glyph as one JSON object a line, so
// that a person or a test sees which face drew what, and where.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cmd_window_options.h"
#include "command.h"
#include "json_writer.h"
#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/gdi/png_file.h"
#include "platform/gdi/text_block.h"
#include "platform/text/text_conversion.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

namespace mmsform_tool {
namespace {

constexpr int kMaxWidth = 8192;
constexpr int kMaxFontSize = 512;
constexpr UINT kTextViewFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

struct DrawTextOptions {
  std::string text;
  int width = 0;     // 0: the screen's width
  int fontSize = 0;  // pixels; 0: the default size at the screen's density
  bool glyphs = false;
  WindowDemoOptions window;
};

bool ParseCount(const char* value, int limit, int* out) {
  char* end = nullptr;
  long parsed = std::strtol(value, &end, 10);
  if (end == value || *end != 0 || parsed < 1 || parsed > limit) return false;
  *out = static_cast<int>(parsed);
  return true;
}

bool Parse(std::span<char* const> args, DrawTextOptions* options, std::string* error) {
  if (args.empty() || std::strncmp(args[0], "--", 2) == 0) {
    *error = "the text to draw comes first";
    return false;
  }
  options->text = args[0];
  std::vector<char*> rest;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const char* arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (std::strcmp(arg, "--glyphs") == 0) {
      options->glyphs = true;
    } else if (std::strcmp(arg, "--width") == 0 && hasValue) {
      if (!ParseCount(args[++i], kMaxWidth, &options->width)) {
        *error = "--width takes 1 to 8192 pixels";
        return false;
      }
    } else if (std::strcmp(arg, "--font-size") == 0 && hasValue) {
      if (!ParseCount(args[++i], kMaxFontSize, &options->fontSize)) {
        *error = "--font-size takes 1 to 512 pixels";
        return false;
      }
    } else {
      rest.push_back(args[i]);
    }
  }
  if (!ParseWindowDemoOptions(rest, &options->window, error)) return false;
  if (options->window.png.empty()) {
    *error = "--png OUT.png is required";
    return false;
  }
  return true;
}

void PrintGlyphs(HDC hdc, std::u16string_view text, const RECT& rect) {
  for (const platform::gdi::DrawnGlyph& glyph : platform::gdi::DrawTextGlyphs(hdc, text, rect, kTextViewFormat)) {
    JsonWriter json;
    json.BeginObject();
    json.Key("cluster").Uint(glyph.cluster);
    json.Key("font").String(glyph.font.filename().string());
    json.Key("glyph").Uint(glyph.glyph);
    json.Key("x").Int(glyph.x);
    json.Key("y").Int(glyph.y);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
  }
}

int RunDrawText(std::span<char* const> args) {
  DrawTextOptions options;
  std::string error;
  if (!Parse(args, &options, &error)) {
    std::fprintf(stderr, "draw-text: %s\n", error.c_str());
    return 2;
  }
  if (!ApplyScreenOption(options.window)) {
    std::fprintf(stderr, "draw-text: unsupported screen '%s'\n", options.window.screen.c_str());
    return 2;
  }
  const platform::window::ScreenGeometry screen = platform::window::CurrentScreen();
  const int width = options.width ? options.width : screen.width;
  const std::u16string text = platform::Utf8ToUtf16(options.text);
  LOGFONTW log{};
  log.lfHeight = -options.fontSize;
  std::memcpy(log.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
  platform::gdi::UniqueFont font(CreateFontIndirectW(&log));
  platform::gdi::MemoryDc measuring(nullptr);
  HGDIOBJ previous = SelectObject(measuring.Get(), font.Get());
  RECT area{0, 0, width, 0};
  DrawTextW(measuring.Get(), text.c_str(), static_cast<int>(text.size()), &area, kTextViewFormat | DT_CALCRECT);
  SelectObject(measuring.Get(), previous);
  const int height = std::max<LONG>(1, area.bottom);
  platform::gdi::UniqueBitmap bitmap(CreateBitmap(width, height, 1, 24, nullptr));
  platform::gdi::MemoryDc dc(nullptr);
  previous = SelectObject(dc.Get(), bitmap.Get());
  HGDIOBJ previousFont = SelectObject(dc.Get(), font.Get());
  RECT all{0, 0, width, height};
  FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc.Get(), TRANSPARENT);
  SetTextColor(dc.Get(), RGB(0, 0, 0));
  DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &all, kTextViewFormat);
  if (options.glyphs) PrintGlyphs(dc.Get(), text, all);
  const platform::gdi::GdiObject* drawn = platform::gdi::FindObject(bitmap.Get(), platform::gdi::ObjectKind::kBitmap);
  const bool written = drawn && drawn->surface && platform::gdi::WritePng(*drawn->surface, options.window.png, &error);
  SelectObject(dc.Get(), previousFont);
  SelectObject(dc.Get(), previous);
  platform::window::ResetWindowSystem();
  if (!written) {
    std::fprintf(stderr, "draw-text: %s\n", error.empty() ? "cannot write the picture" : error.c_str());
    return 1;
  }
  return 0;
}

const Command kDrawText("draw-text",
                        "draw-text TEXT [--width W] [--font-size N] [--screen WxH@DPI] --png OUT.png [--glyphs]",
                        RunDrawText);

}  // namespace
}  // namespace mmsform_tool
