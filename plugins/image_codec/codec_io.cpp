#include "codec_io.h"

namespace image_codec {

bool StreamIo::Read(void* buffer, uint32_t size) {
  return ReadSome(buffer, size) == static_cast<int64_t>(size);
}

int64_t StreamIo::ReadSome(void* buffer, uint32_t size) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  uint32_t total = 0;
  // A stream may deliver less than asked before its end; keep asking until it delivers nothing.
  while (total < size) {
    uint32_t done = 0;
    if (m_stream->ops->read(m_stream, bytes + total, size - total, &done) != 0) return -1;
    if (done == 0 || done > size - total) break;
    total += done;
  }
  return total;
}

bool StreamIo::Write(const void* buffer, uint32_t size) {
  return size == 0 || m_stream->ops->write(m_stream, buffer, size) == 0;
}

bool StreamIo::Seek(int64_t offset, int32_t origin) {
  if (offset < INT32_MIN || offset > INT32_MAX) return false;
  return m_stream->ops->seek(m_stream, static_cast<int32_t>(offset), origin) == 0;
}

int64_t StreamIo::Tell() { return m_stream->ops->tell(m_stream); }

bool ByteCursor::ReadU8(uint8_t& value) {
  if (remaining() < 1) return false;
  value = m_data[m_position++];
  return true;
}

bool ByteCursor::ReadLe16(uint16_t& value) {
  if (remaining() < 2) return false;
  value = static_cast<uint16_t>(m_data[m_position] | (m_data[m_position + 1] << 8));
  m_position += 2;
  return true;
}

bool ByteCursor::ReadLe32(uint32_t& value) {
  if (remaining() < 4) return false;
  value = static_cast<uint32_t>(m_data[m_position]) | (static_cast<uint32_t>(m_data[m_position + 1]) << 8) |
          (static_cast<uint32_t>(m_data[m_position + 2]) << 16) |
          (static_cast<uint32_t>(m_data[m_position + 3]) << 24);
  m_position += 4;
  return true;
}

bool ByteCursor::Skip(size_t count) {
  if (remaining() < count) return false;
  m_position += count;
  return true;
}

bool WithinLimits(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= IMAGE_CODEC_MAX_DIMENSION && height <= IMAGE_CODEC_MAX_DIMENSION &&
         width * height <= static_cast<int64_t>(IMAGE_CODEC_MAX_PIXELS);
}

DibView ReadDibView(const void* dibImage) {
  DibView view;
  if (dibImage == nullptr) return view;
  std::memcpy(&view.header, dibImage, sizeof(view.header));
  const ImageBitmapHeader& h = view.header;
  if (h.size != sizeof(ImageBitmapHeader) || h.compression != 0 || !WithinLimits(h.width, h.height < 0 ? -int64_t{h.height} : h.height)) {
    return view;
  }
  if (h.bitCount == 8) {
    uint32_t entries = h.clrUsed == 0 || h.clrUsed > 256 ? 256 : h.clrUsed;
    const auto* palette = static_cast<const uint8_t*>(dibImage) + sizeof(ImageBitmapHeader);
    view.palette.assign(palette, palette + entries * 4);
  } else if (h.bitCount != 24) {
    return view;
  }
  view.valid = true;
  return view;
}

void FillBitmapHeader(ImageBitmapHeader& header, int32_t width, int32_t height, int bitCount) {
  header = ImageBitmapHeader{};
  header.size = sizeof(ImageBitmapHeader);
  header.width = width;
  header.height = height;
  header.planes = 1;
  header.bitCount = static_cast<uint16_t>(bitCount);
  uint32_t stride = ((static_cast<uint32_t>(width) * bitCount + 31) / 32) * 4;
  header.sizeImage = stride * static_cast<uint32_t>(height);
  header.xPelsPerMeter = 3780;
  header.yPelsPerMeter = 3780;
  header.clrUsed = bitCount <= 8 ? (1u << bitCount) : 0;
}

}  // namespace image_codec
