#include "platform/gdi/font_set.h"

#include "platform/gdi/unicode_library.h"

#include <map>
#include <tuple>

namespace platform::gdi {
namespace {

// Coverage of the primary face is kept in a table below this character and looked up above it.
constexpr char32_t kCoverageTable = 0x3000;
constexpr std::size_t kMaxRememberedCharacters = 65536;

}  // namespace

bool IsDefaultIgnorable(char32_t c) {
  return HasUnicodeProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
}

bool WantsEmojiPresentation(std::u32string_view cluster) {
  if (cluster.empty()) return false;
  bool pictographic = false;
  for (char32_t c : cluster) {
    if (c == 0xFE0E) return false;  // text presentation asked for
    if (c == 0xFE0F || c == 0x20E3) return true;
    if (HasUnicodeProperty(c, UCHAR_EMOJI_MODIFIER) || HasUnicodeProperty(c, UCHAR_REGIONAL_INDICATOR)) {
      return true;
    }
    pictographic = pictographic || HasUnicodeProperty(c, UCHAR_EXTENDED_PICTOGRAPHIC);
  }
  // A joined sequence of pictographs is an emoji sequence whatever its first member's default.
  return HasUnicodeProperty(cluster.front(), UCHAR_EMOJI_PRESENTATION) || (pictographic && cluster.size() > 1);
}

FontSet::FontSet(const FaceSource& primary, const FallbackStyle& style, int pixelSize)
    : m_primary(SharedFontInstance(primary, pixelSize)), m_style(style), m_pixelSize(pixelSize),
      m_primaryCovers(kCoverageTable, -1) {}

bool FontSet::CoversAll(FontInstance& face, std::u32string_view cluster) const {
  for (char32_t c : cluster) {
    if (!IsDefaultIgnorable(c) && !face.Covers(c)) return false;
  }
  return true;
}

FontInstance* FontSet::FaceForCharacter(char32_t c, bool colour) {
  auto& found = colour ? m_colour : m_plain;
  if (found.size() >= kMaxRememberedCharacters) found.clear();
  auto [entry, added] = found.try_emplace(c, nullptr);
  if (!added) return entry->second;
  std::optional<FaceSource> source = FallbackFaceFor(c, m_style, colour);
  if (!source || (colour && source == m_primary->Source())) return nullptr;
  for (const auto& face : m_faces) {
    if (face->Source() == *source) return entry->second = face.get();
  }
  m_faces.push_back(SharedFontInstance(*source, m_pixelSize, m_primary->Height()));
  return entry->second = m_faces.back().get();
}

FontInstance& FontSet::FaceForCluster(std::u32string_view cluster) {
  if (cluster.size() == 1 && cluster[0] < kCoverageTable) {
    signed char& known = m_primaryCovers[cluster[0]];
    if (known < 0) {
      known = (m_primary->Covers(cluster[0]) || IsDefaultIgnorable(cluster[0])) && !WantsEmojiPresentation(cluster);
    }
    if (known == 1) return *m_primary;
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  if (WantsEmojiPresentation(cluster)) {
    FontInstance* colour = FaceForCharacter(cluster[0], true);
    if (colour && colour->HasColour() && CoversAll(*colour, cluster)) return *colour;
  }
  if (CoversAll(*m_primary, cluster)) return *m_primary;
  for (char32_t c : cluster) {
    if (IsDefaultIgnorable(c) || m_primary->Covers(c)) continue;
    FontInstance* face = FaceForCharacter(c, false);
    if (face && (CoversAll(*face, cluster) || !m_primary->Covers(cluster[0]))) return *face;
    break;
  }
  return *m_primary;
}

std::shared_ptr<FontSet> ResolveFont(const LOGFONTW& font, int dpi) {
  static std::mutex mutex;
  static std::map<std::tuple<std::string, int>, std::shared_ptr<FontSet>> cache;
  FaceSource primary{FontFileFor(font), 0};
  int pixelSize = PixelSizeOf(font, dpi);
  std::lock_guard<std::mutex> lock(mutex);
  auto key = std::make_tuple(primary.file.string(), pixelSize);
  auto it = cache.find(key);
  if (it == cache.end()) {
    it = cache.emplace(key, std::make_shared<FontSet>(primary, FallbackStyleOf(font), pixelSize)).first;
  }
  return it->second;
}

}  // namespace platform::gdi
