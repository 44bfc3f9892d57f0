// Input: an address as UTF-16LE bytes (the first byte picks browser mode). The canonical form must
// be printable ASCII, canonicalise to itself, and split into components that lie inside it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "url_text.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckRange(const internet::UrlRange& range, std::size_t size) {
  Check(range.offset <= size && range.length <= size - range.offset);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool keepQuery = data[0] & 1;
  std::u16string url;
  for (std::size_t i = 1; i + 1 < size; i += 2) url += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  internet::UrlParts parts;
  if (internet::SplitUrl(url, &parts) == internet::SplitError::kNone) {
    for (const auto* range : {&parts.scheme, &parts.host, &parts.user, &parts.password, &parts.path, &parts.extra}) {
      CheckRange(*range, url.size());
    }
  }
  const auto canonical = internet::CanonicalUrl(url, keepQuery);
  if (!canonical) return 0;
  for (char c : *canonical) Check(c > 32 && c < 127);
  const std::u16string wide(canonical->begin(), canonical->end());
  const auto again = internet::CanonicalUrl(wide, keepQuery);
  Check(again.has_value() && *again == *canonical);
  return 0;
}
