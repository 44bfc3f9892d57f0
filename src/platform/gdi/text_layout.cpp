#include "platform/gdi/text_layout.h"

#include <algorithm>
#include <unordered_map>

#include "platform/gdi/drawing_libraries.h"
#include "platform/gdi/line_breaks.h"
#include "platform/gdi/text_clusters.h"
#include "platform/gdi/text_render.h"

namespace platform::gdi {
namespace {

// A run is cut after this many units, so that no single shaping call (and no cached result) grows
// with the text; the cut keeps its context, so joining across it stays right.
constexpr std::uint32_t kMaxRunUnits = 2048;
// The paragraph cache forgets everything when it holds this many paragraphs or units; longer
// paragraphs are analysed every time.
constexpr std::size_t kMaxCachedParagraphs = 2048;
constexpr std::size_t kMaxCachedUnits = 1 << 21;
constexpr std::size_t kMaxCachedParagraphUnits = 1 << 16;
constexpr std::size_t kCachedWidths = 4;

bool IsLineEndSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == 0x3000 || c == 0x2028 || c == 0x2029 || c == 0x85 || c == 0x0B ||
         c == 0x0C;
}

// Reverses, from the highest level down to the lowest odd one, every stretch of pieces at that level
// or above (UAX #9, L2).
template <typename Piece>
void ReorderPieces(std::vector<Piece>& pieces) {
  std::uint8_t highest = 0, lowestOdd = 0xFF;
  for (const Piece& piece : pieces) {
    highest = std::max(highest, piece.level);
    if (piece.level & 1) lowestOdd = std::min(lowestOdd, piece.level);
  }
  for (int level = highest; level >= lowestOdd && level > 0; --level) {
    for (std::size_t i = 0; i < pieces.size();) {
      if (pieces[i].level < level) {
        ++i;
        continue;
      }
      std::size_t j = i;
      while (j < pieces.size() && pieces[j].level >= level) ++j;
      std::reverse(pieces.begin() + static_cast<std::ptrdiff_t>(i), pieces.begin() + static_cast<std::ptrdiff_t>(j));
      i = j;
    }
  }
}

}  // namespace

Paragraph::Paragraph(FontSet& fonts, std::u16string_view text, BaseDirection direction) : m_text(text) {
  Analyse(fonts, direction);
}

