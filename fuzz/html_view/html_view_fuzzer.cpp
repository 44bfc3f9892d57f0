// Writes the input as an HTML file of a scratch device, has the HTML view navigate to it, and
// paints the screen. Every link target handed out must keep to its bound.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/controls/html_document.h"
#include "platform/controls/html_view.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/device.h"
#include "platform/window/window_system.h"

namespace {

std::filesystem::path g_file;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  auto root = std::filesystem::temp_directory_path() / ("html-fuzz-" + std::to_string(getpid()));
  platform::OpenDevice(root, platform::RegistrySeed::kEmpty);
  platform::UseVirtualClock(true);
  InitHTMLControl(nullptr);
  g_file = *platform::HostPath(u"\\part.html");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const platform::html::Document document = platform::html::ParseHtml(text);
  for (const std::string& link : document.links) Check(link.size() <= platform::html::kMaxLinkTarget);
  std::ofstream(g_file, std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(size));
  HWND view = CreateWindowExW(0, kHtmlViewClass, u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                              nullptr, nullptr);
  SendMessageW(view, DTM_NAVIGATE, 0, reinterpret_cast<LPARAM>(u"file://\\part.html"));
  Check(platform::html::LinkCount(view) == static_cast<int>(document.links.size()));
  platform::window::PaintDirtyAreas();
  DestroyWindow(view);
  return 0;
}
