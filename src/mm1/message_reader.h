// A read handle: one MMS message file, decoded once, whose parts are written on request into files
// of a target folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mm1/part_file_name.h"
#include "mm1/part_record.h"
#include "mm1/pdu.h"
#include "mm1/result.h"

namespace mm1 {

constexpr std::size_t kMaxMessageFileBytes = 64u << 20;

// Sees a part before its file is written: the record (its fileName the name asked for; a counter
// may still be added before the extension) and the part's data. Answers other bytes to write in
// their place, or nothing to write the data as it came.
using PartDataFilter =
    std::function<std::optional<std::string>(const PartRecord& record, std::span<const std::uint8_t> data)>;

class MessageReader {
 public:
  static Result<MessageReader> Open(const std::filesystem::path& file);
  // The parts point into the buffer the reader owns: it moves, it does not copy.
  MessageReader(const MessageReader&) = delete;
  MessageReader& operator=(const MessageReader&) = delete;
  MessageReader(MessageReader&&) = default;
  MessageReader& operator=(MessageReader&&) = default;

  const Pdu& Headers() const { return m_pdu; }
  std::size_t PartCount() const { return m_pdu.parts.size(); }
  // Fills the record of part `index` and writes the part's data into a file of `folder`, named
  // from its Content-Location, else its name or filename parameter, else its Content-ID, else
  // "part<index>"; made safe and unique among the files this handle wrote there. Data that came in a
  // base64 or quoted-printable transfer encoding is written decoded, and then through the filter.
  Result<PartRecord> Part(std::size_t index, const std::filesystem::path& folder,
                          const PartDataFilter& filter = {});
  // Writes the presentation part (the application/smil part the start parameter names, else the
  // first application/smil part) into `folder` under exactly `fileName`, replacing a file of that name.
  // The name is kept from the parts of this handle even when the message has no presentation.
  Result<PartRecord> Presentation(const std::filesystem::path& folder, std::string_view fileName);
  // The index of the presentation part, when the message has one.
  std::optional<std::size_t> PresentationIndex() const;
  // Whether any part is forward-locked.
  bool IsForwardLocked() const;

 private:
  MessageReader(std::vector<std::uint8_t> bytes, Pdu pdu) : m_bytes(std::move(bytes)), m_pdu(std::move(pdu)) {}
  Result<PartFolder*> Folder(const std::filesystem::path& folder);
  const mm1::Part* PresentationPart() const;

  std::vector<std::uint8_t> m_bytes;  // the parts' data spans point into this buffer
  Pdu m_pdu;
  std::map<std::filesystem::path, PartFolder> m_folders;
};

// The record of a decoded part, without file name or folder.
PartRecord DescribePart(const Part& part);

}  // namespace mm1
