// A second process for the registry tests: opens the device at ROOT and sets a DWORD value under
// HKEY_LOCAL_MACHINE, as another program on the phone would.
//   registry_writer ROOT SUBKEY NAME VALUE
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/kernel/device.h"
#include "platform/registry/registry.h"
#include "platform/text/text_conversion.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: registry_writer ROOT SUBKEY NAME VALUE\n");
    return 2;
  }
  std::string error;
  if (!platform::OpenDevice(argv[1], platform::RegistrySeed::kEmpty, &error)) {
    std::fprintf(stderr, "registry_writer: %s\n", error.c_str());
    return 1;
  }
  const std::u16string subKey = platform::Utf8ToUtf16(argv[2]);
  const std::u16string name = platform::Utf8ToUtf16(argv[3]);
  const DWORD value = static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10));
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      &disposition) != ERROR_SUCCESS ||
      RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) !=
          ERROR_SUCCESS) {
    std::fprintf(stderr, "registry_writer: cannot write the value\n");
    return 1;
  }
  RegCloseKey(key);
  platform::CloseDevice();
  return 0;
}
