// "svgplayback.dll": players that open SVG and SVGZ files, report their size and draw them (first
// frames into the caller's buffer, the display area through the frame callback) with zoom and pan.
// librsvg draws no SVG animation, so playing shows the still picture; events change nothing.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include "engines/svg_playback_abi.h"
#include "platform/kernel/device.h"
#include "svg_document.h"

#define SVG_EXPORT extern "C" __attribute__((visibility("default")))

using svg_playback::SvgDocument;

namespace {

struct Player {
  std::set<SvgDocument*> files;
  std::vector<std::shared_ptr<SvgDocument>> owned;
  SvgDocument* current = nullptr;
  SvgDisplayParam display{0, 0, 0x00FFFFFF};
  SvgFrameCallback frameCallback = nullptr;
  void* frameUser = nullptr;
  double zoom = 1.0;
  double panX = 0.0;
  double panY = 0.0;
  bool playing = false;
  std::vector<uint8_t> frame;  // the last drawing of the display area
};

std::set<Player*>& Players() {
  static std::set<Player*> players;
  return players;
}

Player* Live(SvgPlayerHandle handle) {
  auto* player = static_cast<Player*>(handle);
  return Players().count(player) != 0 ? player : nullptr;
}

// The document of a file; the last one read is kept while the file holds the same bytes, since a
// view asks for a picture's size and then its first frame. Size and write time do not tell: a file
// rewritten within one tick of the file clock, or copied with its time, keeps both.
std::shared_ptr<SvgDocument> OpenPath(const char16_t* path) {
  if (path == nullptr || path[0] == 0) return nullptr;
  auto host = platform::HostPath(path);
  if (!host) return nullptr;
  std::vector<uint8_t> bytes = SvgDocument::ReadFile(*host);
  if (bytes.empty()) return nullptr;
  static struct {
    std::vector<uint8_t> bytes;
    std::shared_ptr<SvgDocument> document;
  } last;
  if (last.document && last.bytes == bytes) return last.document;
  std::shared_ptr<SvgDocument> document = SvgDocument::Load(bytes);
  if (document) last = {std::move(bytes), document};
  return document;
}

// Draws the current file into the display area and hands it to the frame callback.
int32_t Redraw(Player& player) {
  if (player.current == nullptr || player.display.width < 1 || player.display.height < 1) return -1;
  int stride = (player.display.width * 3 + 3) & ~3;
  player.frame.assign(static_cast<size_t>(stride) * static_cast<size_t>(player.display.height), 0);
  if (!player.current->Render(player.frame.data(), player.display.width, player.display.height, stride,
                              player.display.background, player.zoom, player.panX, player.panY)) {
    return -1;
  }
  if (player.frameCallback != nullptr) {
    player.frameCallback(player.frameUser, player.frame.data(), player.display.width, player.display.height, stride);
  }
  return 0;
}

}  // namespace

SVG_EXPORT SvgPlayerHandle AS_CreatePlayer() {
  auto* player = new Player;
  Players().insert(player);
  return player;
}

SVG_EXPORT int32_t AS_ReleasePlayer(SvgPlayerHandle handle) {
  Player* player = Live(handle);
  if (player == nullptr) return 0;
  Players().erase(player);
  delete player;
  return 1;
}

SVG_EXPORT SvgFileHandle AS_OpenFile(SvgPlayerHandle handle, const char16_t* path) {
  Player* player = Live(handle);
  if (player == nullptr) return nullptr;
  std::shared_ptr<SvgDocument> document = OpenPath(path);
  if (!document) return nullptr;
  SvgDocument* file = document.get();
  player->owned.push_back(std::move(document));
  player->files.insert(file);
  return file;
}

SVG_EXPORT int32_t AS_CloseFile(SvgPlayerHandle handle, SvgFileHandle file) {
  Player* player = Live(handle);
  auto* document = static_cast<SvgDocument*>(file);
  if (player == nullptr || player->files.count(document) == 0) return -1;
  // The same document comes back for each opening of the same bytes: one closing ends one opening.
  auto same = [document](const std::shared_ptr<SvgDocument>& owned) { return owned.get() == document; };
  player->owned.erase(std::find_if(player->owned.begin(), player->owned.end(), same));
  if (std::any_of(player->owned.begin(), player->owned.end(), same)) return 0;
  player->files.erase(document);
  if (player->current == document) {
    player->current = nullptr;
    player->playing = false;
  }
  return 0;
}

SVG_EXPORT int32_t AS_SelectFile(SvgPlayerHandle handle, SvgFileHandle file) {
  Player* player = Live(handle);
  auto* document = static_cast<SvgDocument*>(file);
  if (player == nullptr || player->files.count(document) == 0) return -1;
  player->current = document;
  player->zoom = 1.0;
  player->panX = player->panY = 0.0;
  return 0;
}

