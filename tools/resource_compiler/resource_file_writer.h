// Writes the device's resource file:
//   "MMSRES01", then a 32-bit entry count, then per entry five 32-bit words (type, identifier,
//   variant, offset of the data from the file's start, size), then the data, each 4-byte aligned.
// The variant is 1 for everything but the bitmaps drawn at twice the density (variant 2).
#pragma once

#include <filesystem>
#include <string>

#include "resource_model.h"

namespace resource_compiler {

// False with a reason for a resource that cannot be encoded, a duplicate, or a failed write.
bool WriteResourceFile(const ResourceSet& set, const std::filesystem::path& path, std::string* error);

}  // namespace resource_compiler
