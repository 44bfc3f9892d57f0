// An address that the quick reading takes must get the scheme number the library gives it after
// canonicalising. The first byte picks a scheme to put in front, so that most inputs reach the
// quick reading; the rest is UTF-8, or UTF-16 when the first byte is odd.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "device/link_detection.h"
#include "platform/text/cstring.h"
#include "platform/kernel/device.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace {

constexpr const char16_t* kFronts[] = {u"", u"http://", u"HTTPS://", u"ftp://", u"file://", u"gopher://", u"http://a.example"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  auto root = std::filesystem::temp_directory_path() / ("link-scheme-fuzz-" + std::to_string(getpid()));
  platform::OpenDevice(root, platform::RegistrySeed::kFactory);
  // Held for the whole run: libFuzzer keeps reading the coverage counters of a library it saw once.
  ULC_Global::GetGlobal()->LoadWinINet();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::u16string address = kFronts[(data[0] >> 1) % (sizeof kFronts / sizeof *kFronts)];
  if (data[0] & 1) {
    for (std::size_t i = 1; i + 1 < size; i += 2) address += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  } else {
    address += platform::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  }
  // The library reads up to the first null, as the scan's targets never hold one.
  address = address.substr(0, address.find(u'\0'));
  const std::optional<INTERNET_SCHEME> quick = link_scheme::OfPlainAddress(address);
  if (quick && quick != link_scheme::OfLibrary(CString(address).GetString())) __builtin_trap();
  return 0;
}
