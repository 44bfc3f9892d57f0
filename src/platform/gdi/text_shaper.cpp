#include "platform/gdi/text_shaper.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/gdi/drawing_libraries.h"

namespace platform::gdi {
namespace {

// HarfBuzz looks at no more than five characters of context on either side of a run (ten units
// when they are surrogate pairs).
constexpr std::uint32_t kContext = 10;
// Runs longer than this are shaped every time rather than kept; the cache starts again when it
// holds this many glyphs.
constexpr std::size_t kMaxCachedRun = 4096;
constexpr std::size_t kMaxCachedGlyphs = 1 << 20;

struct CacheKey {
  const FontInstance* font;
  bool rightToLeft;
  std::uint32_t script;
  std::uint32_t contextBefore;  // how many units of `text` precede the run
  std::uint32_t runLength;
  bool paragraphStart;
  bool paragraphEnd;
  std::u16string text;          // context before, the run, context after
  bool operator==(const CacheKey&) const = default;
};

struct CacheKeyHash {
  std::size_t operator()(const CacheKey& key) const {
    std::size_t h = std::hash<std::u16string_view>()(key.text);
    h ^= std::hash<const void*>()(key.font) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    h ^= (static_cast<std::size_t>(key.script) << 3) ^ (key.rightToLeft ? 1 : 0) ^
         (static_cast<std::size_t>(key.contextBefore) << 40) ^ (key.paragraphStart ? 2 : 0) ^ (key.paragraphEnd ? 4 : 0);
    return h;
  }
};

struct ShapingCache {
  std::mutex mutex;
  std::unordered_map<CacheKey, std::vector<ShapedGlyph>, CacheKeyHash> runs;  // clusters from the run start
  std::size_t glyphs = 0;
};

ShapingCache& Cache() {
  static ShapingCache cache;
  return cache;
}

struct BufferDestroyer {
  void operator()(hb_buffer_t* buffer) const { HarfBuzz()->bufferDestroy(buffer); }
};

// One shaping buffer a thread, so that shaping a run allocates nothing but its result. Only asked
// for with a shaping font, which only HarfBuzz gives.
hb_buffer_t* ThreadBuffer() {
  thread_local std::unique_ptr<hb_buffer_t, BufferDestroyer> buffer(HarfBuzz()->bufferCreate());
  return buffer.get();
}

int Pixels(hb_position_t value, double scale) { return static_cast<int>(std::lround(value * scale / 64.0)); }

// Glyphs without a face: one per character, half an em wide, so that text still measures.
std::vector<ShapedGlyph> Unshaped(FontInstance& font, std::u16string_view text, std::uint32_t start,
                                  std::uint32_t end) {
  std::vector<ShapedGlyph> glyphs;
  for (std::uint32_t i = start; i < end; ++i) {
    if (text[i] >= 0xDC00 && text[i] <= 0xDFFF && i > start && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF) {
      continue;
    }
    int advance = text[i] == u' ' ? font.PixelSize() / 3 : (font.PixelSize() + 1) / 2;
    glyphs.push_back({&font, 0, i - start, advance, 0, 0, false});
  }
  return glyphs;
}

std::vector<ShapedGlyph> Shape(FontInstance& font, std::u16string_view text, std::uint32_t start,
                               std::uint32_t end, bool rightToLeft, std::uint32_t script) {
  if (!font.ShapingFont()) return Unshaped(font, text, start, end);
  const HarfBuzzFunctions& hb = *HarfBuzz();
  hb_buffer_t* buffer = ThreadBuffer();
  hb.bufferReset(buffer);
  hb.bufferAddUtf16(buffer, reinterpret_cast<const uint16_t*>(text.data()), static_cast<int>(text.size()),
                      start, static_cast<int>(end - start));
  hb.bufferSetDirection(buffer, rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
  hb.bufferSetScript(buffer, static_cast<hb_script_t>(script));
  hb.bufferSetLanguage(buffer, hb.defaultLanguage());
  unsigned flags = HB_BUFFER_FLAG_DEFAULT;
  if (start == 0) flags |= HB_BUFFER_FLAG_BOT;
  if (end == text.size()) flags |= HB_BUFFER_FLAG_EOT;
  hb.bufferSetFlags(buffer, static_cast<hb_buffer_flags_t>(flags));
  {
    auto lock = font.Lock();
    hb.shape(font.ShapingFont(), buffer, nullptr, 0);
  }
  unsigned count = 0;
  const hb_glyph_info_t* infos = hb.bufferGlyphInfos(buffer, &count);
  const hb_glyph_position_t* positions = hb.bufferGlyphPositions(buffer, &count);
  std::vector<ShapedGlyph> glyphs(count);
  const double scale = font.Scale();
  for (unsigned i = 0; i < count; ++i) {
    ShapedGlyph& glyph = glyphs[i];
    glyph.font = &font;
    glyph.index = infos[i].codepoint;
    glyph.cluster = infos[i].cluster - start;
    glyph.advance = Pixels(positions[i].x_advance, scale);
    glyph.xOffset = Pixels(positions[i].x_offset, scale);
    glyph.yOffset = Pixels(positions[i].y_offset, scale);
    glyph.unsafeToBreak = (hb_glyph_info_get_glyph_flags(&infos[i]) & HB_GLYPH_FLAG_UNSAFE_TO_BREAK) != 0;
  }
  hb.bufferReset(buffer);  // its storage kept for the next run, the text it held let go
  return glyphs;
}

}  // namespace

std::vector<ShapedGlyph> ShapeRun(FontInstance& font, std::u16string_view text, std::uint32_t start,
                                  std::uint32_t end, bool rightToLeft, std::uint32_t script) {
  end = std::min<std::uint32_t>(end, static_cast<std::uint32_t>(text.size()));
  if (start >= end) return {};
  std::vector<ShapedGlyph> glyphs;
  if (end - start > kMaxCachedRun) {
    glyphs = Shape(font, text, start, end, rightToLeft, script);
  } else {
    const std::uint32_t from = start > kContext ? start - kContext : 0;
    const std::uint32_t to = std::min<std::uint32_t>(static_cast<std::uint32_t>(text.size()), end + kContext);
    CacheKey key{&font, rightToLeft, script, start - from, end - start, start == 0, end == text.size(),
                 std::u16string(text.substr(from, to - from))};
    ShapingCache& cache = Cache();
    bool found = false;
    {
      std::lock_guard<std::mutex> lock(cache.mutex);
      auto it = cache.runs.find(key);
      if (it != cache.runs.end()) {
        glyphs = it->second;
        found = true;
      }
    }
    if (!found) {
      glyphs = Shape(font, text, start, end, rightToLeft, script);
      std::lock_guard<std::mutex> lock(cache.mutex);
      if (cache.glyphs + glyphs.size() > kMaxCachedGlyphs) {
        cache.runs.clear();
        cache.glyphs = 0;
      }
      if (cache.runs.emplace(std::move(key), glyphs).second) cache.glyphs += glyphs.size();
    }
  }
  for (ShapedGlyph& glyph : glyphs) glyph.cluster += start;
  return glyphs;
}

std::uint32_t ScriptOf(char32_t c) {
  const HarfBuzzFunctions* hb = HarfBuzz();
  if (hb == nullptr) return HB_SCRIPT_UNKNOWN;
  return static_cast<std::uint32_t>(hb->unicodeScript(hb->defaultUnicodeFunctions(), c));
}

bool IsRealScript(std::uint32_t script) {
  return script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED && script != HB_SCRIPT_UNKNOWN;
}

void ClearShapingCache() {
  ShapingCache& cache = Cache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  cache.runs.clear();
  cache.glyphs = 0;
}

}  // namespace platform::gdi