SVG_EXPORT int32_t AS_GetSVGInfo(SvgPlayerHandle handle, SvgInfo* info) {
  Player* player = Live(handle);
  if (player == nullptr || info == nullptr || player->current == nullptr) return -1;
  *info = SvgInfo{static_cast<int32_t>(std::ceil(player->current->width())),
                  static_cast<int32_t>(std::ceil(player->current->height())), player->current->width(),
                  player->current->height()};
  return 0;
}

SVG_EXPORT int32_t AS_SetDisplayParam(SvgPlayerHandle handle, const SvgDisplayParam* param) {
  Player* player = Live(handle);
  if (player == nullptr || param == nullptr || param->width < 0 || param->height < 0 ||
      static_cast<uint64_t>(param->width) * static_cast<uint64_t>(param->height) > SVG_PLAYBACK_MAX_PIXELS) {
    return -1;
  }
  player->display = *param;
  return 0;
}

SVG_EXPORT int32_t AS_GetFirstFrame(SvgPlayerHandle handle, const char16_t* path, SvgFrameRequest* request) {
  Player* player = Live(handle);
  if (player == nullptr || request == nullptr || request->buffer == nullptr || request->buffer->pixels == nullptr ||
      request->width < 1 || request->height < 1) {
    return -1;
  }
  uint64_t stride = (static_cast<uint64_t>(request->width) * 24 + 31) / 32 * 4;
  if (stride * static_cast<uint64_t>(request->height) > request->buffer->bytes) return -1;
  std::shared_ptr<SvgDocument> document = OpenPath(path);
  if (!document) return -1;
  return document->Render(request->buffer->pixels, request->width, request->height, static_cast<int>(stride),
                          0x00FFFFFF)
             ? 0
             : -1;
}

SVG_EXPORT int32_t AS_Play(SvgPlayerHandle handle) {
  Player* player = Live(handle);
  if (player == nullptr || Redraw(*player) != 0) return 0;
  player->playing = true;
  return 1;
}

SVG_EXPORT int32_t AS_Pause(SvgPlayerHandle handle) {
  Player* player = Live(handle);
  if (player == nullptr || player->current == nullptr) return 0;
  player->playing = false;
  return 1;
}

SVG_EXPORT int32_t AS_Stop(SvgPlayerHandle handle, int32_t) {
  Player* player = Live(handle);
  if (player == nullptr) return -1;
  player->playing = false;
  player->zoom = 1.0;
  player->panX = player->panY = 0.0;
  return 0;
}

SVG_EXPORT int32_t AS_ZoomByPoint(SvgPlayerHandle handle, int32_t x, int32_t y, int32_t factorPercent) {
  Player* player = Live(handle);
  if (player == nullptr || factorPercent <= 0) return -1;
  double factor = factorPercent / 100.0;
  double zoom = std::clamp(player->zoom * factor, 0.05, 64.0);
  factor = zoom / player->zoom;
  // The point under (x, y) stays put: pan' = p - (p - pan) * factor.
  player->panX = x - (x - player->panX) * factor;
  player->panY = y - (y - player->panY) * factor;
  player->zoom = zoom;
  return Redraw(*player);
}

SVG_EXPORT int32_t AS_Pan(SvgPlayerHandle handle, int32_t dx, int32_t dy) {
  Player* player = Live(handle);
  if (player == nullptr) return -1;
  player->panX += dx;
  player->panY += dy;
  return Redraw(*player);
}

SVG_EXPORT int32_t AS_InvalidateRect(SvgPlayerHandle handle, int32_t, int32_t, int32_t, int32_t) {
  Player* player = Live(handle);
  return player == nullptr ? -1 : Redraw(*player);
}

// Pointer and key events drive SVG interactivity, which librsvg does not have: accepted, no effect.
SVG_EXPORT int32_t AS_SetEvent(SvgPlayerHandle handle, int32_t, int32_t, int32_t) {
  return Live(handle) == nullptr ? -1 : 0;
}

SVG_EXPORT int32_t AS_SetCallback(SvgPlayerHandle handle, int32_t kind, void* callback, void* user) {
  Player* player = Live(handle);
  if (player == nullptr || kind != kSvgCallbackFrame) return -1;
  player->frameCallback = reinterpret_cast<SvgFrameCallback>(callback);
  player->frameUser = user;
  return 0;
}

// Drops the last drawing kept for the display area (memory given back after opening a file).
SVG_EXPORT int32_t AS_Pack(SvgPlayerHandle handle, int32_t, int32_t, int32_t, int32_t) {
  Player* player = Live(handle);
  if (player == nullptr) return -1;
  std::vector<uint8_t>().swap(player->frame);
  return 0;
}
