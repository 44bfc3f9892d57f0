// The picture media types the codec adapter drives, and how an unknown type code is resolved.
#pragma once

#include "model/media_types.h"
#include "platform/win_types.h"

namespace picture_type {
constexpr MediaType kJpeg = 0x10001;
constexpr MediaType kGif = 0x10002;
constexpr MediaType kPng = 0x10003;
constexpr MediaType kBmp = 0x10004;
constexpr MediaType kWbmp = 0x10005;
constexpr MediaType kSvg = 0x10006;
}  // namespace picture_type

// The given code, or, when its kind is 0xFFFF or its format 0xFFFE (unknown), the type of the file
// name's extension.
MediaType ResolvePictureType(LPCWSTR path, MediaType typeCode);
