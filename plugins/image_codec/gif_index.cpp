#include "gif_index.h"

#include <algorithm>
#include <cstring>

#include <gif_lib.h>

namespace image_codec {
namespace {

// A bounded reader over the file in memory that giflib pulls its bytes from.
struct MemoryInput {
  const std::vector<uint8_t>* data = nullptr;
  size_t position = 0;
};

int ReadInput(GifFileType* gif, GifByteType* buffer, int size) {
  auto* input = static_cast<MemoryInput*>(gif->UserData);
  size_t count = std::min(static_cast<size_t>(size < 0 ? 0 : size), input->data->size() - input->position);
  if (count > 0) std::memcpy(buffer, input->data->data() + input->position, count);
  input->position += count;
  return static_cast<int>(count);
}

// Closes the giflib handle whatever happens.
struct GifReader {
  GifFileType* gif = nullptr;
  MemoryInput input;
  explicit GifReader(const std::vector<uint8_t>& data) {
    input.data = &data;
    int error = 0;
    gif = DGifOpen(&input, ReadInput, &error);
  }
  ~GifReader() {
    int error = 0;
    if (gif != nullptr) DGifCloseFile(gif, &error);
  }
  GifReader(const GifReader&) = delete;
  GifReader& operator=(const GifReader&) = delete;
};

std::vector<uint8_t> PaletteOf(const ColorMapObject* map) {
  std::vector<uint8_t> palette;
  if (map == nullptr || map->Colors == nullptr) return palette;
  int count = std::clamp(map->ColorCount, 0, 256);
  palette.assign(static_cast<size_t>(count) * 4, 0);
  for (int i = 0; i < count; ++i) {
    palette[i * 4] = map->Colors[i].Blue;
    palette[i * 4 + 1] = map->Colors[i].Green;
    palette[i * 4 + 2] = map->Colors[i].Red;
  }
  return palette;
}

bool ReadFile(StreamIo& io, std::vector<uint8_t>& data) {
  if (!io.Valid() || !io.Seek(0, kImageSeekBegin)) return false;
  uint8_t chunk[64 * 1024];
  while (data.size() < kMaxGifFileBytes) {
    int64_t got = io.ReadSome(chunk, static_cast<uint32_t>(std::min<size_t>(sizeof chunk, kMaxGifFileBytes - data.size())));
    if (got < 0) return false;
    if (got == 0) break;
    data.insert(data.end(), chunk, chunk + got);
  }
  return true;
}

// An extension: the graphic control values go to `pending`, the NETSCAPE2.0 loop to the index.
bool ReadExtension(GifFileType* gif, GifIndex& index, GifFrameRecord& pending) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  bool netscape = false;
  bool first = true;
  while (block != nullptr) {
    if (code == GRAPHICS_EXT_FUNC_CODE && first && block[0] >= 4) {
      pending.disposal = (block[1] >> 2) & 7;
      pending.delay = block[2] | (block[3] << 8);
      pending.transparentIndex = (block[1] & 1) != 0 ? block[4] : -1;
    } else if (code == APPLICATION_EXT_FUNC_CODE && first) {
      netscape = block[0] == 11 && std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0;
    } else if (netscape && block[0] >= 3 && block[1] == 1) {
      index.loop.hasLoop = 1;
      index.loop.loopCount = block[2] | (block[3] << 8);
    }
    first = false;
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

// The descriptor of the next frame and a pass over its data without decoding it.
bool ReadFrameRecord(GifReader& reader, GifFrameRecord& frame) {
  GifFileType* gif = reader.gif;
  frame.descriptorOffset = reader.input.position;
  if (DGifGetImageDesc(gif) == GIF_ERROR) return false;
  frame.left = gif->Image.Left;
  frame.top = gif->Image.Top;
  frame.width = gif->Image.Width;
  frame.height = gif->Image.Height;
  frame.interlaced = gif->Image.Interlace;
  frame.palette = PaletteOf(gif->Image.ColorMap);
  int codeSize = 0;
  GifByteType* block = nullptr;
  if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
  while (block != nullptr) {
    if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

}  // namespace

bool BuildGifIndex(StreamIo& io, GifIndex& index) {
  if (!ReadFile(io, index.data)) return false;
  GifReader reader(index.data);
  GifFileType* gif = reader.gif;
  if (gif == nullptr || !WithinLimits(gif->SWidth, gif->SHeight)) return false;
  index.screenWidth = gif->SWidth;
  index.screenHeight = gif->SHeight;
  index.backgroundIndex = gif->SBackGroundColor;
  index.globalPalette = PaletteOf(gif->SColorMap);
  index.globalBitsPerPixel = gif->SColorMap != nullptr ? gif->SColorMap->BitsPerPixel : 0;
  GifFrameRecord pending;
  GifRecordType type = UNDEFINED_RECORD_TYPE;
  while (index.frames.size() < IMAGE_CODEC_MAX_GIF_FRAMES && DGifGetRecordType(gif, &type) != GIF_ERROR &&
         type != TERMINATE_RECORD_TYPE) {
    if (type == EXTENSION_RECORD_TYPE) {
      if (!ReadExtension(gif, index, pending)) break;
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      if (!ReadFrameRecord(reader, pending)) break;
      index.frames.push_back(std::move(pending));
      pending = GifFrameRecord{};
    } else {
      break;
    }
  }
  return !index.frames.empty();
}

bool DecodeGifFrame(const GifIndex& index, const GifFrameRecord& frame, std::vector<uint8_t>& pixels) {
  if (!WithinLimits(frame.width, frame.height)) return false;
  GifReader reader(index.data);
  if (reader.gif == nullptr) return false;
  reader.input.position = frame.descriptorOffset;
  if (DGifGetImageDesc(reader.gif) == GIF_ERROR) return false;
  auto height = static_cast<size_t>(frame.height);
  auto visibleWidth = static_cast<size_t>(std::clamp(index.screenWidth - frame.left, 0, frame.width));
  auto visibleHeight = static_cast<size_t>(std::clamp(index.screenHeight - frame.top, 0, frame.height));
  pixels.assign(visibleWidth * visibleHeight, 0);
  if (pixels.empty()) return true;
  std::vector<GifPixelType> row(static_cast<size_t>(frame.width));
  // Interlaced rows arrive in four passes: every 8th from 0, every 8th from 4, every 4th from 2,
  // every 2nd from 1. Only the last pass may stop at the last visible row.
  static const size_t kStart[4] = {0, 4, 2, 1};
  static const size_t kStep[4] = {8, 8, 4, 2};
  int passes = frame.interlaced ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    size_t start = frame.interlaced ? kStart[pass] : 0;
    size_t step = frame.interlaced ? kStep[pass] : 1;
    size_t end = pass + 1 == passes ? visibleHeight : height;
    for (size_t y = start; y < end; y += step) {
      if (DGifGetLine(reader.gif, row.data(), frame.width) == GIF_ERROR) return false;
      if (y < visibleHeight) std::copy_n(row.begin(), visibleWidth, &pixels[y * visibleWidth]);
    }
  }
  return true;
}

}  // namespace image_codec