void Paragraph::Analyse(FontSet& fonts, BaseDirection direction) {
  const std::size_t size = m_text.size();
  // Code points, with the UTF-16 index of each.
  std::vector<FriBidiChar> points;
  std::vector<std::uint32_t> unitOf;
  points.reserve(size);
  unitOf.reserve(size);
  bool simple = direction != BaseDirection::kRightToLeft;
  for (std::size_t i = 0; i < size;) {
    unitOf.push_back(static_cast<std::uint32_t>(i));
    char32_t c = NextCodePoint(m_text, &i);
    simple = simple && c < 0x0590;
    points.push_back(c);
  }
  // Embedding levels (UAX #9). Text without right-to-left characters or controls stays at level 0.
  m_levels.assign(size, 0);
  // Plain left-to-right text never needs the library loaded.
  const FriBidiFunctions* fribidi = simple || points.empty() ? nullptr : FriBidi();
  bool ordered = false;
  if (fribidi != nullptr) {
    std::vector<FriBidiCharType> types(points.size());
    std::vector<FriBidiBracketType> brackets(points.size());
    std::vector<FriBidiLevel> levels(points.size());
    const auto count = static_cast<FriBidiStrIndex>(points.size());
    fribidi->bidiTypes(points.data(), count, types.data());
    fribidi->bracketTypes(points.data(), count, types.data(), brackets.data());
    FriBidiParType base = direction == BaseDirection::kRightToLeft   ? FRIBIDI_PAR_RTL
                          : direction == BaseDirection::kLeftToRight ? FRIBIDI_PAR_LTR
                                                                     : FRIBIDI_PAR_ON;
    ordered = fribidi->embeddingLevels(types.data(), brackets.data(), count, &base, levels.data()) != 0;
    m_mixedLevels = ordered;
    if (ordered) {
      m_rightToLeft = FRIBIDI_IS_RTL(base);
      for (std::size_t p = 0; p < points.size(); ++p) {
        std::uint32_t end = p + 1 < points.size() ? unitOf[p + 1] : static_cast<std::uint32_t>(size);
        std::fill(m_levels.begin() + unitOf[p], m_levels.begin() + end, static_cast<std::uint8_t>(levels[p]));
      }
    }
  }
  if (!simple && !points.empty() && !ordered) {
    m_rightToLeft = direction == BaseDirection::kRightToLeft;
    std::fill(m_levels.begin(), m_levels.end(), m_rightToLeft ? 1 : 0);
  }
  // Scripts: Common and Inherited characters take the script of the text before them (or, at the
  // start, after them).
  std::vector<std::uint32_t> scripts(points.size());
  std::uint32_t current = 0;
  for (std::size_t p = 0; p < points.size(); ++p) {
    scripts[p] = ScriptOf(points[p]);
    if (!IsRealScript(scripts[p])) {
      scripts[p] = current;
    } else {
      if (current == 0) std::fill(scripts.begin(), scripts.begin() + static_cast<std::ptrdiff_t>(p), scripts[p]);
      current = scripts[p];
    }
  }
  if (current == 0) std::fill(scripts.begin(), scripts.end(), ScriptOf(U'a'));  // all Common: shaped as Latin
  // Runs of one face, level and script, cluster by cluster.
  const std::vector<std::uint32_t> graphemes = ClusterBoundaries(m_text);
  std::u32string cluster;
  std::size_t p = 0;
  for (std::size_t g = 0; g + 1 < graphemes.size(); ++g) {
    const std::uint32_t start = graphemes[g], end = graphemes[g + 1];
    const std::size_t firstPoint = p;
    cluster.clear();
    while (p < unitOf.size() && unitOf[p] < end) cluster.push_back(points[p++]);
    FontInstance* font = &fonts.FaceForCluster(cluster);
    const std::uint8_t level = m_levels[start];
    const std::uint32_t script = scripts[firstPoint];
    Run* last = m_runs.empty() ? nullptr : &m_runs.back();
    if (last && last->font == font && last->level == level && last->script == script &&
        last->end - last->start < kMaxRunUnits) {
      last->end = end;
    } else {
      m_runs.push_back({start, end, level, script, font, {}});
    }
  }
  for (Run& run : m_runs) {
    run.glyphs = ShapeRun(*run.font, m_text, run.start, run.end, run.level & 1, run.script);
  }
  Measure(graphemes);
}

void Paragraph::Measure(const std::vector<std::uint32_t>& graphemes) {
  const std::size_t size = m_text.size();
  // A unit boundary is a grapheme boundary that also starts a shaped cluster (ligatures join
  // clusters), or a run edge.
  std::vector<bool> shapedStart(size + 1, false);
  std::vector<int> advance(size + 1, 0);
  for (const Run& run : m_runs) {
    shapedStart[run.start] = true;
    for (const ShapedGlyph& glyph : run.glyphs) {
      shapedStart[glyph.cluster] = true;
      advance[glyph.cluster] += glyph.advance;
    }
  }
  shapedStart[size] = true;
  m_boundary.assign(size + 1, false);
  for (std::uint32_t position : graphemes) m_boundary[position] = shapedStart[position];
  m_boundary[0] = m_boundary[size] = true;
  m_prefix.assign(size + 1, 0);
  int total = 0;
  for (std::size_t i = 0; i < size; ++i) {
    total += advance[i];
    // Inside a unit the width stays that of its start, so that only whole units are counted.
    m_prefix[i + 1] = m_boundary[i + 1] ? total : m_prefix[i];
  }
}

std::vector<Paragraph::RunView> Paragraph::Runs() const {
  std::vector<RunView> runs;
  for (const Run& run : m_runs) {
    runs.push_back({run.start, run.end, (run.level & 1) != 0, run.script, run.font, &run.glyphs});
  }
  return runs;
}

int Paragraph::WidthBefore(std::uint32_t position) const {
  return m_prefix[std::min<std::uint32_t>(position, static_cast<std::uint32_t>(m_text.size()))];
}

std::uint32_t Paragraph::TrimEnd(std::uint32_t start, std::uint32_t end) const {
  while (end > start && IsLineEndSpace(m_text[end - 1])) --end;
  return end;
}

