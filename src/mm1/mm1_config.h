// The MM1 library's default configuration, looked up by name by the module.
#pragma once

#include <cstdint>

namespace mm1 {

struct Mm1Config {
  std::uint32_t maxMessageSize;    // bytes; the largest message the user agent sends
  std::uint32_t receiveLimitType;  // 0: maxReceiveSize applies; 1: the network decides
  std::uint32_t maxReceiveSize;    // bytes
};

}  // namespace mm1

extern "C" const mm1::Mm1Config* mm1_config_get_default();
