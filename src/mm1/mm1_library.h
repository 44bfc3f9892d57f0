// The MM1 library as the module uses it: MMS message files read and written part by part.
//
// The module's adapter imports these operations by ordinal:
//   12  create                  CreateMessage
//   13  set presentation        MessageWriter::SetPresentation
//   14  add part                MessageWriter::AddPart
//   15  write                   MessageWriter::Write
//   16  open                    OpenMessage
//   18  presentation            MessageReader::Presentation
//   19  part count              MessageReader::PartCount
//   20  part                    MessageReader::Part
//   21  forward-lock flag       MessageReader::IsForwardLocked
//   22  close                   CloseMessage (either kind of handle)
//   23  split content type      SplitContentTypeText
//   37, 38, 39  charset, data and length of an encoded header text
//               EncodedTextCharset, EncodedTextData, EncodedTextLength
//   by name     mm1_config_get_default
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "mm1/content_type_split.h"
#include "mm1/encoded_string.h"
#include "mm1/message_reader.h"
#include "mm1/message_writer.h"
#include "mm1/mm1_config.h"
#include "mm1/result.h"

namespace mm1 {

using ReadHandle = std::unique_ptr<MessageReader>;
using WriteHandle = std::unique_ptr<MessageWriter>;

inline Result<ReadHandle> OpenMessage(const std::filesystem::path& file) {
  auto reader = MessageReader::Open(file);
  if (!reader) return reader.Failure();
  return std::make_unique<MessageReader>(std::move(reader.Value()));
}

inline WriteHandle CreateMessage() { return std::make_unique<MessageWriter>(); }

template <typename Handle>
void CloseMessage(std::unique_ptr<Handle>& handle) {
  handle.reset();
}

// An encoded header text's charset MIBenum (0 when the sender gave none), bytes and length.
inline std::uint32_t EncodedTextCharset(const EncodedString& text) { return text.charset.value_or(0); }
inline const char* EncodedTextData(const EncodedString& text) { return text.bytes.data(); }
inline std::size_t EncodedTextLength(const EncodedString& text) { return text.bytes.size(); }

}  // namespace mm1
