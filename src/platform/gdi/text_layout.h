// One paragraph of text laid out for drawing: characters given to faces (fallback), put in runs of
// one face, direction and script, shaped, measured cluster by cluster, broken into lines at the
// UAX #14 opportunities and each line put in visual order (UAX #9). Analysed paragraphs are
// cached, so drawing the same text again costs only the drawing.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/font_set.h"
#include "platform/gdi/text_shaper.h"

namespace platform::gdi {

enum class BaseDirection { kAuto, kLeftToRight, kRightToLeft };

// A glyph placed on a line: x from the line's left edge, y down from the baseline.
struct PlacedGlyph {
  FontInstance* font = nullptr;
  const Glyph* bitmap = nullptr;  // rendered when the line was laid out
  std::uint32_t index = 0;
  std::uint32_t cluster = 0;  // UTF-16 index in the paragraph of its cluster's first unit
  int x = 0;
  int y = 0;
  int advance = 0;
  bool rightToLeft = false;
};

struct LineLayout {
  std::uint32_t start = 0;  // the line's text: [start, end) of the paragraph
  std::uint32_t end = 0;
  int width = 0;
  std::vector<PlacedGlyph> glyphs;  // in visual order, left to right
};

// How a paragraph is broken: not at all, at break opportunities (a cluster run wider than the
// line stays whole), or at opportunities and, where one does not fit, between clusters.
enum class WrapMode { kNone, kWords, kWordsAndClusters };

class Paragraph {
 public:
  Paragraph(FontSet& fonts, std::u16string_view text, BaseDirection direction);

  const std::u16string& Text() const { return m_text; }
  bool RightToLeft() const { return m_rightToLeft; }
  // Whether a position is the edge of a measurable unit (a grapheme cluster that the shaper did
  // not join with its neighbour).
  bool IsBoundary(std::uint32_t position) const { return m_boundary[position]; }
  // Logical width of [start, end): the sum of the advances of the units inside.
  int Width(std::uint32_t start, std::uint32_t end) const { return m_prefix[end] - m_prefix[start]; }
  // Width of [0, position) counting whole units only (the unit holding `position` not included).
  int WidthBefore(std::uint32_t position) const;

  // A run as it was shaped: one face, direction and script; glyphs in visual order.
  struct RunView {
    std::uint32_t start;
    std::uint32_t end;
    bool rightToLeft;
    std::uint32_t script;
    const FontInstance* font;
    const std::vector<ShapedGlyph>* glyphs;
  };
  std::vector<RunView> Runs() const;

  // The lines of the paragraph for a width; cached for the last few widths asked.
  std::shared_ptr<const std::vector<LineLayout>> Lines(int width, WrapMode mode) const;
  // [start, end) laid out as one line.
  LineLayout Line(std::uint32_t start, std::uint32_t end) const;

 private:
  struct Run {
    std::uint32_t start;
    std::uint32_t end;
    std::uint8_t level;
    std::uint32_t script;
    FontInstance* font;
    std::vector<ShapedGlyph> glyphs;  // visual order within the run
  };
  struct Span {
    std::uint32_t start, end;
  };

  void Analyse(FontSet& fonts, BaseDirection direction);
  void Measure(const std::vector<std::uint32_t>& graphemes);
  std::vector<Span> Wrap(int width, WrapMode mode) const;
  std::uint32_t TrimEnd(std::uint32_t start, std::uint32_t end) const;
  // The glyphs of [start, end) of a run: a slice of its own where the cut is safe, else shaped anew.
  struct Piece {
    std::uint8_t level;
    const ShapedGlyph* begin;
    const ShapedGlyph* end;
    std::vector<ShapedGlyph> reshaped;  // owns the glyphs when the run's could not be cut
  };
  void AddPiece(const Run& run, std::uint32_t start, std::uint32_t end, std::uint8_t level,
                std::vector<Piece>& pieces) const;

  std::u16string m_text;
  bool m_rightToLeft = false;
  bool m_mixedLevels = false;          // levels from the bidirectional algorithm, not all the base one
  std::vector<std::uint8_t> m_levels;  // embedding level per UTF-16 unit
  std::vector<Run> m_runs;             // logical order
  std::vector<bool> m_boundary;        // size + 1
  std::vector<int> m_prefix;           // width of [0, position) at every boundary, size + 1

  mutable std::mutex m_mutex;
  struct CachedLines {
    int width;
    WrapMode mode;
    std::shared_ptr<const std::vector<LineLayout>> lines;
  };
  mutable std::vector<CachedLines> m_lines;
};

// The analysed paragraph of a text in a font set (from the cache when it was analysed before).
std::shared_ptr<const Paragraph> AnalyseParagraph(FontSet& fonts, std::u16string_view text,
                                                  BaseDirection direction = BaseDirection::kAuto);

// Forgets analysed paragraphs and shaped runs (benchmarks measure the cold path with it).
void ClearTextLayoutCaches();

}  // namespace platform::gdi
