#include "device_wallpaper.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "device_file.h"
#include "device_writing.h"
#include "engines/wallpaper.h"
#include "model/media_types.h"
#include "platform/window/window_api.h"

namespace mmsform_tool {

int RunWallpaper(std::span<char* const> args) {
  int transparency = 255;
  bool usage = args.size() != 1 && args.size() != 3;
  if (args.size() == 3) {
    char* end = nullptr;
    const long level = std::strtol(args[2], &end, 10);
    usage = std::string_view(args[1]) != "--transparency" || *args[2] == 0 || *end != 0 || level < 0 || level > 255;
    transparency = static_cast<int>(level);
  }
  if (usage) {
    std::fprintf(stderr, "usage: mmsform device wallpaper FILE [--transparency 0..255]\n");
    return 2;
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(args[0], error)) {
    std::fprintf(stderr, "mmsform device wallpaper: no file %s\n", args[0]);
    return 1;
  }
  CleanUpBeforeWriting();
  DeviceInput input(args[0]);
  WallpaperRequest request;
  request.picture = CString(input.path());
  request.mediaType = media_type::kNone;
  request.transparency = transparency;
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  request.portrait = SIZE{std::min(width, height), std::max(width, height)};
  request.landscape = SIZE{std::max(width, height), std::min(width, height)};
  if (!SetWallpaper(request)) {
    std::fprintf(stderr, "mmsform device wallpaper: %s could not be made into a wallpaper%s\n", args[0],
                 StorageCause().c_str());
    return 1;
  }
  // The files the home screen now shows, one per orientation.
  const auto windows = platform::HostPath(u"\\windows");
  for (const auto& entry : std::filesystem::directory_iterator(*windows, error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("tdywater_") || name.starts_with("stwater_")) std::printf("\\windows\\%s\n", name.c_str());
  }
  return 0;
}

}  // namespace mmsform_tool
