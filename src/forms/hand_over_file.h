// The hand-over file ("ReComposer.tmp") the read form writes for the client's composer program: six
// records in a fixed order (To, Bcc, subject, account, message class, body), each a 32-bit
// little-endian count of UTF-16 code units followed by that many code units, little-endian.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "forms/hand_over.h"

// A record may hold at most this many code units: the longest recipient list or subject a message
// keeps is far below it, and a count above it marks a damaged file.
constexpr std::uint32_t kMaxHandOverRecordUnits = 1 << 20;

std::string EncodeHandOverFile(const HandOverStrings& strings);

struct HandOverReading {
  std::optional<HandOverStrings> strings;
  // Where the file went wrong, when it did: the byte offset of the record that could not be read.
  std::size_t errorOffset = 0;
  const char* error = nullptr;
};

// Reads the six records; a file that ends inside a record, names a record longer than the rest of
// the file or than kMaxHandOverRecordUnits, or carries bytes after the sixth record is refused.
HandOverReading ReadHandOverFile(std::string_view bytes);
