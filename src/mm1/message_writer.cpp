#include "mm1/message_writer.h"

#include <atomic>
#include <chrono>

#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/part_file_name.h"
#include "mm1/pdu_encoder.h"
#include "mm1/well_known_tables.h"

namespace mm1 {
namespace {

constexpr std::string_view kMultipartRelated = "application/vnd.wap.multipart.related";
constexpr std::string_view kMultipartMixed = "application/vnd.wap.multipart.mixed";

std::string NewTransactionId() {
  static std::atomic<unsigned> counter{0};
  auto now = std::chrono::system_clock::now().time_since_epoch();
  auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
  return "T" + std::to_string(micros) + "-" + std::to_string(counter++);
}

WspParameter TextParameter(std::string_view name, std::string value) {
  const ParameterToken* token = FindParameterTokenByName(name);
  return WspParameter{std::string(name), std::move(value), std::nullopt, token ? std::optional(token->token) : std::nullopt};
}

}  // namespace

MessageWriter::MessageWriter() {
  m_pdu.messageType = static_cast<std::uint8_t>(MessageType::kSendReq);
  m_pdu.transactionId = NewTransactionId();
  m_pdu.mmsVersion = "1.2";
  m_pdu.from = FromAddress{true, {}};
  m_pdu.multipart = true;
}

Status MessageWriter::ReadData(const std::filesystem::path& file) {
  if (m_totalBytes > kMaxMessageFileBytes) return Error{"message too large"};
  auto data = ReadWholeFile(file, kMaxMessageFileBytes - m_totalBytes);
  if (!data) return data.Failure();
  m_totalBytes += data.Value().size();
  m_data.push_back(std::move(data.Value()));
  return {};
}

Status MessageWriter::AddPart(const PartRecord& record) {
  if (record.fileName.empty() || SafePartFileName(record.fileName) != record.fileName) {
    return Error{"part file name is not a plain file name: " + record.fileName};
  }
  Status read = ReadData(record.folder / record.fileName);
  if (!read) return read;
  Part part;
  part.contentType = ParseContentTypeText(record.contentType.empty() ? "application/octet-stream" : record.contentType);
  if (part.contentType.mediaType.empty()) part.contentType.mediaType = "application/octet-stream";
  if (!part.contentType.Find("name")) part.contentType.parameters.push_back(TextParameter("name", record.fileName));
  part.contentLocation = record.contentLocation.empty() ? record.fileName : record.contentLocation;
  part.contentId = "<" + (record.contentId.empty() ? record.fileName : record.contentId) + ">";
  part.data = m_data.back();
  m_pdu.parts.push_back(std::move(part));
  return {};
}

Status MessageWriter::SetPresentation(const std::filesystem::path& file, std::string_view name) {
  if (m_presentation) return Error{"the message already has a presentation"};
  std::string safeName = SafePartFileName(name);
  if (safeName.empty() || safeName != name) return Error{"presentation name is not a plain file name"};
  Status read = ReadData(file);
  if (!read) return read;
  Part part;
  part.contentType.mediaType = "application/smil";
  part.contentType.parameters.push_back(TextParameter("name", safeName));
  part.contentLocation = safeName;
  part.contentId = "<" + safeName + ">";
  part.data = m_data.back();
  m_pdu.parts.insert(m_pdu.parts.begin(), std::move(part));
  m_presentation = 0;
  return {};
}

Status MessageWriter::Write(const std::filesystem::path& file) {
  ContentType body;
  if (m_presentation) {
    body.mediaType = std::string(kMultipartRelated);
    body.parameters.push_back(TextParameter("start", "<" + BareContentId(*m_pdu.parts.front().contentId) + ">"));
    body.parameters.push_back(TextParameter("type", "application/smil"));
  } else {
    body.mediaType = std::string(kMultipartMixed);
  }
  m_pdu.contentType = std::move(body);
  auto bytes = EncodePdu(m_pdu);
  if (!bytes) return bytes.Failure();
  return WriteFileAtomically(file, bytes.Value());
}

}  // namespace mm1
