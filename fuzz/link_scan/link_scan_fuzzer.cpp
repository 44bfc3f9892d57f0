// Scans the input for links and checks what was found: ranges inside the text and in order, the
// display equal to the text of the range, the target classifying as the record's type.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "device/link_detection.h"
#include "platform/kernel/device.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  auto root = std::filesystem::temp_directory_path() / ("link-fuzz-" + std::to_string(getpid()));
  platform::OpenDevice(root, platform::RegistrySeed::kFactory);
  // Held for the whole run: libFuzzer keeps reading the coverage counters of a library it saw once.
  ULC_Global::GetGlobal()->LoadWinINet();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::u16string text;
  if (data[0] & 1) {
    for (std::size_t i = 1; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  } else {
    text = platform::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  }
  LinkList list;
  list.ScanLinks(text, true);
  std::int32_t next = 0;
  for (const LinkRecord& link : list.Links()) {
    Check(link.first >= next && link.last >= link.first);
    Check(static_cast<std::size_t>(link.last) < text.size());
    next = link.last + 1;
    const std::u16string_view range = std::u16string_view(text).substr(link.first, link.last - link.first + 1);
    Check(link.display.View() == range);
    Check(link.type >= kLinkFtp && link.type <= kLinkPhone);
    if (IsAddressLinkType(link.type)) {
      Check(ClassifyLink(link.target.View()) == link.type);
    }
  }
  return 0;
}
