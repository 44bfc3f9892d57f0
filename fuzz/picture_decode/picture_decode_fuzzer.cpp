// The first byte picks the family and the box; the rest is the picture. Decoding, GIF play, the
// EXIF reader and the segment copy all run on it from a memory stream.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engines/dib_image.h"
#include "engines/exif_reader.h"
#include "engines/gif_player.h"
#include "engines/image_decode.h"
#include "engines/jpeg_segments.h"
#include "platform/kernel/device.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  auto root = std::filesystem::temp_directory_path() / ("picture-fuzz-" + std::to_string(getpid()));
  platform::OpenDevice(root, platform::RegistrySeed::kEmpty);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const DWORD kTypes[] = {0x10001, 0x10002, 0x10003, 0x10004, 0x10005};
  DWORD type = kTypes[data[0] % 5];
  SIZE box{1 + (data[0] >> 3) * 8, 1 + (data[0] >> 3) * 6};
  std::span<const uint8_t> picture(data + 1, size - 1);
  auto stream = ImageStream::OpenMemory(picture);
  std::unique_ptr<DibImage, DibImageDeleter> image(DecodeStream(*stream, type, &box, 0xFFFFFFFF));
  if (type == 0x10002) {
    if (auto player = GifPlayer::Open(*stream, SIZE{32, 32}, 0)) {
      for (int frame = 0; frame < player->frameCount() && frame < 8; ++frame) player->RenderFrame(frame);
    }
  }
  if (type == 0x10001) {
    ExifInfo* info = nullptr;
    if (ReadExif(*stream, &info, kExifRecordWithMask) == 0) FreeExifInfo(info);
    std::vector<uint8_t> block;
    if (CopyAppSegments(*stream, block) == 0) {
      UpdateExifDimensions(block.data(), static_cast<DWORD>(block.size()), 320, 240);
    }
  }
  return 0;
}