std::vector<Paragraph::Span> Paragraph::Wrap(int width, WrapMode mode) const {
  const auto size = static_cast<std::uint32_t>(m_text.size());
  std::vector<Span> lines;
  if (mode == WrapMode::kNone || size == 0) {
    lines.push_back({0, size});
    return lines;
  }
  std::vector<LineBreak> breaks = LineBreakOpportunities(m_text);
  std::uint32_t start = 0;
  std::uint32_t lastFit = 0;  // 0: nothing fits yet
  for (std::size_t i = 0; i < breaks.size();) {
    const std::uint32_t at = breaks[i].position;
    if (!m_boundary[at] || at <= start) {
      ++i;
      continue;
    }
    const std::uint32_t content = TrimEnd(start, at);
    const bool fits = Width(start, content) <= width;
    if (fits || lastFit == 0) {
      if (!fits && mode == WrapMode::kWordsAndClusters) {
        // Too wide alone: whole units go on lines of their own width; the rest is tried again.
        int used = 0;
        std::uint32_t lineStart = start;
        for (std::uint32_t u = start, next = start; u < content; u = next) {
          next = u + 1;
          while (next < content && !m_boundary[next]) ++next;
          int unit = Width(u, next);
          if (u > lineStart && used + unit > width) {
            lines.push_back({lineStart, u});
            lineStart = u;
            used = 0;
          }
          used += unit;
        }
        start = lineStart;
        lastFit = 0;
        if (Width(start, content) > width) {  // a single unit wider than the line
          lines.push_back({start, at});
          start = at;
        }
        continue;
      }
      if (breaks[i].mandatory && at < size) {
        lines.push_back({start, at});
        start = at;
        lastFit = 0;
      } else if (!fits) {
        lines.push_back({start, at});  // a word wider than the line stays whole
        start = at;
      } else {
        lastFit = at;
      }
      ++i;
      continue;
    }
    lines.push_back({start, lastFit});
    start = lastFit;
    lastFit = 0;
  }
  if (start < size || lines.empty()) lines.push_back({start, size});
  return lines;
}

void Paragraph::AddPiece(const Run& run, std::uint32_t start, std::uint32_t end, std::uint8_t level,
                         std::vector<Piece>& pieces) const {
  const ShapedGlyph* first = run.glyphs.data();
  const ShapedGlyph* last = first + run.glyphs.size();
  if (start > run.start || end < run.end) {
    // The run's glyphs of [start, end) are contiguous: clusters rise left to right, or fall.
    const ShapedGlyph* from = last;
    const ShapedGlyph* to = first;
    bool safe = true;
    for (const ShapedGlyph* glyph = first; glyph != last; ++glyph) {
      if (glyph->cluster >= start && glyph->cluster < end) {
        from = std::min(from, glyph);
        to = glyph + 1;
      }
      if ((glyph->cluster == start && start > run.start) || (glyph->cluster == end && end < run.end)) {
        safe = safe && !glyph->unsafeToBreak;
      }
    }
    if (!safe) {
      pieces.push_back({level, nullptr, nullptr, ShapeRun(*run.font, m_text, start, end, run.level & 1, run.script)});
      pieces.back().begin = pieces.back().reshaped.data();
      pieces.back().end = pieces.back().begin + pieces.back().reshaped.size();
      return;
    }
    first = from;
    last = std::max(from, to);
  }
  pieces.push_back({level, first, last, {}});
}

LineLayout Paragraph::Line(std::uint32_t start, std::uint32_t end) const {
  LineLayout line;
  line.start = start;
  line.end = end;
  // Whitespace at the end of a line takes the paragraph's level (UAX #9, L1); in a paragraph all at
  // that level there is nothing to move.
  std::uint32_t trailing = end;
  if (m_mixedLevels) {
    const FriBidiFunctions& fribidi = *FriBidi();
    while (trailing > start && fribidi.bidiType(m_text[trailing - 1]) == FRIBIDI_TYPE_WS) --trailing;
  }
  const std::uint8_t paragraphLevel = m_rightToLeft ? 1 : 0;
  std::vector<Piece> pieces;
  auto first = std::upper_bound(m_runs.begin(), m_runs.end(), start,
                                [](std::uint32_t position, const Run& run) { return position < run.end; });
  std::size_t count = 0;
  for (auto run = first; run != m_runs.end() && run->start < end; ++run) {
    const std::uint32_t from = std::max(run->start, start), to = std::min(run->end, end);
    if (from < trailing && trailing < to && run->level != paragraphLevel) {
      AddPiece(*run, from, trailing, run->level, pieces);
      AddPiece(*run, trailing, to, paragraphLevel, pieces);
    } else {
      AddPiece(*run, from, to, from >= trailing ? paragraphLevel : run->level, pieces);
    }
  }
  ReorderPieces(pieces);
  for (const Piece& piece : pieces) count += static_cast<std::size_t>(piece.end - piece.begin);
  line.glyphs.reserve(count);
  int pen = 0;
  for (const Piece& piece : pieces) {
    for (const ShapedGlyph* glyph = piece.begin; glyph != piece.end; ++glyph) {
      line.glyphs.push_back({glyph->font, &glyph->font->GlyphAt(glyph->index), glyph->index, glyph->cluster,
                             pen + glyph->xOffset, -glyph->yOffset, glyph->advance, (piece.level & 1) != 0});
      pen += glyph->advance;
    }
  }
  line.width = pen;
  return line;
}

