// The WSP assigned numbers that MMS content types use: well-known media types (WAP-230-WSP
// Table 40 with the WINA additions) and well-known parameter tokens (Table 38).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mm1 {

// The media type of a well-known code; empty when the code is not assigned.
std::string_view WellKnownMediaType(std::uint32_t code);
// The code of a media type, compared exactly as the table spells it, so that a re-encoded type
// reads back with the same spelling.
std::optional<std::uint8_t> WellKnownMediaCode(std::string_view mediaType);

// How the value of a typed parameter is encoded.
enum class ParameterKind : std::uint8_t {
  kText,       // Text-value or Text-string
  kInteger,    // Integer-value
  kCharset,    // Well-known-charset
  kMedia,      // Constrained-encoding: a media type as text or a well-known code
  kDate,       // Date-value (Long-integer, seconds since 1970)
  kQ,          // Q-value (uintvar)
  kVersion,    // Version-value (Short-integer or Text-string)
  kNoValue,    // No-value (a single 0 octet)
};

struct ParameterToken {
  std::uint8_t token;
  std::string_view name;  // lower case
  ParameterKind kind;
};

const ParameterToken* FindParameterToken(std::uint32_t token);
// The token to encode a named parameter with (the WSP 1.2 tokens, which every decoder knows).
const ParameterToken* FindParameterTokenByName(std::string_view name);

}  // namespace mm1
