// mmsform type: the media type of files by their names, or of a content type.
#include <algorithm>
#include <cstdio>
#include <string>

#include "command.h"
#include "type_text.h"
#include "model/media_types.h"
#include "platform/text/text_conversion.h"

namespace mmsform_tool {
namespace {

constexpr int kUsageError = 2;

std::string OrDash(std::string text) { return text.empty() ? "-" : text; }

void PrintFileType(const char* file, std::size_t nameWidth) {
  const MediaType type = TypeOfFile(platform::Utf8ToUtf16(file), true);
  std::printf("%-*s  %-10s  %-36s  %s\n", static_cast<int>(nameWidth), file, Hex(type).c_str(),
              OrDash(ContentTypeOfType(type)).c_str(), OrDash(ExtensionOfType(type, true).ToUtf8()).c_str());
}

int RunType(std::span<char* const> args) {
  if (args.empty()) {
    std::fprintf(stderr, "usage: mmsform type FILE... | mmsform type --content-type TYPE [FILE]\n");
    return kUsageError;
  }
  // The filter settings decide which extensions are known.
  EnableMediaTypes();
  if (std::string_view(args[0]) == "--content-type") {
    if (args.size() < 2 || args.size() > 3) {
      std::fprintf(stderr, "usage: mmsform type --content-type TYPE [FILE]\n");
      return kUsageError;
    }
    const std::u16string fileName = args.size() == 3 ? platform::Utf8ToUtf16(args[2]) : std::u16string();
    std::printf("%s\n", Hex(TypeOfContentType(args[1], fileName)).c_str());
    return 0;
  }
  std::size_t nameWidth = 0;
  for (const char* file : args) nameWidth = std::max(nameWidth, std::string_view(file).size());
  for (const char* file : args) PrintFileType(file, nameWidth);
  return 0;
}

const Command kTypeCommand("type", "type FILE... | type --content-type TYPE [FILE]   media type codes", RunType);

}  // namespace
}  // namespace mmsform_tool
