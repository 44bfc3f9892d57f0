// PNG files of pixel surfaces: screenshots out, reference pictures in.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/gdi/surface.h"

namespace platform::gdi {

// Writes an 8-bit RGB PNG; false with a reason when the file cannot be written.
bool WritePng(const Surface& surface, const std::filesystem::path& path, std::string* error = nullptr);

// Reads a PNG of any colour type into a top-down colour surface; nothing when it cannot be read.
std::optional<Surface> ReadPng(const std::filesystem::path& path, std::string* error = nullptr);

}  // namespace platform::gdi
