#include "platform/gdi/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "platform/text_conversion.h"

namespace platform::gdi {
namespace {

// Sizes outside this range are clamped: a huge size would make every glyph a huge allocation.
constexpr int kMinPixelSize = 1;
constexpr int kMaxPixelSize = 512;
constexpr int kDefaultPointPixels = 12;  // at 96 dpi, when a font asks for no particular size

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library created = nullptr;
    return FT_Init_FreeType(&created) == 0 ? created : nullptr;
  }();
  return library;
}

std::vector<std::filesystem::path> FontFolders() {
  std::vector<std::filesystem::path> folders;
  if (const char* dir = std::getenv("MMSFORM_FONT_DIR")) {
    folders.emplace_back(dir);
  }
  folders.emplace_back("/usr/share/fonts/truetype/dejavu");
  folders.emplace_back("/usr/share/fonts/dejavu");
  return folders;
}

std::filesystem::path FindFontFile(const std::string& name) {
  for (const auto& folder : FontFolders()) {
    std::error_code ec;
    std::filesystem::path candidate = folder / name;
    if (std::filesystem::exists(candidate, ec)) {
      return candidate;
    }
  }
  return {};
}

bool Contains(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }

// Whole pixels from FreeType's 26.6 fixed point, rounding up so that ink is never cut off.
int CeilPixels(long value) { return static_cast<int>((value + 63) >> 6); }

}  // namespace

FontInstance::FontInstance(const std::filesystem::path& file, int pixelSize)
    : m_pixelSize(std::clamp(pixelSize, kMinPixelSize, kMaxPixelSize)),
      m_latin(256), m_latinReady(256, false) {
  FT_Face face = nullptr;
  if (Library() && !file.empty() && FT_New_Face(Library(), file.c_str(), 0, &face) == 0) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(m_pixelSize)) == 0) {
      m_face = face;
    } else {
      FT_Done_Face(face);
    }
  }
  if (m_face) {
    const FT_Size_Metrics& metrics = m_face->size->metrics;
    m_ascent = CeilPixels(metrics.ascender);
    m_descent = CeilPixels(-metrics.descender);
    m_maxWidth = CeilPixels(metrics.max_advance);
  } else {
    m_ascent = (m_pixelSize * 4 + 4) / 5;
    m_descent = m_pixelSize / 4 + 1;
    m_maxWidth = m_pixelSize;
  }
}

FontInstance::~FontInstance() {
  if (m_face) {
    FT_Done_Face(m_face);
  }
}

Glyph FontInstance::Render(char32_t c) const {
  Glyph glyph;
  if (!m_face) {
    glyph.advance = c == U' ' ? m_pixelSize / 3 : (m_pixelSize + 1) / 2;
    return glyph;
  }
  FT_Face face = m_face;
  FT_UInt index = FT_Get_Char_Index(face, c);
  if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
    return glyph;
  }
  const FT_GlyphSlot slot = face->glyph;
  glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.width == 0 || bitmap.rows == 0) {
    return glyph;
  }
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.width = static_cast<int>(bitmap.width);
  glyph.height = static_cast<int>(bitmap.rows);
  glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
  for (int y = 0; y < glyph.height; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
    std::copy(row, row + glyph.width, glyph.coverage.begin() + static_cast<std::ptrdiff_t>(y) * glyph.width);
  }
  return glyph;
}

const Glyph& FontInstance::GlyphFor(char32_t c) {
  if (c < 256) {
    if (!m_latinReady[c]) {
      m_latin[c] = Render(c);
      m_latinReady[c] = true;
    }
    return m_latin[c];
  }
  auto it = m_others.find(c);
  if (it == m_others.end()) {
    it = m_others.emplace(c, Render(c)).first;
  }
  return it->second;
}

int FontInstance::AverageWidth() { return GlyphFor(U'x').advance; }

std::filesystem::path FontFileFor(const LOGFONTW& font) {
  std::size_t length = 0;
  while (length < static_cast<std::size_t>(LF_FACESIZE) && font.lfFaceName[length] != 0) {
    ++length;
  }
  std::u16string_view faceName(font.lfFaceName, length);
  std::string face = platform::Utf16ToUtf8(platform::FoldCase(faceName));
  std::string family = "DejaVuSans";
  if (Contains(face, "mono") || Contains(face, "courier") || (font.lfPitchAndFamily & 0x3) == FIXED_PITCH ||
      (font.lfPitchAndFamily & 0xF0) == FF_MODERN) {
    family = "DejaVuSansMono";
  } else if ((Contains(face, "serif") && !Contains(face, "sans")) || Contains(face, "times") ||
             Contains(face, "roman") || (font.lfPitchAndFamily & 0xF0) == FF_ROMAN) {
    family = "DejaVuSerif";
  }
  bool bold = font.lfWeight >= FW_SEMIBOLD;
  bool italic = font.lfItalic != 0;
  std::string style;
  if (bold) {
    style = "-Bold";
  }
  if (italic) {
    style += family == "DejaVuSerif" ? (bold ? "Italic" : "-Italic") : (bold ? "Oblique" : "-Oblique");
  }
  std::filesystem::path file = FindFontFile(family + style + ".ttf");
  return file.empty() ? FindFontFile("DejaVuSans.ttf") : file;
}

std::shared_ptr<FontInstance> ResolveFont(const LOGFONTW& font, int dpi) {
  static std::mutex mutex;
  static std::map<std::pair<std::string, int>, std::shared_ptr<FontInstance>> cache;
  std::filesystem::path file = FontFileFor(font);
  int pixelSize = 0;
  if (font.lfHeight < 0) {
    pixelSize = -font.lfHeight;
  } else if (font.lfHeight > 0) {
    // A cell height includes the internal leading: DejaVu's line is about 1.16 em.
    pixelSize = (font.lfHeight * 100 + 58) / 116;
  } else {
    pixelSize = (kDefaultPointPixels * dpi + 95) / 96;
  }
  pixelSize = std::clamp(pixelSize, kMinPixelSize, kMaxPixelSize);
  std::lock_guard<std::mutex> lock(mutex);
  auto key = std::make_pair(file.string(), pixelSize);
  auto it = cache.find(key);
  if (it == cache.end()) {
    it = cache.emplace(key, std::make_shared<FontInstance>(file, pixelSize)).first;
  }
  return it->second;
}

}  // namespace platform::gdi
