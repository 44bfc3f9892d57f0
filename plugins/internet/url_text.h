// Addresses as RFC 3986 text: the canonical form of an address (normalised, with everything the
// syntax cannot hold percent-encoded) and its split into components.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace internet {

// The canonical form of `url` as ASCII, or nothing when it cannot be made a URI reference even
// with its delimiters percent-encoded. `keepQuery` leaves the query and fragment as written
// (apart from encoding what they cannot hold).
std::optional<std::string> CanonicalUrl(std::u16string_view url, bool keepQuery);

struct UrlRange {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

struct UrlParts {
  UrlRange scheme, host, user, password, path, extra;
  std::int32_t schemeNumber = -1;
  std::uint16_t port = 0;
};

enum class SplitError { kNone, kInvalid, kNoScheme };

// Splits an absolute address; offsets count UTF-16 units of `url`. Characters outside ASCII are
// taken as ordinary characters of the component they stand in.
SplitError SplitUrl(std::u16string_view url, UrlParts* parts);

}  // namespace internet
