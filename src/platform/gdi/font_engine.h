// Fonts rendered with FreeType from the DejaVu faces: a face at one pixel size, its metrics and
// its anti-aliased glyphs, cached per character. A missing font file leaves a font that measures
// text sensibly but draws nothing, so layout never fails for want of a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/gdi/gdi_types.h"

struct FT_FaceRec_;

namespace platform::gdi {

struct Glyph {
  int left = 0;     // from the pen position to the bitmap's first column
  int top = 0;      // from the baseline up to the bitmap's first row
  int width = 0;
  int height = 0;
  int advance = 0;  // whole pixels, so that measured and drawn text agree exactly
  std::vector<BYTE> coverage;  // width x height, 0 (clear) to 255 (ink)
};

class FontInstance {
 public:
  FontInstance(const std::filesystem::path& file, int pixelSize);
  ~FontInstance();
  FontInstance(const FontInstance&) = delete;
  FontInstance& operator=(const FontInstance&) = delete;

  const Glyph& GlyphFor(char32_t c);
  int Ascent() const { return m_ascent; }
  int Descent() const { return m_descent; }
  int Height() const { return m_ascent + m_descent; }
  int PixelSize() const { return m_pixelSize; }
  int AverageWidth();
  int MaxWidth() const { return m_maxWidth; }
  bool HasFace() const { return m_face != nullptr; }

 private:
  Glyph Render(char32_t c) const;

  FT_FaceRec_* m_face = nullptr;  // owned: released with FT_Done_Face
  int m_pixelSize = 0;
  int m_ascent = 0;
  int m_descent = 0;
  int m_maxWidth = 0;
  std::vector<Glyph> m_latin;  // characters below 256, filled on first use
  std::vector<bool> m_latinReady;
  std::unordered_map<char32_t, Glyph> m_others;
};

// The font instance for a logical font at the given screen density (shared between equal fonts).
std::shared_ptr<FontInstance> ResolveFont(const LOGFONTW& font, int dpi);

// The DejaVu file a logical font maps to (by face name, pitch, weight and slant).
std::filesystem::path FontFileFor(const LOGFONTW& font);

}  // namespace platform::gdi
