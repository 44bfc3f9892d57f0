#include "forms/hand_over_file.h"

#include <array>
#include <cstdint>

namespace {

void AppendRecord(std::string& bytes, const CString& text) {
  auto count = static_cast<std::uint32_t>(text.GetLength());
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((count >> shift) & 0xFF));
  for (char16_t c : text.View()) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
}

// The records in file order.
std::array<CString*, 6> RecordsOf(HandOverStrings& strings) {
  return {&strings.to, &strings.bcc, &strings.subject, &strings.account, &strings.messageClass, &strings.body};
}

std::uint8_t ByteAt(std::string_view bytes, std::size_t offset) { return static_cast<std::uint8_t>(bytes[offset]); }

}  // namespace

std::string EncodeHandOverFile(const HandOverStrings& strings) {
  HandOverStrings copy = strings;
  std::string bytes;
  for (const CString* text : RecordsOf(copy)) AppendRecord(bytes, *text);
  return bytes;
}

HandOverReading ReadHandOverFile(std::string_view bytes) {
  HandOverReading reading;
  HandOverStrings strings;
  std::size_t offset = 0;
  for (CString* text : RecordsOf(strings)) {
    const std::size_t recordStart = offset;
    auto fail = [&](const char* error) {
      reading.errorOffset = recordStart;
      reading.error = error;
      return reading;
    };
    if (bytes.size() - offset < 4) return fail("the file ends inside a record's length");
    std::uint32_t count = 0;
    for (int i = 0; i < 4; ++i) count |= static_cast<std::uint32_t>(ByteAt(bytes, offset + i)) << (8 * i);
    offset += 4;
    if (count > kMaxHandOverRecordUnits) return fail("a record is longer than any hand-over holds");
    if ((bytes.size() - offset) / 2 < count) return fail("a record is longer than the rest of the file");
    std::u16string units(count, u'\0');
    for (std::uint32_t i = 0; i < count; ++i, offset += 2) {
      units[i] = static_cast<char16_t>(ByteAt(bytes, offset) | (ByteAt(bytes, offset + 1) << 8));
    }
    // A record is text up to its first null, as the composer reads it into a string.
    *text = CString(std::u16string_view(units.c_str()));
  }
  if (offset != bytes.size()) {
    reading.errorOffset = offset;
    reading.error = "the file goes on after its sixth record";
    return reading;
  }
  reading.strings = std::move(strings);
  return reading;
}
