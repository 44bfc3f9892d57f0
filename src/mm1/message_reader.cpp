#include "mm1/message_reader.h"

#include "mm1/ascii.h"
#include "mm1/file_io.h"
#include "mm1/pdu_decoder.h"
#include "mm1/transfer_encoding.h"

namespace mm1 {
namespace {

constexpr std::string_view kDrmMessage = "application/vnd.oma.drm.message";
constexpr std::string_view kSmil = "application/smil";

std::string PartFileName(const Part& part, std::size_t index) {
  for (const std::string& candidate : {part.contentLocation.value_or(""), part.Name(), part.FileName(), part.BareContentId()}) {
    std::string safe = SafePartFileName(candidate);
    if (!safe.empty()) return safe;
  }
  return "part" + std::to_string(index);
}

}  // namespace

PartRecord DescribePart(const Part& part) {
  PartRecord record;
  record.contentType = ContentTypeText(part.contentType);
  record.contentId = part.BareContentId();
  record.contentLocation = part.contentLocation.value_or("");
  record.name = part.Name().empty() ? part.FileName() : part.Name();
  record.size = part.data.size();
  record.forwardLocked = EqualsNoCase(part.contentType.mediaType, kDrmMessage);
  return record;
}

Result<MessageReader> MessageReader::Open(const std::filesystem::path& file) {
  auto bytes = ReadWholeFile(file, kMaxMessageFileBytes);
  if (!bytes) return bytes.Failure();
  auto pdu = DecodePdu(bytes.Value());
  if (!pdu) return pdu.Failure();
  return MessageReader(std::move(bytes.Value()), std::move(pdu.Value()));
}

Result<PartFolder*> MessageReader::Folder(const std::filesystem::path& folder) {
  auto found = m_folders.find(folder);
  if (found != m_folders.end()) return &found->second;
  auto opened = PartFolder::Open(folder);
  if (!opened) return opened.Failure();
  return &m_folders.emplace(folder, std::move(opened.Value())).first->second;
}

Result<PartRecord> MessageReader::Part(std::size_t index, const std::filesystem::path& folder,
                                       const PartDataFilter& filter) {
  if (index >= m_pdu.parts.size()) return Error{"no part " + std::to_string(index)};
  auto target = Folder(folder);
  if (!target) return target.Failure();
  const mm1::Part& part = m_pdu.parts[index];
  PartRecord record = DescribePart(part);
  record.folder = folder;
  record.fileName = PartFileName(part, index);
  // Parts that a server wrapped in a MIME transfer encoding are written decoded, when they decode.
  auto decoded = DecodeTransferEncoding(TransferEncodingOf(part), part.data);
  std::span<const std::uint8_t> data = decoded ? std::span<const std::uint8_t>(*decoded) : part.data;
  std::optional<std::string> filtered = filter ? filter(record, data) : std::nullopt;
  if (filtered) data = std::span(reinterpret_cast<const std::uint8_t*>(filtered->data()), filtered->size());
  auto name = target.Value()->WriteUnique(record.fileName, data);
  if (!name) return name.Failure();
  record.fileName = std::move(name.Value());
  return record;
}

const mm1::Part* MessageReader::PresentationPart() const {
  const WspParameter* start = m_pdu.contentType ? m_pdu.contentType->Find("start") : nullptr;
  if (start != nullptr) {
    std::string wanted = BareContentId(start->value);
    // A start that names a part of another type is a sender's mistake: that part stays a part.
    for (const mm1::Part& part : m_pdu.parts) {
      if (!wanted.empty() && (part.BareContentId() == wanted || part.contentLocation == wanted) &&
          EqualsNoCase(part.contentType.mediaType, kSmil)) {
        return &part;
      }
    }
  }
  for (const mm1::Part& part : m_pdu.parts) {
    if (EqualsNoCase(part.contentType.mediaType, kSmil)) return &part;
  }
  return nullptr;
}

Result<PartRecord> MessageReader::Presentation(const std::filesystem::path& folder, std::string_view fileName) {
  auto target = Folder(folder);
  if (!target) return target.Failure();
  // The presentation's name stays its own even in a message without one: the caller writes its
  // presentation there when the message is saved again.
  target.Value()->Reserve(std::string(fileName));
  const mm1::Part* part = PresentationPart();
  if (part == nullptr) return Error{"the message has no presentation part"};
  Status written = target.Value()->WriteExact(std::string(fileName), part->data);
  if (!written) return written.Failure();
  PartRecord record = DescribePart(*part);
  record.folder = folder;
  record.fileName = std::string(fileName);
  return record;
}

std::optional<std::size_t> MessageReader::PresentationIndex() const {
  const mm1::Part* part = PresentationPart();
  if (part == nullptr) return std::nullopt;
  return static_cast<std::size_t>(part - m_pdu.parts.data());
}

bool MessageReader::IsForwardLocked() const {
  for (const mm1::Part& part : m_pdu.parts) {
    if (EqualsNoCase(part.contentType.mediaType, kDrmMessage)) return true;
  }
  return false;
}

}  // namespace mm1
