#include "platform/gdi/line_breaks.h"

#include "platform/gdi/break_iterators.h"

namespace platform::gdi {

std::vector<LineBreak> LineBreakOpportunities(std::u16string_view text) {
  std::vector<LineBreak> breaks;
  if (text.empty()) return breaks;
  UBreakIterator* iterator = ThreadBreakIterator(UBRK_LINE);
  const UnicodeLibrary* unicode = Unicode();  // loaded whenever the iterator is there
  UErrorCode status = U_ZERO_ERROR;
  if (iterator != nullptr && text.size() <= static_cast<std::size_t>(INT32_MAX)) {
    unicode->breakSetText(iterator, reinterpret_cast<const UChar*>(text.data()),
                          static_cast<int32_t>(text.size()), &status);
  } else {
    status = U_UNSUPPORTED_ERROR;
  }
  if (U_FAILURE(status)) {
    breaks.push_back({static_cast<std::uint32_t>(text.size()), true});
    return breaks;
  }
  for (int32_t at = unicode->breakFollowing(iterator, 0); at != UBRK_DONE; at = unicode->breakNext(iterator)) {
    const int32_t rule = unicode->breakRuleStatus(iterator);
    bool hard = rule >= UBRK_LINE_HARD && rule < UBRK_LINE_HARD_LIMIT;
    breaks.push_back({static_cast<std::uint32_t>(at), hard});
  }
  // The iterator keeps a pointer to the text; it must not outlive the caller's buffer.
  unicode->breakSetText(iterator, nullptr, 0, &status);
  if (breaks.empty() || breaks.back().position != text.size()) {
    breaks.push_back({static_cast<std::uint32_t>(text.size()), true});
  }
  return breaks;
}

}  // namespace platform::gdi
