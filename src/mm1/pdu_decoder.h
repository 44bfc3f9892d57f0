// Decoding an MMS PDU: headers, content type and multipart body.
#pragma once

#include <cstdint>
#include <span>

#include "mm1/pdu.h"
#include "mm1/result.h"
#include "mm1/wsp_cursor.h"

namespace mm1 {

constexpr std::size_t kMaxHeaders = 512;  // per PDU and per part
constexpr std::size_t kMaxParts = 1024;

// The PDU in `data`; the parts' data spans point into `data`, which must outlive the result.
// Never throws; a failure names what was wrong and the offset where it was found.
Result<Pdu> DecodePdu(std::span<const std::uint8_t> data);

// The multipart body in `cursor` (used by DecodePdu).
Status DecodeMultipart(WspCursor& cursor, Pdu& pdu);

}  // namespace mm1
