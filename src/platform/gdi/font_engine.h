// One font face at one pixel size, rendered with FreeType: its metrics, its HarfBuzz font for
// shaping and its glyphs by glyph index, anti-aliased or in colour (bitmap emoji scaled to the
// line), cached per glyph. A missing font file leaves a face that measures text sensibly but draws
// nothing, so layout never fails for want of a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi/gdi_types.h"

struct FT_FaceRec_;
struct hb_font_t;

namespace platform::gdi {

struct Glyph {
  int left = 0;     // from the pen position to the bitmap's first column
  int top = 0;      // from the baseline up to the bitmap's first row
  int width = 0;
  int height = 0;
  bool colour = false;         // pixels are premultiplied blue, green, red, alpha
  std::vector<BYTE> coverage;  // width x height: 0 (clear) to 255 (ink), or 4 bytes a pixel in colour
};

// Where a face comes from: a font file and the face's index inside it (collections hold several).
struct FaceSource {
  std::filesystem::path file;
  int index = 0;
  bool operator==(const FaceSource&) const = default;
};

class FontInstance {
 public:
  // `lineHeight` (0 for none) is the line that colour bitmaps are scaled to fit.
  FontInstance(const FaceSource& source, int pixelSize, int lineHeight = 0);
  ~FontInstance();
  FontInstance(const FontInstance&) = delete;
  FontInstance& operator=(const FontInstance&) = delete;

  // The rendered glyph of a glyph index (an empty one for indices the face lacks).
  const Glyph& GlyphAt(std::uint32_t index);
  // The face's glyph for a character, 0 when it has none.
  std::uint32_t GlyphIndexOf(char32_t c) const;
  bool Covers(char32_t c) const { return GlyphIndexOf(c) != 0; }

  int Ascent() const { return m_ascent; }
  int Descent() const { return m_descent; }
  int Height() const { return m_ascent + m_descent; }
  int PixelSize() const { return m_pixelSize; }
  int MaxWidth() const { return m_maxWidth; }
  bool HasFace() const { return m_face != nullptr; }
  bool HasColour() const { return m_colour; }
  const FaceSource& Source() const { return m_source; }
  // Shaper positions (26.6 pixels of the face's own size) times this give pixels of this instance:
  // 1 for scalable faces, below 1 for a bitmap strike drawn smaller.
  double Scale() const { return m_scale; }
  // The HarfBuzz font over this face; null without a face. Only used under Lock().
  hb_font_t* ShapingFont() const { return m_hbFont; }
  // FreeType faces are not safe to use from two threads at once.
  std::unique_lock<std::mutex> Lock() const { return std::unique_lock<std::mutex>(m_mutex); }

 private:
  Glyph Render(std::uint32_t index) const;
  Glyph RenderColour(std::uint32_t index) const;

  FaceSource m_source;
  FT_FaceRec_* m_face = nullptr;  // owned: released with FT_Done_Face
  hb_font_t* m_hbFont = nullptr;  // owned: released with hb_font_destroy
  int m_pixelSize = 0;
  int m_ascent = 0;
  int m_descent = 0;
  int m_maxWidth = 0;
  bool m_colour = false;
  double m_scale = 1.0;
  std::vector<std::unique_ptr<Glyph>> m_glyphs;  // by glyph index, filled on first use
  Glyph m_empty;
  mutable std::mutex m_mutex;
};

// The face instance of a source at a pixel size, shared between equal requests.
std::shared_ptr<FontInstance> SharedFontInstance(const FaceSource& source, int pixelSize, int lineHeight = 0);

// The DejaVu file a logical font maps to (by face name, pitch, weight and slant).
std::filesystem::path FontFileFor(const LOGFONTW& font);

// The pixel size (em) a logical font asks for at a screen density.
int PixelSizeOf(const LOGFONTW& font, int dpi);

}  // namespace platform::gdi
