// SHA-256 of bytes as lower-case hex, the form the corpus's expected values give picture data in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

std::string Sha256Hex(const std::vector<uint8_t>& bytes);

}  // namespace test_support
