// Decodes arbitrary bytes as an MMS PDU. Whatever decodes must encode to bytes that decode again
// with the same parts, and every name a part offers must clean to a plain file name.
#include <cstddef>
#include <cstdint>
#include <span>

#include "mm1/part_file_name.h"
#include "mm1/pdu_decoder.h"
#include "mm1/pdu_encoder.h"

namespace {

void CheckSafeName(const std::string& candidate) {
  std::string safe = mm1::SafePartFileName(candidate);
  if (safe.find_first_of("/\\") != std::string::npos || safe == "." || safe == ".." ||
      safe.size() > mm1::kMaxPartNameBytes || mm1::SafePartFileName(safe) != safe) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto pdu = mm1::DecodePdu(std::span(data, size));
  if (!pdu) {
    if (pdu.Failure().offset > size) __builtin_trap();
    return 0;
  }
  for (const mm1::Part& part : pdu.Value().parts) {
    CheckSafeName(part.contentLocation.value_or(""));
    CheckSafeName(part.Name());
    CheckSafeName(part.BareContentId());
  }
  auto encoded = mm1::EncodePdu(pdu.Value());
  if (!encoded) return 0;
  auto again = mm1::DecodePdu(encoded.Value());
  if (!again || again.Value().parts.size() != pdu.Value().parts.size()) __builtin_trap();
  for (std::size_t i = 0; i < pdu.Value().parts.size(); ++i) {
    auto before = pdu.Value().parts[i].data;
    auto after = again.Value().parts[i].data;
    if (before.size() != after.size() || !std::equal(before.begin(), before.end(), after.begin())) __builtin_trap();
  }
  return 0;
}
