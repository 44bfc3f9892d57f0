#include "platform/controls/html_pictures.h"

#include <algorithm>
#include <array>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "engines/image_codec_abi.h"
#include "platform/gdi/gdi_api.h"
#include "platform/kernel/module_api.h"

namespace platform::html {
namespace {

constexpr const WCHAR* kCodecLibrary = u"\\windows\\ImageDLL.dll";

// The codec's stream over bytes in memory.
struct MemoryStream {
  ImageCodecStream head;
  const std::string* bytes;
  std::size_t position;
};

int32_t ReadBytes(ImageCodecStream* stream, void* buffer, uint32_t size, uint32_t* done) {
  auto* memory = reinterpret_cast<MemoryStream*>(stream);
  const std::size_t left = memory->bytes->size() - std::min(memory->position, memory->bytes->size());
  const std::size_t count = std::min<std::size_t>(size, left);
  std::copy_n(memory->bytes->data() + memory->position, count, static_cast<char*>(buffer));
  memory->position += count;
  if (done) *done = static_cast<uint32_t>(count);
  return 0;
}

int32_t WriteBytes(ImageCodecStream*, const void*, uint32_t) { return -1; }

int32_t SeekBytes(ImageCodecStream* stream, int32_t offset, int32_t origin) {
  auto* memory = reinterpret_cast<MemoryStream*>(stream);
  const auto size = static_cast<long long>(memory->bytes->size());
  long long base = origin == kImageSeekBegin ? 0 : origin == kImageSeekEnd ? size : static_cast<long long>(memory->position);
  const long long target = base + offset;
  if (target < 0 || target > size) return -1;
  memory->position = static_cast<std::size_t>(target);
  return 0;
}

int32_t TellBytes(ImageCodecStream* stream) {
  return static_cast<int32_t>(reinterpret_cast<MemoryStream*>(stream)->position);
}

constexpr ImageCodecStreamOps kMemoryOps = {ReadBytes, WriteBytes, SeekBytes, TellBytes};

// The entry-point prefix of the codec family that reads the bytes, or null.
const char16_t* FamilyOf(const std::string& bytes, const std::filesystem::path& file) {
  auto starts = [&](std::string_view magic) { return bytes.compare(0, magic.size(), magic) == 0; };
  if (starts("\xFF\xD8\xFF")) return u"JPEG_";
  if (starts("\x89PNG\r\n\x1A\n")) return u"PNG_";
  if (starts("BM")) return u"BMP_";
  if (starts("GIF87a") || starts("GIF89a")) return u"GIF_";
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
  if (extension == ".wbmp" && starts(std::string_view("\0", 1))) return u"WBMP_";
  return nullptr;
}

// The library, freed when the decoding ends.
class CodecLibrary {
 public:
  CodecLibrary() : m_module(LoadLibraryW(kCodecLibrary)) {}
  ~CodecLibrary() {
    if (m_module) FreeLibrary(m_module);
  }
  CodecLibrary(const CodecLibrary&) = delete;
  CodecLibrary& operator=(const CodecLibrary&) = delete;

  template <typename Function>
  Function Entry(const char16_t* prefix, const char16_t* name) const {
    if (!m_module) return nullptr;
    return reinterpret_cast<Function>(GetProcAddressW(m_module, (std::u16string(prefix) + name).c_str()));
  }

