#include "engines/svg_library.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#include "platform/kernel/module_api.h"

namespace {

enum class SvgEntry {
  kCreatePlayer, kReleasePlayer, kOpenFile, kCloseFile, kSelectFile, kGetSvgInfo, kSetDisplayParam,
  kGetFirstFrame, kPlay, kPause, kStop, kZoomByPoint, kPan, kInvalidateRect, kSetEvent, kSetCallback, kPack, kCount
};

constexpr const char16_t* kNames[] = {
    u"AS_CreatePlayer", u"AS_ReleasePlayer", u"AS_OpenFile",     u"AS_CloseFile",      u"AS_SelectFile",
    u"AS_GetSVGInfo",   u"AS_SetDisplayParam", u"AS_GetFirstFrame", u"AS_Play",        u"AS_Pause",
    u"AS_Stop",         u"AS_ZoomByPoint",  u"AS_Pan",          u"AS_InvalidateRect", u"AS_SetEvent",
    u"AS_SetCallback",  u"AS_Pack"};
static_assert(std::size(kNames) == static_cast<size_t>(SvgEntry::kCount));

struct SvgLibrary {
  HMODULE module = nullptr;
  std::array<FARPROC, static_cast<size_t>(SvgEntry::kCount)> entries{};
};

// The SVG context of the process: the library record (and, for the forms, the player state kept
// by the views themselves).
struct SvgContext {
  SvgLibrary library;
  ~SvgContext() {
    if (library.module != nullptr) FreeLibrary(library.module);
  }
};

std::unique_ptr<SvgContext>& Context() {
  static std::unique_ptr<SvgContext> context;
  return context;
}

SvgContext* GetContext() {
  std::unique_ptr<SvgContext>& context = Context();
  if (context) return context.get();
  context = std::make_unique<SvgContext>();
  context->library.module = LoadLibraryW(u"svgplayback.dll");
  if (context->library.module == nullptr) {
    context.reset();
    return nullptr;
  }
  return context.get();
}

template <typename Function>
Function Entry(SvgEntry entry) {
  SvgContext* context = GetContext();
  if (context == nullptr) return nullptr;
  FARPROC& cached = context->library.entries[static_cast<size_t>(entry)];
  if (cached == nullptr) cached = GetProcAddressW(context->library.module, kNames[static_cast<size_t>(entry)]);
  return reinterpret_cast<Function>(cached);
}

template <typename Function, typename... Args>
int32_t Call(SvgEntry entry, int32_t failure, SvgPlayerHandle player, Args... args) {
  if (player == nullptr) return failure;
  auto function = Entry<Function>(entry);
  return function == nullptr ? failure : function(player, args...);
}

using DibPointer = std::unique_ptr<DibImage, DibImageDeleter>;

}  // namespace

SvgPlayerHandle AS_CreatePlayer() {
  auto function = Entry<AsCreatePlayerFn>(SvgEntry::kCreatePlayer);
  return function == nullptr ? nullptr : function();
}

int32_t AS_ReleasePlayer(SvgPlayerHandle player) {
  return Call<AsReleasePlayerFn>(SvgEntry::kReleasePlayer, 0, player);
}

SvgFileHandle AS_OpenFile(SvgPlayerHandle player, LPCWSTR path) {
  if (player == nullptr || path == nullptr) return nullptr;
  auto function = Entry<AsOpenFileFn>(SvgEntry::kOpenFile);
  return function == nullptr ? nullptr : function(player, path);
}

int32_t AS_CloseFile(SvgPlayerHandle player, SvgFileHandle file) {
  return file == nullptr ? -1 : Call<AsCloseFileFn>(SvgEntry::kCloseFile, -1, player, file);
}

int32_t AS_SelectFile(SvgPlayerHandle player, SvgFileHandle file) {
  return file == nullptr ? -1 : Call<AsSelectFileFn>(SvgEntry::kSelectFile, -1, player, file);
}

int32_t AS_GetSVGInfo(SvgPlayerHandle player, SvgInfo* info) {
  return info == nullptr ? -1 : Call<AsGetSvgInfoFn>(SvgEntry::kGetSvgInfo, -1, player, info);
}

int32_t AS_SetDisplayParam(SvgPlayerHandle player, const SvgDisplayParam* param) {
  return param == nullptr ? -1 : Call<AsSetDisplayParamFn>(SvgEntry::kSetDisplayParam, -1, player, param);
}

int32_t AS_GetFirstFrame(SvgPlayerHandle player, LPCWSTR path, SvgFrameRequest* request) {
  if (path == nullptr || request == nullptr) return -1;
  return Call<AsGetFirstFrameFn>(SvgEntry::kGetFirstFrame, -1, player, path, request);
}

