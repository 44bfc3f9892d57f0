// The TIFF structure inside an EXIF APP1 segment: byte order, IFD0 and the EXIF IFD it points to.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "engines/exif_info.h"
#include "platform/win_types.h"

// Parses a TIFF block into `info` (cleared first). A block that ends early keeps the fields read up
// to its end and still gives 0; offsets that point outside the block or back into it are read no
// further than the block. `mask`, when given, receives the presence bits. Returns 0, or -1 when a
// copy could not be allocated.
int ParseTiff(const BYTE* block, DWORD length, ExifInfo* info, DWORD* mask);

// A bounded reader of TIFF values in the block's byte order.
class TiffCursor {
 public:
  TiffCursor(std::span<const uint8_t> block, bool bigEndian) : m_block(block), m_bigEndian(bigEndian) {}
  // "II" at the start means little-endian; anything else is read as big-endian.
  static TiffCursor ForBlock(std::span<const uint8_t> block);

  std::optional<uint16_t> U16(uint64_t offset) const;
  std::optional<uint32_t> U32(uint64_t offset) const;
  bool Contains(uint64_t offset, uint64_t count) const { return offset <= m_block.size() && count <= m_block.size() - offset; }
  const uint8_t* At(uint64_t offset) const { return m_block.data() + offset; }
  bool bigEndian() const { return m_bigEndian; }
  size_t size() const { return m_block.size(); }

 private:
  std::span<const uint8_t> m_block;
  bool m_bigEndian;
};
