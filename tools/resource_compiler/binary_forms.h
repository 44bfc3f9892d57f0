// The binary forms of the device's resources, little-endian as on the device: string texts in
// UTF-16, menu templates (MENUITEMTEMPLATEHEADER and items), dialog templates (DLGTEMPLATE and
// DLGITEMTEMPLATE), bitmaps as packed 24-bit DIBs, and font records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resource_model.h"

namespace resource_compiler {

using Bytes = std::vector<std::uint8_t>;

// Resource types, with the device's numbers.
constexpr std::uint32_t kTypeBitmap = 2;
constexpr std::uint32_t kTypeMenu = 4;
constexpr std::uint32_t kTypeDialog = 5;
constexpr std::uint32_t kTypeString = 6;
constexpr std::uint32_t kTypeFont = 8;

// UTF-8 to UTF-16; false for malformed input.
bool Utf8ToUtf16(const std::string& text, std::u16string* out);

bool EncodeString(const StringResource& s, Bytes* out);
// A record of LONG pixel size at 96 dpi, LONG weight and the face name, null-terminated.
bool EncodeFont(const FontResource& f, Bytes* out);
bool EncodeMenu(const MenuResource& m, Bytes* out);
bool EncodeDialog(const DialogResource& d, Bytes* out);
// BITMAPINFOHEADER and bottom-up 24-bit rows padded to 4 bytes; `scale` repeats every pixel in
// both directions, for screens of twice the density.
Bytes EncodeBitmap(const BitmapResource& b, int scale);

}  // namespace resource_compiler