int32_t AS_Play(SvgPlayerHandle player) { return Call<AsPlayFn>(SvgEntry::kPlay, 0, player); }

int32_t AS_Pause(SvgPlayerHandle player) { return Call<AsPauseFn>(SvgEntry::kPause, 0, player); }

int32_t AS_Stop(SvgPlayerHandle player, int32_t flag) { return Call<AsStopFn>(SvgEntry::kStop, -1, player, flag); }

int32_t AS_ZoomByPoint(SvgPlayerHandle player, int32_t x, int32_t y, int32_t factorPercent) {
  return Call<AsZoomByPointFn>(SvgEntry::kZoomByPoint, -1, player, x, y, factorPercent);
}

int32_t AS_Pan(SvgPlayerHandle player, int32_t dx, int32_t dy) { return Call<AsPanFn>(SvgEntry::kPan, -1, player, dx, dy); }

int32_t AS_InvalidateRect(SvgPlayerHandle player, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return Call<AsInvalidateRectFn>(SvgEntry::kInvalidateRect, -1, player, left, top, right, bottom);
}

int32_t AS_SetEvent(SvgPlayerHandle player, int32_t kind, int32_t x, int32_t y) {
  return Call<AsSetEventFn>(SvgEntry::kSetEvent, -1, player, kind, x, y);
}

int32_t AS_SetCallback(SvgPlayerHandle player, int32_t kind, void* callback, void* user) {
  return Call<AsSetCallbackFn>(SvgEntry::kSetCallback, -1, player, kind, callback, user);
}

int32_t AS_Pack(SvgPlayerHandle player, int32_t a, int32_t b, int32_t c, int32_t d) {
  return Call<AsPackFn>(SvgEntry::kPack, -1, player, a, b, c, d);
}

DibImage* RenderSvgFirstFrame(LPCWSTR path, LONG width, LONG height, DWORD) {
  if (path == nullptr || path[0] == 0 || width < 1 || height < 1) return nullptr;
  SvgPlayerHandle player = AS_CreatePlayer();
  if (player == nullptr) return nullptr;
  DibPointer rendered(CreateDibImage(width, height, 24));
  DibPointer flipped(CreateDibImage(width, height, 24));
  bool done = false;
  if (rendered && flipped) {
    SvgFrameBuffer buffer{DibPixels(rendered.get()),
                          static_cast<uint32_t>(DibStride(rendered.get()) * static_cast<size_t>(height))};
    SvgFrameRequest request{nullptr, nullptr, &buffer, 0, 0, width, height, 0, 0, 1, path};
    done = AS_GetFirstFrame(player, path, &request) == 0 &&
           rendered->header.biWidth == flipped->header.biWidth &&
           rendered->header.biHeight == flipped->header.biHeight &&
           rendered->header.biClrUsed == flipped->header.biClrUsed &&
           rendered->header.biSizeImage == flipped->header.biSizeImage;
    if (done) {
      size_t stride = DibStride(rendered.get());
      for (LONG y = 0; y < height; ++y) {
        std::memcpy(DibPixels(flipped.get()) + stride * static_cast<size_t>(height - 1 - y),
                    DibPixels(rendered.get()) + stride * static_cast<size_t>(y), stride);
      }
    }
  }
  AS_ReleasePlayer(player);
  return done ? flipped.release() : nullptr;
}

BOOL GetSvgInfo(LPCWSTR path, SvgInfo* info) {
  if (path == nullptr || path[0] == 0 || info == nullptr) return FALSE;
  SvgPlayerHandle player = AS_CreatePlayer();
  if (player == nullptr) return FALSE;
  SvgFileHandle file = AS_OpenFile(player, path);
  bool found = file != nullptr && AS_SelectFile(player, file) == 0 && AS_GetSVGInfo(player, info) == 0;
  if (file != nullptr) AS_CloseFile(player, file);
  AS_ReleasePlayer(player);
  return found ? TRUE : FALSE;
}

SIZE FitSvgSize(const SvgInfo& info, SIZE box) {
  double width = info.exactWidth > 0 ? info.exactWidth : info.width;
  double height = info.exactHeight > 0 ? info.exactHeight : info.height;
  if (width <= 0 || height <= 0 || box.cx < 1 || box.cy < 1) return SIZE{0, 0};
  double scale = std::min(box.cx / width, box.cy / height);
  LONG w = std::clamp<LONG>(static_cast<LONG>(std::ceil(width * scale)), 1, box.cx);
  LONG h = std::clamp<LONG>(static_cast<LONG>(std::ceil(height * scale)), 1, box.cy);
  return SIZE{w, h};
}

void DestroySvgContext() { Context().reset(); }
