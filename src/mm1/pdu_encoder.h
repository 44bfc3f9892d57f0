// Encoding an MMS PDU from the same structure the decoder fills.
#pragma once

#include <cstdint>
#include <vector>

#include "mm1/pdu.h"
#include "mm1/result.h"

namespace mm1 {

// The PDU as bytes: message type, transaction id and version first, the content type last and the
// body after it. Fails on values that cannot be encoded (a text holding a null character, a raw
// header that is not one well-formed field value, a part over 4 GB).
Result<std::vector<std::uint8_t>> EncodePdu(const Pdu& pdu);

}  // namespace mm1
