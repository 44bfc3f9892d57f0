// Loads arbitrary bytes as the device's resource file and reads every entry it lists through the
// calls the toolkit uses: dialog templates parsed, menus built, strings and bitmaps loaded. Nothing
// may read outside the file, and every menu built must be destroyed again.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/controls/menu_api.h"
#include "platform/dialog/dialog_template.h"
#include "platform/gdi/gdi_api.h"
#include "platform/kernel/device.h"
#include "platform/kernel/module_api.h"
#include "platform/resources/resource_api.h"
#include "platform/resources/resource_file.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr const char16_t* kFile = u"\\windows\\fuzz.res";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const auto root = std::filesystem::temp_directory_path() / "mmsform-fuzz-resources";
  std::filesystem::remove_all(root);
  Check(platform::OpenDevice(root, platform::RegistrySeed::kEmpty));
  std::filesystem::create_directories(*platform::HostPath(u"\\windows"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto table = platform::resources::ResourceFile::FromBytes(std::vector<BYTE>(data, data + size));
  {
    std::ofstream out(*platform::HostPath(kFile), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  HMODULE module = LoadLibraryExW(kFile, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  Check(static_cast<bool>(table) == (module != nullptr));
  if (!module) return 0;
  for (const platform::resources::ResourceEntry& entry : table->Entries()) {
    Check(entry.data.size() <= size);
    const LPCWSTR id = MAKEINTRESOURCEW(entry.id & 0xFFFF);
    switch (entry.type) {
      case 2:
        if (HBITMAP bitmap = LoadBitmapW(module, id)) DeleteObject(bitmap);
        break;
      case 4:
        if (HMENU menu = LoadMenuW(module, id)) Check(DestroyMenu(menu));
        break;
      case 5: {
        platform::dialog::TemplateError error;
        if (auto parsed = platform::dialog::ParseDialogTemplate(entry.data, &error)) {
          Check(parsed->items.size() <= platform::dialog::kMaxDialogItems);
        } else {
          Check(error.offset <= entry.data.size());
        }
        break;
      }
      case 6: {
        WCHAR buffer[64];
        const int length = LoadStringW(module, entry.id, buffer, 64);
        Check(length >= 0 && length < 64 && buffer[length] == 0);
        break;
      }
      default: break;
    }
  }
  Check(FreeLibrary(module));
  return 0;
}
