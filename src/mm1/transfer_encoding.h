// MIME content transfer encodings that some servers put on parts of a binary MMS message (a textual
// Content-Transfer-Encoding header): the part's file gets the decoded bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "mm1/pdu.h"

namespace mm1 {

// The part's Content-Transfer-Encoding in lower case, empty when it has none.
std::string TransferEncodingOf(const Part& part);

// The decoded bytes for "base64" and "quoted-printable"; nothing for any other encoding (the data is
// used as it is) or for data that does not decode.
std::optional<std::vector<std::uint8_t>> DecodeTransferEncoding(std::string_view encoding,
                                                                 std::span<const std::uint8_t> data);

}  // namespace mm1
