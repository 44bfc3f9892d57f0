// A logical font as text is drawn with it: its primary DejaVu face and the faces fontconfig finds
// for what that face lacks, all at one pixel size and sharing the primary face's line (ascent,
// descent and baseline), so that a line of mixed scripts keeps one height.
#pragma once

#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gdi/font_engine.h"
#include "platform/gdi/font_fallback.h"

namespace platform::gdi {

class FontSet {
 public:
  FontSet(const FaceSource& primary, const FallbackStyle& style, int pixelSize);

  FontInstance& Primary() const { return *m_primary; }
  int Ascent() const { return m_primary->Ascent(); }
  int Descent() const { return m_primary->Descent(); }
  int Height() const { return m_primary->Height(); }
  int PixelSize() const { return m_primary->PixelSize(); }

  // The face that draws a grapheme cluster: a colour face for emoji presentation, else the primary
  // face when it has every character, else the first fallback face that has the first character it
  // lacks. A cluster no face has is left to the primary face (its missing-glyph box).
  FontInstance& FaceForCluster(std::u32string_view cluster);

 private:
  FontInstance* FaceForCharacter(char32_t c, bool colour);
  bool CoversAll(FontInstance& face, std::u32string_view cluster) const;

  std::shared_ptr<FontInstance> m_primary;
  FallbackStyle m_style;
  int m_pixelSize;
  std::mutex m_mutex;
  std::vector<std::shared_ptr<FontInstance>> m_faces;  // fallback faces in use, kept alive here
  std::unordered_map<char32_t, FontInstance*> m_plain;  // character -> fallback face (null: none)
  std::unordered_map<char32_t, FontInstance*> m_colour;
  std::vector<signed char> m_primaryCovers;  // for the first characters: -1 unknown, 0 no, 1 yes
};

// The font set of a logical font at a screen density (shared between equal fonts, kept for the
// life of the process).
std::shared_ptr<FontSet> ResolveFont(const LOGFONTW& font, int dpi);

// Characters that never need a glyph of their own (joiners, variation selectors, direction marks).
bool IsDefaultIgnorable(char32_t c);

// Whether a cluster asks for emoji presentation (colour) rather than text presentation.
bool WantsEmojiPresentation(std::u32string_view cluster);

}  // namespace platform::gdi
