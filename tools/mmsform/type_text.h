// A media type code as the host program prints it ("0x20003").
#pragma once

#include <cstdio>
#include <string>

#include "model/media_types.h"

namespace mmsform_tool {

inline std::string Hex(MediaType type) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", type);
  return text;
}

}  // namespace mmsform_tool
