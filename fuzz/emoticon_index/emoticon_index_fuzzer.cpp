// Parses arbitrary bytes as an emoticon index. A failure leaves no emoticons; a success has one
// picture per text, no more than COUNT allows, every picture named inside the folder and every
// value within its length.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/kernel/device.h"
#include "ui/emoticon_set.h"

namespace {

constexpr std::u16string_view kFolder = u"\\My Documents\\UAContents\\Emoticon\\";

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The code page that the index's 8-bit text is read in is a device setting.
  auto root = std::filesystem::temp_directory_path() / ("emoticon-fuzz-" + std::to_string(getpid()));
  platform::OpenDevice(root, platform::RegistrySeed::kFactory);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const EmoticonIndexParse parse = ParseEmoticonIndex(text, kFolder);
  Check(parse.texts.size() == parse.pictures.size());
  if (!parse.ok()) {
    Check(parse.texts.empty());
    return 0;
  }
  Check(parse.texts.size() <= static_cast<std::size_t>(kMaxEmoticons));
  for (std::size_t i = 0; i < parse.texts.size(); ++i) {
    Check(static_cast<std::size_t>(parse.texts[i].GetLength()) <= kMaxEmoticonValue);
    const std::u16string_view path = parse.pictures[i].path.View();
    Check(path.substr(0, kFolder.size()) == kFolder);
    Check(path.find(u"\\..\\") == std::u16string_view::npos && path.find(u':') == std::u16string_view::npos);
    Check(parse.pictures[i].type == kEmoticonPictureType);
  }
  return 0;
}
