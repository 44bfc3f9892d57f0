#include "platform/gdi/font_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

#include "platform/gdi/drawing_libraries.h"
#include "platform/text/text_conversion.h"

namespace platform::gdi {
namespace {

// Sizes outside this range are clamped: a huge size would make every glyph a huge allocation.
constexpr int kMinPixelSize = 1;
constexpr int kMaxPixelSize = 512;
constexpr int kDefaultPointPixels = 12;  // at 96 dpi, when a font asks for no particular size
// Glyph tables beyond this are not cached glyph by glyph (no real font comes near it).
constexpr long kMaxCachedGlyphs = 65536;

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library created = nullptr;
    return FreeType() != nullptr && FreeType()->initFreeType(&created) == 0 ? created : nullptr;
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
int CeilPixels(double value) { return static_cast<int>(std::ceil(value / 64.0)); }

// The strike of a bitmap-only face nearest above `pixels` (else the largest).
int StrikeFor(FT_Face face, int pixels) {
  int best = 0;
  for (int i = 0; i < face->num_fixed_sizes; ++i) {
    long ppem = face->available_sizes[i].y_ppem;
    long bestPpem = face->available_sizes[best].y_ppem;
    bool bestBelow = bestPpem < pixels * 64L;
    if ((bestBelow && ppem > bestPpem) || (!bestBelow && ppem >= pixels * 64L && ppem < bestPpem)) {
      best = i;
    }
  }
  return best;
}

// Premultiplied BGRA resampled by area: each target pixel averages the source pixels whose centres
// fall inside it, or takes the nearest one when it is smaller than a source pixel.
std::vector<BYTE> Resample(const BYTE* source, int pitch, int width, int height, int outWidth, int outHeight) {
  std::vector<BYTE> out(static_cast<std::size_t>(outWidth) * outHeight * 4);
  const double sx = static_cast<double>(width) / outWidth;
  const double sy = static_cast<double>(height) / outHeight;
  for (int y = 0; y < outHeight; ++y) {
    int y0 = static_cast<int>(y * sy), y1 = std::max(y0 + 1, static_cast<int>((y + 1) * sy));
    y1 = std::min(y1, height);
    for (int x = 0; x < outWidth; ++x) {
      int x0 = static_cast<int>(x * sx), x1 = std::max(x0 + 1, static_cast<int>((x + 1) * sx));
      x1 = std::min(x1, width);
      unsigned sum[4] = {0, 0, 0, 0};
      for (int v = y0; v < y1; ++v) {
        const BYTE* p = source + static_cast<std::ptrdiff_t>(v) * pitch + x0 * 4;
        for (int u = x0; u < x1; ++u, p += 4) {
          sum[0] += p[0], sum[1] += p[1], sum[2] += p[2], sum[3] += p[3];
        }
      }
      const unsigned count = static_cast<unsigned>((y1 - y0) * (x1 - x0));
      BYTE* o = out.data() + (static_cast<std::size_t>(y) * outWidth + x) * 4;
      for (int c = 0; c < 4; ++c) {
        o[c] = static_cast<BYTE>((sum[c] + count / 2) / count);
      }
    }
  }
  return out;
}

}  // namespace

FontInstance::FontInstance(const FaceSource& source, int pixelSize, int lineHeight)
    : m_source(source), m_pixelSize(std::clamp(pixelSize, kMinPixelSize, kMaxPixelSize)) {
  FT_Face face = nullptr;
  if (Library() && !source.file.empty() &&
      FreeType()->newFace(Library(), source.file.c_str(), source.index, &face) == 0) {
    bool sized = false;
    if (FT_IS_SCALABLE(face)) {
      sized = FreeType()->setPixelSizes(face, 0, static_cast<FT_UInt>(m_pixelSize)) == 0;
    } else if (face->num_fixed_sizes > 0) {
      // Bitmap strikes (colour emoji) are drawn from the nearest strike and scaled to the line.
      sized = FreeType()->selectSize(face, StrikeFor(face, m_pixelSize)) == 0;
      m_colour = FT_HAS_COLOR(face);
    }
    if (sized) {
      m_face = face;
    } else {
      FreeType()->doneFace(face);
    }
  }
  if (!m_face) {
    m_ascent = (m_pixelSize * 4 + 4) / 5;
    m_descent = m_pixelSize / 4 + 1;
    m_maxWidth = m_pixelSize;
    return;
  }
  const FT_Size_Metrics& metrics = m_face->size->metrics;
  if (!FT_IS_SCALABLE(m_face)) {
    double strikeHeight = static_cast<double>(metrics.ascender - metrics.descender);
    if (strikeHeight <= 0) strikeHeight = metrics.y_ppem * 64.0;
    double target = lineHeight > 0 ? lineHeight * 64.0 : m_pixelSize * 64.0 * strikeHeight / (metrics.y_ppem * 64.0);
    m_scale = target / strikeHeight;
  }
  m_ascent = CeilPixels(metrics.ascender * m_scale);
  m_descent = CeilPixels(-metrics.descender * m_scale);
  m_maxWidth = CeilPixels(metrics.max_advance * m_scale);
  m_glyphs.resize(static_cast<std::size_t>(std::clamp(m_face->num_glyphs, 0L, kMaxCachedGlyphs)));
  // Without HarfBuzz the face still draws, a glyph per character.
  const HarfBuzzFunctions* hb = HarfBuzz();
  if (hb == nullptr) return;
  m_hbFont = hb->fontFromFace(m_face);
  // Hinted advances, as the glyphs are rendered, so that measured and drawn text agree.
  hb->fontSetLoadFlags(m_hbFont, m_colour ? FT_LOAD_DEFAULT | FT_LOAD_COLOR : FT_LOAD_DEFAULT);
}

FontInstance::~FontInstance() {
  if (m_hbFont) {
    HarfBuzz()->fontDestroy(m_hbFont);
  }
  if (m_face) {
    FreeType()->doneFace(m_face);
  }
}

std::uint32_t FontInstance::GlyphIndexOf(char32_t c) const {
  return m_face ? FreeType()->charIndex(m_face, c) : 0;
}

Glyph FontInstance::Render(std::uint32_t index) const {
  Glyph glyph;
  if (FreeType()->loadGlyph(m_face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
    return glyph;
  }
  const FT_GlyphSlot slot = m_face->glyph;
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

Glyph FontInstance::RenderColour(std::uint32_t index) const {
  Glyph glyph;
  if (FreeType()->loadGlyph(m_face, index, FT_LOAD_COLOR | FT_LOAD_RENDER) != 0) {
    return glyph;
  }
  const FT_GlyphSlot slot = m_face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_BGRA || bitmap.width == 0 || bitmap.rows == 0 || bitmap.pitch <= 0) {
    return Render(index);
  }
  const int width = std::max(1, static_cast<int>(std::lround(bitmap.width * m_scale)));
  const int height = std::max(1, static_cast<int>(std::lround(bitmap.rows * m_scale)));
  glyph.colour = true;
  glyph.left = static_cast<int>(std::lround(slot->bitmap_left * m_scale));
  glyph.top = static_cast<int>(std::lround(slot->bitmap_top * m_scale));
  glyph.width = width;
  glyph.height = height;
  glyph.coverage = Resample(bitmap.buffer, bitmap.pitch, static_cast<int>(bitmap.width),
                            static_cast<int>(bitmap.rows), width, height);
  return glyph;
}

const Glyph& FontInstance::GlyphAt(std::uint32_t index) {
  if (!m_face || index >= m_glyphs.size()) {
    return m_empty;
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  std::unique_ptr<Glyph>& slot = m_glyphs[index];
  if (!slot) {
    slot = std::make_unique<Glyph>(m_colour ? RenderColour(index) : Render(index));
  }
  return *slot;
}

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

int PixelSizeOf(const LOGFONTW& font, int dpi) {
  int pixelSize = 0;
  if (font.lfHeight < 0) {
    pixelSize = font.lfHeight < -kMaxPixelSize ? kMaxPixelSize : -font.lfHeight;
  } else if (font.lfHeight > 0) {
    // A cell height includes the internal leading: DejaVu's line is about 1.16 em.
    pixelSize = static_cast<int>((static_cast<long long>(font.lfHeight) * 100 + 58) / 116);
  } else {
    pixelSize = (kDefaultPointPixels * dpi + 95) / 96;
  }
  return std::clamp(pixelSize, kMinPixelSize, kMaxPixelSize);
}

std::shared_ptr<FontInstance> SharedFontInstance(const FaceSource& source, int pixelSize, int lineHeight) {
  static std::mutex mutex;
  static std::map<std::tuple<std::string, int, int, int>, std::shared_ptr<FontInstance>> cache;
  std::lock_guard<std::mutex> lock(mutex);
  auto key = std::make_tuple(source.file.string(), source.index, pixelSize, lineHeight);
  auto it = cache.find(key);
  if (it == cache.end()) {
    it = cache.emplace(key, std::make_shared<FontInstance>(source, pixelSize, lineHeight)).first;
  }
  return it->second;
}

}  // namespace platform::gdi
