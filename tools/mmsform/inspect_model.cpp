#include "inspect_model.h"


#include <fstream>
#include <iterator>

#include "device_writing.h"
#include "engines/media_lengths.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "model/media_types.h"
#include "model/message_saving.h"
#include "model/smil_writer.h"
#include "platform/kernel/device.h"
#include "platform/kernel/temporary_files.h"
#include "platform/text/text_conversion.h"

namespace mmsform_tool {
namespace {

namespace fs = std::filesystem;

std::string Colour(COLORREF colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  return text;
}

std::string TypeCode(MediaType type) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(type));
  return text;
}

// The text of a UTF-16LE file with its mark, as UTF-8.
std::optional<std::string> TextOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!bytes.starts_with("\xFF\xFE")) return std::nullopt;
  std::u16string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  return platform::Utf16ToUtf8(text);
}

}  // namespace

std::optional<InspectedModel> InspectedModel::Load(const fs::path& file, std::string* error) {
  InspectedModel inspected;
  // A work folder of this process and call: the clean-up of a later command knows it for stale
  // once this process is gone.
  std::u16string work = u"\\Temp\\inspect" + platform::Utf8ToUtf16(platform::TemporarySuffix());
  auto hostWork = platform::HostPath(work);
  std::error_code fsError;
  if (!hostWork || !fs::create_directories(*hostWork / "parts", fsError)) {
    *error = "cannot make a temporary folder on the device" + StorageCause();
    return std::nullopt;
  }
  inspected.m_workFolder = *hostWork;
  if (!fs::is_regular_file(file, fsError)) {
    *error = file.string() + " is not a readable file";
    return std::nullopt;
  }
  fs::copy_file(file, *hostWork / "message.mms", fsError);
  if (fsError) {
    std::string cause = StorageCause();
    *error = file.string() + ": " + (cause.empty() ? fsError.message() : cause.substr(2));
    return std::nullopt;
  }
  inspected.m_partFolder = work + u"\\parts\\";
  if (LoadMessage(inspected.m_model, work + u"\\message.mms", inspected.m_partFolder, false, EngineMediaLengths(),
                  &inspected.m_report) < 0) {
    *error = "the message does not load" + StorageCause();
    return std::nullopt;
  }
  // Model parts follow the message's parts in order, the presentation part left out.
  auto reader = mm1::MessageReader::Open(file);
  std::optional<std::size_t> presentation = reader ? reader.Value().PresentationIndex() : std::nullopt;
  std::size_t index = 0;
  for (const MediaPart& part : inspected.m_model.parts) {
    if (presentation && index == *presentation) ++index;
    inspected.m_partsByMessageIndex[index++] = &part;
  }
  return inspected;
}

InspectedModel::InspectedModel(InspectedModel&& other) noexcept
    : m_workFolder(std::move(other.m_workFolder)),
      m_partFolder(std::move(other.m_partFolder)),
      m_model(std::move(other.m_model)),
      m_report(other.m_report),
      m_partsByMessageIndex(std::move(other.m_partsByMessageIndex)) {
  other.m_workFolder.clear();
}

InspectedModel::~InspectedModel() {
  std::error_code ignored;
  if (!m_workFolder.empty()) fs::remove_all(m_workFolder, ignored);
}

std::optional<std::size_t> InspectedModel::MessageIndexOf(const MediaPart* part) const {
  for (const auto& [index, candidate] : m_partsByMessageIndex) {
    if (candidate == part) return index;
  }
  return std::nullopt;
}

void InspectedModel::WritePartKeys(JsonWriter& json, std::size_t messagePartIndex) const {
  auto found = m_partsByMessageIndex.find(messagePartIndex);
  if (found == m_partsByMessageIndex.end()) return;
  const MediaPart& part = *found->second;
  json.Key("file").String(part.fileName.ToUtf8());
  json.Key("type").String(TypeCode(part.type));
  bool text = media_type::KindOf(part.type) == media_type::kText && media_type::FormatOf(part.type) != 9;
  if (!text) return;
  auto host = platform::HostPath(m_partFolder + std::u16string(part.fileName.View()));
  if (auto content = host ? TextOf(*host) : std::nullopt) json.Key("text").String(*content);
}

void InspectedModel::WriteSummary(JsonWriter& json) const {
  const MessageLayout& layout = m_model.layout;
  json.Key("layout").BeginObject();
  json.Key("width").Int(layout.width).Key("height").Int(layout.height);
  json.Key("background").String(Colour(layout.backgroundColor));
  json.Key("regions").BeginArray();
  for (const LayoutRegion& region : layout.regions) {
    json.BeginObject();
    json.Key("kind").String(region.kind == RegionKind::kText ? "Text" : "Image");
    json.Key("left").Int(region.left).Key("top").Int(region.top);
    json.Key("right").Int(region.right).Key("bottom").Int(region.bottom);
    json.Key("fit").String(SmilFitName(region.fit));
    json.EndObject();
  }
  json.EndArray().EndObject();
  json.Key("slides_from").String(m_report.defaultSlides ? "parts" : "presentation");
  json.Key("slides").BeginArray();
  for (const Slide& slide : m_model.slides) {
    json.BeginObject().Key("duration").Uint(slide.duration);
    auto reference = [&](std::string_view key, const std::optional<MediaRef>& ref) {
      if (!ref || ref->part == nullptr) return;
      json.Key(key).BeginObject();
      if (auto index = MessageIndexOf(ref->part)) json.Key("part").Uint(*index);
      json.Key("begin").Int(ref->begin).Key("end").Int(ref->end).EndObject();
    };
    reference("image", slide.image);
    reference("text", slide.text);
    reference("audio", slide.audio);
    reference("video", slide.video);
    json.EndObject();
  }
  json.EndArray();
  json.Key("attachments").Int(m_model.attachmentCount);
}

bool InspectedModel::Save(const fs::path& out, std::string* error) const {
  std::u16string saved = platform::DevicePathOf(m_workFolder / "saved.mms").value_or(u"");
  if (saved.empty() || !SaveMessage(m_model, m_partFolder, saved)) {
    *error = "the model cannot be saved" + StorageCause();
    return false;
  }
  // OUT is replaced in one step: a kill or a full disk leaves the old OUT as it was.
  auto bytes = mm1::ReadWholeFile(m_workFolder / "saved.mms", mm1::kMaxMessageFileBytes);
  if (!bytes) {
    *error = bytes.Failure().message;
    return false;
  }
  if (mm1::Status written = mm1::WriteFileAtomically(out, bytes.Value()); !written) {
    *error = written.Failure().message;
    return false;
  }
  return true;
}

}  // namespace mmsform_tool
