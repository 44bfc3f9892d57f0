// The calling interface of the picture codec library "ImageDLL.dll" as the module drives it: the
// stream the codecs read and write through, the records they fill, and the signature of every entry
// point. Plain C types only, so that the library can be built on its own against this header.
// Every entry point returns 0 on success and non-zero on failure.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Origins of ImageCodecStreamOps::seek.
enum { kImageSeekBegin = 0, kImageSeekEnd = 1, kImageSeekCurrent = 2 };

struct ImageCodecStream;

// The byte I/O a stream offers the codecs. read sets *done to the bytes delivered (fewer only at
// the end); write fails unless it wrote everything; seek returns 0 or -1; tell returns the position
// or -1.
struct ImageCodecStreamOps {
  int32_t (*read)(struct ImageCodecStream* stream, void* buffer, uint32_t size, uint32_t* done);
  int32_t (*write)(struct ImageCodecStream* stream, const void* buffer, uint32_t size);
  int32_t (*seek)(struct ImageCodecStream* stream, int32_t offset, int32_t origin);
  int32_t (*tell)(struct ImageCodecStream* stream);
};

// The head of every stream handed to the codecs; the owner keeps its own state after it.
struct ImageCodecStream {
  const struct ImageCodecStreamOps* ops;
};

// The bitmap header of a decoded picture or of a picture to encode (the layout of the device's
// BITMAPINFOHEADER, 40 bytes).
struct ImageBitmapHeader {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};

// PNG_DecodeGetPngInfo: 40 bytes describing the file and how the rows are delivered.
struct ImagePngInfo {
  uint32_t width;
  uint32_t height;
  uint32_t bitDepth;
  uint32_t colorType;
  uint32_t interlaced;
  uint32_t channels;
  uint32_t rowBuffers;  // full rows the caller keeps at once; rows are delivered ready to use
  uint32_t hasTransparency;
  uint32_t paletteEntries;
  uint32_t reserved;
};

// GIF_DecodeGetGlobInfo and GIF_EncodeSetGlobalInfo.
struct ImageGifGlobalInfo {
  uint16_t screenWidth;
  uint16_t screenHeight;
  int32_t hasGlobalColorTable;
  int32_t bitsPerPixel;  // depth of the global colour table
  int32_t backgroundIndex;
  int32_t frameCount;
};

// GIF_DecodeGetFrameInfo and GIF_EncodeSetFrameInfo. The decoder reports the rectangle clipped to
// the logical screen; a frame wholly outside it has width or height 0.
struct ImageGifFrameInfo {
  uint16_t left;
  uint16_t top;
  uint16_t width;
  uint16_t height;
  int32_t hasLocalColorTable;
  int32_t frameIndex;
  int32_t bitsPerPixel;       // depth of the local colour table
  int32_t delay;              // hundredths of a second
  int32_t transparentIndex;   // -1: none
  int32_t disposal;
};

// GIF_GetGifInfo and GIF_EncodeSetLoop: the loop settings of the NETSCAPE2.0 extension.
struct ImageGifLoopInfo {
  int32_t hasLoop;
  int32_t loopCount;  // 0: for ever
};

// Encoder description for GIF_EncodeInit.
struct ImageGifEncoderInfo {
  int32_t bitsPerPixel;  // 8
};

typedef struct ImageCodecStream* ImageStreamArg;
typedef void* ImageCodecHandle;

// Shared shapes of the entry points; each family exports them under its own prefix.
typedef int32_t (*ImageDecodeInitFn)(ImageStreamArg stream, ImageCodecHandle* handle);
typedef int32_t (*ImageUninitFn)(ImageCodecHandle handle);
typedef int32_t (*ImageSetDimensionFn)(ImageCodecHandle handle, int32_t* width, int32_t* height);
typedef int32_t (*ImageGetInfoHeaderFn)(ImageCodecHandle handle, struct ImageBitmapHeader* header);
typedef int32_t (*ImageDecodeScanLinesFn)(ImageCodecHandle handle, uint8_t* row, int32_t rows,
                                          int32_t* rowsDone, int32_t* reserved);
typedef int32_t (*ImageGetColorTabFn)(ImageCodecHandle handle, uint8_t* buffer, uint32_t* byteCount);
typedef int32_t (*ImageGetMaskFn)(ImageCodecHandle handle, uint32_t* masks);
typedef int32_t (*ImageEncodeInitFn)(ImageStreamArg stream, const void* dibImage, ImageCodecHandle* handle);
typedef int32_t (*ImageEncodeScanLinesFn)(ImageCodecHandle handle, int32_t rowFromTop, int32_t rows,
                                          const uint8_t* pixels, int32_t reserved);
typedef int32_t (*ImageSetQualityFn)(ImageCodecHandle handle, int32_t quality);
typedef int32_t (*ImageSetColorTabFn)(ImageCodecHandle handle, const uint8_t* palette, int32_t entries);
typedef int32_t (*ImageGetInfoFromFileFn)(ImageStreamArg stream, int32_t* width, int32_t* height,
                                          int32_t reserved);
typedef int32_t (*ImageSetExifDataFn)(ImageCodecHandle handle, const uint8_t* block, uint32_t length);
typedef int32_t (*ImageGetPngInfoFn)(ImageCodecHandle handle, struct ImagePngInfo* info);
typedef int32_t (*ImageGifGetGlobInfoFn)(ImageCodecHandle handle, struct ImageGifGlobalInfo* info);
typedef int32_t (*ImageGifSetFrameIndexFn)(ImageCodecHandle handle, int32_t index);
typedef int32_t (*ImageGifGetFrameInfoFn)(ImageCodecHandle handle, struct ImageGifFrameInfo* info);
typedef int32_t (*ImageGifEncodeInitFn)(ImageStreamArg stream, const struct ImageGifEncoderInfo* info,
                                        ImageCodecHandle* handle);
typedef int32_t (*ImageGifSetGlobalInfoFn)(ImageCodecHandle handle, const struct ImageGifGlobalInfo* info);
typedef int32_t (*ImageGifSetFrameInfoFn)(ImageCodecHandle handle, const struct ImageGifFrameInfo* info);
typedef int32_t (*ImageGifGetDurationFn)(ImageStreamArg stream, int32_t* hundredths);
typedef int32_t (*ImageGifGetGifInfoFn)(ImageStreamArg stream, struct ImageGifLoopInfo* info);
typedef int32_t (*ImageGifSetLoopFn)(ImageCodecHandle handle, const struct ImageGifLoopInfo* info);

// The largest picture the library decodes or encodes, in pixels (width x height); larger ones fail
// at the header so that memory stays bounded whatever a file claims.
#define IMAGE_CODEC_MAX_PIXELS (64u * 1024u * 1024u)
// The largest width or height accepted.
#define IMAGE_CODEC_MAX_DIMENSION 65535u
// A GIF's frames beyond this count are ignored.
#define IMAGE_CODEC_MAX_GIF_FRAMES 4096

#ifdef __cplusplus
}
#endif