 private:
  HMODULE m_module;
};

// The source rows, top down, each as `width` BGR pixels; false when a row cannot be had.
using RowSource = std::function<bool(BYTE* bgr)>;

// Reads every source row and samples the nearest of them into `pixels` (top-down, `stride` a row).
bool SampleRows(const RowSource& nextRow, int sourceWidth, int sourceHeight, int width, int height, BYTE* pixels,
                std::size_t stride) {
  std::vector<BYTE> row(static_cast<std::size_t>(sourceWidth) * 3);
  std::vector<int> columns(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x) columns[static_cast<std::size_t>(x)] = (2 * x + 1) * sourceWidth / (2 * width);
  int target = 0;
  for (int y = 0; y < sourceHeight && target < height; ++y) {
    if (!nextRow(row.data())) return false;
    // The rows of the target whose centres fall on this source row.
    while (target < height && (2 * target + 1) * sourceHeight / (2 * height) == y) {
      BYTE* out = pixels + static_cast<std::size_t>(target) * stride;
      for (int x = 0; x < width; ++x) {
        std::copy_n(row.data() + static_cast<std::size_t>(columns[static_cast<std::size_t>(x)]) * 3, 3, out + x * 3);
      }
      ++target;
    }
  }
  return target == height;
}

// A 24-bit top-down bitmap of `sourceWidth` x `sourceHeight` fitted into the box (never enlarged),
// filled from `nextRow`; null when it cannot be made.
HBITMAP FittedBitmap(const RowSource& nextRow, int sourceWidth, int sourceHeight, int maxWidth, int maxHeight) {
  const double scale = std::min({1.0, static_cast<double>(maxWidth) / sourceWidth,
                                 static_cast<double>(maxHeight) / sourceHeight});
  const int fittedWidth = std::max(1, static_cast<int>(sourceWidth * scale));
  const int fittedHeight = std::max(1, static_cast<int>(sourceHeight * scale));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = fittedWidth;
  info.bmiHeader.biHeight = -fittedHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const std::size_t stride = (static_cast<std::size_t>(fittedWidth) * 3 + 3) & ~std::size_t{3};
  if (bitmap && (!bits || !SampleRows(nextRow, sourceWidth, sourceHeight, fittedWidth, fittedHeight,
                                      static_cast<BYTE*>(bits), stride))) {
    DeleteObject(bitmap);
    bitmap = nullptr;
  }
  return bitmap;
}

// A GIF's first frame as it shows on its logical screen: the frame's palette colours, with the
// page's white wherever the frame is transparent or does not reach.
HBITMAP DecodeGif(const CodecLibrary& library, MemoryStream& stream, int maxWidth, int maxHeight) {
  auto init = library.Entry<ImageDecodeInitFn>(u"GIF_", u"DecodeInit");
  auto uninit = library.Entry<ImageUninitFn>(u"GIF_", u"DecodeUninit");
  auto globalInfo = library.Entry<ImageGifGetGlobInfoFn>(u"GIF_", u"DecodeGetGlobInfo");
  auto selectFrame = library.Entry<ImageGifSetFrameIndexFn>(u"GIF_", u"DecodeSetFrameIndex");
  auto frameInfo = library.Entry<ImageGifGetFrameInfoFn>(u"GIF_", u"DecodeGetFrameInfo");
  auto colourTable = library.Entry<ImageGetColorTabFn>(u"GIF_", u"DecodeGetColorTab");
  auto scanLines = library.Entry<ImageDecodeScanLinesFn>(u"GIF_", u"DecodeScanLines");
  if (!init || !uninit || !globalInfo || !selectFrame || !frameInfo || !colourTable || !scanLines) return nullptr;
  ImageCodecHandle handle = nullptr;
  if (init(&stream.head, &handle) != 0) return nullptr;
  HBITMAP bitmap = nullptr;
  ImageGifGlobalInfo screen{};
  ImageGifFrameInfo frame{};
  std::array<uint8_t, 256 * 4> palette{};
  uint32_t paletteBytes = palette.size();
  if (globalInfo(handle, &screen) == 0 && screen.screenWidth >= 1 && screen.screenHeight >= 1 &&
      screen.screenWidth <= kMaxPictureSide && screen.screenHeight <= kMaxPictureSide &&
      std::uint64_t{screen.screenWidth} * screen.screenHeight <= IMAGE_CODEC_MAX_PIXELS && screen.frameCount >= 1 && selectFrame(handle, 0) == 0 && frameInfo(handle, &frame) == 0 &&
      colourTable(handle, palette.data(), &paletteBytes) == 0) {
    const int width = screen.screenWidth, height = screen.screenHeight;
    const uint32_t colours = paletteBytes / 4;
    std::vector<uint8_t> indices(frame.width);
    int y = 0;
    auto nextRow = [&](BYTE* bgr) {
      std::fill_n(bgr, static_cast<std::size_t>(width) * 3, BYTE{0xFF});
      const bool inFrame = frame.width > 0 && y >= frame.top && y < frame.top + frame.height;
      ++y;
      if (!inFrame) return true;
      int32_t done = 0, reserved = 0;
      if (scanLines(handle, indices.data(), 1, &done, &reserved) != 0) return false;
      for (int x = 0; x < frame.width; ++x) {
        const uint8_t index = indices[static_cast<std::size_t>(x)];
        if (index == frame.transparentIndex || index >= colours) continue;
        std::copy_n(palette.data() + index * 4, 3, bgr + (frame.left + x) * 3);
      }
      return true;
    };
    bitmap = FittedBitmap(nextRow, width, height, maxWidth, maxHeight);
  }
  uninit(handle);
  return bitmap;
}

}  // namespace

HBITMAP DecodePicture(const std::filesystem::path& file, int maxWidth, int maxHeight) {
  if (maxWidth < 1 || maxHeight < 1) return nullptr;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error || size == 0 || size > kMaxPictureBytes) return nullptr;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::ifstream in(file, std::ios::binary);
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return nullptr;
  const char16_t* family = FamilyOf(bytes, file);
  if (!family) return nullptr;
  CodecLibrary library;
  MemoryStream stream{{&kMemoryOps}, &bytes, 0};
  if (std::u16string_view(family) == u"GIF_") return DecodeGif(library, stream, maxWidth, maxHeight);
  auto init = library.Entry<ImageDecodeInitFn>(family, u"DecodeInit");
  auto uninit = library.Entry<ImageUninitFn>(family, u"DecodeUninit");
  auto setDimension = library.Entry<ImageSetDimensionFn>(family, u"DecodeSetDimension");
  auto infoHeader = library.Entry<ImageGetInfoHeaderFn>(family, u"DecodeGetInfoHeader");
  auto scanLines = library.Entry<ImageDecodeScanLinesFn>(family, u"DecodeScanLines");
  auto infoFromFile = library.Entry<ImageGetInfoFromFileFn>(family, u"GetInfoFromFile");
  if (!init || !uninit || !setDimension || !infoHeader || !scanLines || !infoFromFile) return nullptr;
  int32_t width = 0, height = 0;
  if (infoFromFile(&stream.head, &width, &height, 0) != 0 || width < 1 || height < 1 || width > kMaxPictureSide ||
      height > kMaxPictureSide) {
    return nullptr;
  }
  stream.position = 0;
  ImageCodecHandle handle = nullptr;
  if (init(&stream.head, &handle) != 0) return nullptr;
  HBITMAP bitmap = nullptr;
  ImageBitmapHeader header{};
  int32_t requestWidth = width, requestHeight = height;
  if (setDimension(handle, &requestWidth, &requestHeight) == 0 && infoHeader(handle, &header) == 0 &&
      (header.bitCount == 24 || header.bitCount == 8) && header.width >= 1 && header.width <= kMaxPictureSide &&
      header.height != 0 && header.height >= -kMaxPictureSide && header.height <= kMaxPictureSide) {
    const int sourceWidth = header.width;
    const int pixelBytes = header.bitCount / 8;
    std::vector<BYTE> decoded(static_cast<std::size_t>(sourceWidth) * pixelBytes);
    auto nextRow = [&](BYTE* bgr) {
      int32_t done = 0, reserved = 0;
      if (scanLines(handle, decoded.data(), 1, &done, &reserved) != 0) return false;
      for (int x = 0; x < sourceWidth; ++x) {
        const BYTE* in = decoded.data() + static_cast<std::size_t>(x) * pixelBytes;
        bgr[x * 3] = in[0];
        bgr[x * 3 + 1] = pixelBytes == 3 ? in[1] : in[0];
        bgr[x * 3 + 2] = pixelBytes == 3 ? in[2] : in[0];
      }
      return true;
    };
    bitmap = FittedBitmap(nextRow, sourceWidth, header.height < 0 ? -header.height : header.height, maxWidth,
                          maxHeight);
  }
  uninit(handle);
  return bitmap;
}

}  // namespace platform::html