std::shared_ptr<const std::vector<LineLayout>> Paragraph::Lines(int width, WrapMode mode) const {
  if (mode == WrapMode::kNone) width = 0;
  std::lock_guard<std::mutex> lock(m_mutex);
  for (const CachedLines& cached : m_lines) {
    if (cached.width == width && cached.mode == mode) return cached.lines;
  }
  auto lines = std::make_shared<std::vector<LineLayout>>();
  for (const Span& span : Wrap(width, mode)) {
    lines->push_back(Line(span.start, mode == WrapMode::kNone ? span.end : TrimEnd(span.start, span.end)));
  }
  if (m_lines.size() >= kCachedWidths) m_lines.erase(m_lines.begin());
  m_lines.push_back({width, mode, lines});
  return lines;
}

namespace {

struct ParagraphKey {
  const FontSet* fonts;
  BaseDirection direction;
  std::u16string text;
  bool operator==(const ParagraphKey&) const = default;
};

// What a paragraph is looked up by, without copying its text.
struct ParagraphQuery {
  const FontSet* fonts;
  BaseDirection direction;
  std::u16string_view text;
};

struct ParagraphKeyHash {
  using is_transparent = void;
  std::size_t operator()(const ParagraphQuery& key) const {
    return std::hash<std::u16string_view>()(key.text) ^ (std::hash<const void*>()(key.fonts) << 1) ^
           static_cast<std::size_t>(key.direction);
  }
  std::size_t operator()(const ParagraphKey& key) const {
    return (*this)(ParagraphQuery{key.fonts, key.direction, key.text});
  }
};

struct ParagraphKeyEqual {
  using is_transparent = void;
  static ParagraphQuery View(const ParagraphKey& key) { return {key.fonts, key.direction, key.text}; }
  static ParagraphQuery View(const ParagraphQuery& query) { return query; }
  template <typename A, typename B>
  bool operator()(const A& a, const B& b) const {
    ParagraphQuery x = View(a), y = View(b);
    return x.fonts == y.fonts && x.direction == y.direction && x.text == y.text;
  }
};

struct ParagraphCache {
  std::mutex mutex;
  std::unordered_map<ParagraphKey, std::shared_ptr<const Paragraph>, ParagraphKeyHash, ParagraphKeyEqual> paragraphs;
  std::size_t units = 0;
};

ParagraphCache& Paragraphs() {
  static ParagraphCache cache;
  return cache;
}

}  // namespace

std::shared_ptr<const Paragraph> AnalyseParagraph(FontSet& fonts, std::u16string_view text, BaseDirection direction) {
  if (text.size() > kMaxCachedParagraphUnits) return std::make_shared<Paragraph>(fonts, text, direction);
  ParagraphCache& cache = Paragraphs();
  {
    std::lock_guard<std::mutex> lock(cache.mutex);
    auto it = cache.paragraphs.find(ParagraphQuery{&fonts, direction, text});
    if (it != cache.paragraphs.end()) return it->second;
  }
  ParagraphKey key{&fonts, direction, std::u16string(text)};
  auto paragraph = std::make_shared<const Paragraph>(fonts, text, direction);
  std::lock_guard<std::mutex> lock(cache.mutex);
  if (cache.paragraphs.size() >= kMaxCachedParagraphs || cache.units + text.size() > kMaxCachedUnits) {
    cache.paragraphs.clear();
    cache.units = 0;
  }
  if (cache.paragraphs.emplace(std::move(key), paragraph).second) cache.units += text.size();
  return paragraph;
}

void ClearTextLayoutCaches() {
  {
    ParagraphCache& cache = Paragraphs();
    std::lock_guard<std::mutex> lock(cache.mutex);
    cache.paragraphs.clear();
    cache.units = 0;
  }
  ClearShapingCache();
}

}  // namespace platform::gdi
