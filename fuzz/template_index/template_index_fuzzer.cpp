// Parses arbitrary bytes as a template index. A failure names an offset inside the data and leaves
// no entries; a success has no more entries than the bytes could hold, and writing the index and
// reading it again gives the same entries.
#include <cstddef>
#include <cstdint>

#include "forms/template_index.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool SameEntries(const TemplateIndex& a, const TemplateIndex& b) {
  if (a.runningNumber != b.runningNumber || a.entries.size() != b.entries.size()) return false;
  for (std::size_t i = 0; i < a.entries.size(); ++i) {
    const TemplateEntry& x = a.entries[i];
    const TemplateEntry& y = b.entries[i];
    if (!(x.name == y.name) || !(x.messageFile == y.messageFile) || !(x.previewFile == y.previewFile) ||
        x.flag != y.flag) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const TemplateIndexParse parse = ParseTemplateIndex({data, size});
  if (!parse.ok()) {
    Check(parse.index.entries.empty());
    Check(parse.offset <= size || parse.status == TemplateIndexStatus::kTooLarge);
    return 0;
  }
  Check(parse.index.entries.size() * 20 <= size);
  const std::string written = SerializeTemplateIndex(parse.index);
  const TemplateIndexParse again =
      ParseTemplateIndex({reinterpret_cast<const std::uint8_t*>(written.data()), written.size()});
  Check(again.ok());
  Check(SameEntries(parse.index, again.index));
  return 0;
}
