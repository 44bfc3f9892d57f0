// The calling interface of the SVG player library "svgplayback.dll" as the module drives it: the
// information, display-parameter and frame-request blocks, and the entry points. Paths are device
// paths in UTF-16. Entry points whose failure value is -1 return 0 on success.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* SvgPlayerHandle;
typedef void* SvgFileHandle;

// AS_GetSVGInfo: the picture's own size in pixels at 96 dpi, rounded up as well as exact.
struct SvgInfo {
  int32_t width;
  int32_t height;
  double exactWidth;
  double exactHeight;
};

// AS_SetDisplayParam: the area the player draws into, and the colour behind the picture
// (0x00BBGGRR).
struct SvgDisplayParam {
  int32_t width;
  int32_t height;
  uint32_t background;
};

// The frame callback (AS_SetCallback kind 0): a picture of the display area, 24-bit rows from the
// top, each `stride` bytes.
typedef void (*SvgFrameCallback)(void* user, const uint8_t* pixels, int32_t width, int32_t height, int32_t stride);
enum { kSvgCallbackFrame = 0 };

// The frame-buffer descriptor of AS_GetFirstFrame: rows of 24 bits from the top, stride x height bytes.
struct SvgFrameBuffer {
  uint8_t* pixels;
  uint32_t bytes;
};

// AS_GetFirstFrame's request: eleven words as the module fills them.
struct SvgFrameRequest {
  void* drawCallback;    // unused by the first frame
  void* secondCallback;  // unused by the first frame
  struct SvgFrameBuffer* buffer;
  int32_t reserved1;
  int32_t reserved2;
  int32_t width;
  int32_t height;
  int32_t reserved3;
  int32_t reserved4;
  int32_t one;
  const char16_t* path;
};

typedef SvgPlayerHandle (*AsCreatePlayerFn)(void);
typedef int32_t (*AsReleasePlayerFn)(SvgPlayerHandle player);
typedef SvgFileHandle (*AsOpenFileFn)(SvgPlayerHandle player, const char16_t* path);
typedef int32_t (*AsCloseFileFn)(SvgPlayerHandle player, SvgFileHandle file);
typedef int32_t (*AsSelectFileFn)(SvgPlayerHandle player, SvgFileHandle file);
typedef int32_t (*AsGetSvgInfoFn)(SvgPlayerHandle player, struct SvgInfo* info);
typedef int32_t (*AsSetDisplayParamFn)(SvgPlayerHandle player, const struct SvgDisplayParam* param);
typedef int32_t (*AsGetFirstFrameFn)(SvgPlayerHandle player, const char16_t* path, struct SvgFrameRequest* request);
typedef int32_t (*AsPlayFn)(SvgPlayerHandle player);
typedef int32_t (*AsPauseFn)(SvgPlayerHandle player);
typedef int32_t (*AsStopFn)(SvgPlayerHandle player, int32_t flag);
// The point stays where it is on the display; the factor is in percent (200 doubles the size).
typedef int32_t (*AsZoomByPointFn)(SvgPlayerHandle player, int32_t x, int32_t y, int32_t factorPercent);
typedef int32_t (*AsPanFn)(SvgPlayerHandle player, int32_t dx, int32_t dy);
typedef int32_t (*AsInvalidateRectFn)(SvgPlayerHandle player, int32_t left, int32_t top, int32_t right,
                                      int32_t bottom);
typedef int32_t (*AsSetEventFn)(SvgPlayerHandle player, int32_t kind, int32_t x, int32_t y);
typedef int32_t (*AsSetCallbackFn)(SvgPlayerHandle player, int32_t kind, void* callback, void* user);
typedef int32_t (*AsPackFn)(SvgPlayerHandle player, int32_t a, int32_t b, int32_t c, int32_t d);

// The largest SVG document taken, after decompression.
#define SVG_PLAYBACK_MAX_BYTES (8u * 1024u * 1024u)
// The largest area rendered, in pixels.
#define SVG_PLAYBACK_MAX_PIXELS (16u * 1024u * 1024u)

#ifdef __cplusplus
}
#endif
