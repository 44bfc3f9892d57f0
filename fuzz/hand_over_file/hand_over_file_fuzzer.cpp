// Reads arbitrary bytes as a hand-over file. A refusal names an offset inside the data; an accepted
// file encodes to bytes that read back to the same six strings.
#include <cstddef>
#include <cstdint>

#include "forms/hand_over_file.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool Same(const HandOverStrings& a, const HandOverStrings& b) {
  return a.to == b.to && a.bcc == b.bcc && a.subject == b.subject && a.account == b.account &&
         a.messageClass == b.messageClass && a.body == b.body;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const HandOverReading reading = ReadHandOverFile(bytes);
  if (!reading.strings) {
    Check(reading.error != nullptr && reading.errorOffset <= size);
    return 0;
  }
  const HandOverReading again = ReadHandOverFile(EncodeHandOverFile(*reading.strings));
  Check(again.strings.has_value() && Same(*again.strings, *reading.strings));
  return 0;
}
