// A write handle: a message built part by part from files, then written as one MMS PDU.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "mm1/part_record.h"
#include "mm1/pdu.h"
#include "mm1/result.h"

namespace mm1 {

class MessageWriter {
 public:
  // A new m-send-req (MMS 1.2) with a fresh transaction id and the insert-address token as sender.
  MessageWriter();
  // Parts point into buffers the writer owns: it moves, it does not copy.
  MessageWriter(const MessageWriter&) = delete;
  MessageWriter& operator=(const MessageWriter&) = delete;
  MessageWriter(MessageWriter&&) = default;
  MessageWriter& operator=(MessageWriter&&) = default;

  // The headers to write; the body is built by AddPart and SetPresentation.
  Pdu& Headers() { return m_pdu; }
  // Reads the part's file (record.folder / record.fileName) and adds it with the record's content
  // type, Content-ID and Content-Location (the file name when the record has none).
  Status AddPart(const PartRecord& record);
  // Adds the SMIL file as the presentation part under `name`: it becomes the first part and the
  // start of a multipart.related body.
  Status SetPresentation(const std::filesystem::path& file, std::string_view name);
  // Encodes the message and replaces `file` with it atomically.
  Status Write(const std::filesystem::path& file);

 private:
  Status ReadData(const std::filesystem::path& file);

  Pdu m_pdu;
  std::vector<std::vector<std::uint8_t>> m_data;  // each part's bytes; parts hold spans into them
  std::optional<std::size_t> m_presentation;      // index of the presentation part
  std::size_t m_totalBytes = 0;
};

}  // namespace mm1
