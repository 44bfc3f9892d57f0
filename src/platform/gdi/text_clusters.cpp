#include "platform/gdi/text_clusters.h"

#include <algorithm>

#include "platform/gdi/break_iterators.h"

namespace platform::gdi {
namespace {

// Text below U+0300 has no combining marks, joiners or surrogates: every unit is a cluster but
// for CR LF.
bool IsSimple(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x300; });
}

}  // namespace

std::vector<std::uint32_t> ClusterBoundaries(std::u16string_view text) {
  std::vector<std::uint32_t> boundaries;
  boundaries.reserve(text.size() + 1);
  boundaries.push_back(0);
  if (text.empty()) return boundaries;
  UBreakIterator* iterator = ThreadBreakIterator(UBRK_CHARACTER);
  const UnicodeLibrary* unicode = Unicode();  // loaded whenever the iterator is there
  UErrorCode status = U_ZERO_ERROR;
  if (!IsSimple(text) && iterator && text.size() <= static_cast<std::size_t>(INT32_MAX)) {
    unicode->breakSetText(iterator, reinterpret_cast<const UChar*>(text.data()),
                          static_cast<int32_t>(text.size()), &status);
    if (U_SUCCESS(status)) {
      for (int32_t at = unicode->breakFollowing(iterator, 0); at != UBRK_DONE; at = unicode->breakNext(iterator)) {
        boundaries.push_back(static_cast<std::uint32_t>(at));
      }
      // The iterator keeps a pointer to the text; it must not outlive the caller's buffer.
      unicode->breakSetText(iterator, nullptr, 0, &status);
      if (boundaries.back() != text.size()) boundaries.push_back(static_cast<std::uint32_t>(text.size()));
      return boundaries;
    }
  }
  for (std::uint32_t i = 1; i <= text.size(); ++i) {
    bool crLf = i < text.size() && text[i - 1] == u'\r' && text[i] == u'\n';
    bool surrogatePair = i < text.size() && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF && text[i] >= 0xDC00 &&
                         text[i] <= 0xDFFF;
    if (!crLf && !surrogatePair) boundaries.push_back(i);
  }
  return boundaries;
}

std::size_t NextClusterBoundary(std::u16string_view text, std::size_t position) {
  if (position >= text.size()) return text.size();
  std::vector<std::uint32_t> boundaries = ClusterBoundaries(text);
  return *std::upper_bound(boundaries.begin(), boundaries.end(), position);
}

std::size_t PreviousClusterBoundary(std::u16string_view text, std::size_t position) {
  if (position == 0) return 0;
  std::vector<std::uint32_t> boundaries = ClusterBoundaries(text);
  position = std::min(position, text.size());
  return *(std::lower_bound(boundaries.begin(), boundaries.end(), position) - 1);
}

std::size_t ClusterStartAt(std::u16string_view text, std::size_t position) {
  if (position >= text.size()) return text.size();
  std::vector<std::uint32_t> boundaries = ClusterBoundaries(text);
  return *(std::upper_bound(boundaries.begin(), boundaries.end(), position) - 1);
}

}  // namespace platform::gdi
