// Parses arbitrary text as a presentation and builds slides from it against a fixed set of parts.
// A model that builds is written with the SMIL writer; that text must parse and build to as many
// slides again.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "model/smil_writer.h"
#include "platform/kernel/device.h"
#include "presentation/slide_builder.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void AddParts(MessageModel& model) {
  const struct {
    std::u16string_view name;
    MediaType type;
    std::u16string_view contentId;
  } parts[] = {{u"a.jpg", 0x10001, u"<a>"}, {u"b.gif", 0x10002, u"<1>"}, {u"t.txt", 0x30001, u"<text_0>"},
               {u"s.amr", 0x20003, u""},    {u"v.3gp", 0x40005, u"<v>"}, {u"c.vcf", 0x50001, u""}};
  for (const auto& part : parts) {
    MediaPart& added = *AddPartOfType(model, part.name, part.type);
    added.contentLocation = CString(part.name);
    added.contentId = CString(part.contentId);
  }
}

SlideBuildStatus Build(std::string_view text, MessageModel& model) {
  AddParts(model);
  const auto presentation = ParsePresentation(text);
  if (!presentation) {
    return SlideBuildStatus::kNoPresentation;
  }
  return BuildSlidesFromPresentation(*presentation, model.layout, model.slides, model.parts, u"\\parts\\");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Settings come from a device of the fuzzer's own, never from the user's.
  const auto root = std::filesystem::temp_directory_path() / "mmsform-smil-fuzz-device";
  platform::OpenDevice(root, platform::RegistrySeed::kEmpty);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MessageModel model;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (Build(text, model) != SlideBuildStatus::kOk) {
    ResetModel(model, false);
    Check(BuildDefaultSlides(u"\\parts\\", model.layout, model.slides, model.parts));
    Check(model.slides.size() == 5);
    return 0;
  }
  Check(model.layout.regions.size() >= 1 && model.layout.regions.size() <= 2);
  const auto written = ComposeSmil(model.layout, model.slides, {});
  Check(written.has_value());
  MessageModel again;
  Check(Build(*written, again) == SlideBuildStatus::kOk);
  Check(again.slides.size() == model.slides.size());
  return 0;
}
