#include "platform/gdi/font_fallback.h"

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/gdi/drawing_libraries.h"

namespace platform::gdi {
namespace {

// Characters looked up per style before the answers are forgotten: random text must not make
// the table grow without end.
constexpr std::size_t kMaxRememberedCharacters = 65536;

struct Candidate {
  FaceSource source;
  FcCharSet* characters = nullptr;  // owned by the sorted set
  bool colour = false;
};

struct FontSetCloser {
  void operator()(FcFontSet* set) const { Fontconfig()->fontSetDestroy(set); }
};

// The installed faces in fontconfig's order of preference for one style, and what was found.
struct StyleFallback {
  std::unique_ptr<FcFontSet, FontSetCloser> sorted;
  std::vector<Candidate> candidates;
  std::unordered_map<char32_t, int> plain;   // character -> candidate, -1 for none
  std::unordered_map<char32_t, int> colour;
};

FcConfig* Config() {
  static FcConfig* config = Fontconfig() != nullptr ? Fontconfig()->initLoadConfigAndFonts() : nullptr;
  return config;
}

std::unique_ptr<StyleFallback> SortFaces(const FallbackStyle& style) {
  auto fallback = std::make_unique<StyleFallback>();
  if (!Config()) return fallback;
  const FontconfigFunctions& fc = *Fontconfig();
  FcPattern* pattern = fc.patternCreate();
  fc.patternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(style.family.c_str()));
  fc.patternAddInteger(pattern, FC_WEIGHT, style.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  fc.patternAddInteger(pattern, FC_SLANT, style.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  fc.configSubstitute(Config(), pattern, FcMatchPattern);
  fc.defaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  fallback->sorted.reset(fc.fontSort(Config(), pattern, FcFalse, nullptr, &result));
  fc.patternDestroy(pattern);
  if (!fallback->sorted) return fallback;
  for (int i = 0; i < fallback->sorted->nfont; ++i) {
    FcPattern* font = fallback->sorted->fonts[i];
    FcChar8* file = nullptr;
    FcCharSet* characters = nullptr;
    if (fc.patternGetString(font, FC_FILE, 0, &file) != FcResultMatch ||
        fc.patternGetCharSet(font, FC_CHARSET, 0, &characters) != FcResultMatch) {
      continue;
    }
    int index = 0;
    fc.patternGetInteger(font, FC_INDEX, 0, &index);
    FcBool colour = FcFalse;
    fc.patternGetBool(font, FC_COLOR, 0, &colour);
    fallback->candidates.push_back({{reinterpret_cast<const char*>(file), index}, characters, colour == FcTrue});
  }
  return fallback;
}

int FindCandidate(const StyleFallback& fallback, char32_t c, bool colourFirst) {
  // Candidates come only from fontconfig, so that with any there is the library.
  if (fallback.candidates.empty()) return -1;
  const FontconfigFunctions& fc = *Fontconfig();
  if (colourFirst) {
    for (std::size_t i = 0; i < fallback.candidates.size(); ++i) {
      if (fallback.candidates[i].colour && fc.charSetHasChar(fallback.candidates[i].characters, c)) {
        return static_cast<int>(i);
      }
    }
  }
  for (std::size_t i = 0; i < fallback.candidates.size(); ++i) {
    if (fc.charSetHasChar(fallback.candidates[i].characters, c)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace

FallbackStyle FallbackStyleOf(const LOGFONTW& font) {
  std::string file = FontFileFor(font).filename().string();
  FallbackStyle style;
  style.family = file.find("Mono") != std::string::npos    ? "monospace"
                 : file.find("Serif") != std::string::npos ? "serif"
                                                           : "sans-serif";
  style.bold = font.lfWeight >= FW_SEMIBOLD;
  style.italic = font.lfItalic != 0;
  return style;
}

std::optional<FaceSource> FallbackFaceFor(char32_t c, const FallbackStyle& style, bool colour) {
  static std::mutex mutex;
  static std::map<std::tuple<std::string, bool, bool>, std::unique_ptr<StyleFallback>> styles;
  std::lock_guard<std::mutex> lock(mutex);
  auto key = std::make_tuple(style.family, style.bold, style.italic);
  auto it = styles.find(key);
  if (it == styles.end()) {
    it = styles.emplace(key, SortFaces(style)).first;
  }
  StyleFallback& fallback = *it->second;
  auto& found = colour ? fallback.colour : fallback.plain;
  if (found.size() >= kMaxRememberedCharacters) found.clear();
  auto [entry, added] = found.try_emplace(c, -1);
  if (added) entry->second = FindCandidate(fallback, c, colour);
  if (entry->second < 0) return std::nullopt;
  return fallback.candidates[static_cast<std::size_t>(entry->second)].source;
}

}  // namespace platform::gdi
