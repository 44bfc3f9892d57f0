// The multipart body of a PDU (WAP-230-WSP section 8.5) and the headers of its entries.
#include "mm1/header_fields.h"
#include "mm1/pdu_decoder.h"

namespace mm1 {
namespace {

constexpr std::uint8_t kShiftDelimiter = 0x7F;
constexpr std::string_view kDispositions[] = {"form-data", "attachment", "inline"};

// Content-disposition-value = Value-length Disposition *(Parameter)
// Disposition = Form-data (128) | Attachment (129) | Inline (130) | Token-text
Result<ContentDisposition> ReadDisposition(WspCursor& cursor) {
  auto length = cursor.ReadValueLength();
  if (!length) return length.Failure();
  auto split = cursor.Split(length.Value());
  if (!split) return split.Failure();
  WspCursor& inner = split.Value();
  ContentDisposition disposition;
  auto first = inner.PeekU8();
  if (!first) return first.Failure();
  if (first.Value() >= 0x80) {
    std::size_t index = inner.ReadU8().Value() - 0x80u;
    if (index >= std::size(kDispositions)) return Error{"unknown disposition", inner.Offset() - 1};
    disposition.disposition = std::string(kDispositions[index]);
  } else {
    auto token = inner.ReadTokenText();
    if (!token) return token.Failure();
    disposition.disposition = std::move(token.Value());
  }
  std::size_t count = 0;
  while (!inner.AtEnd()) {
    if (++count > kMaxHeaders) return inner.Fail("too many disposition parameters");
    auto parameter = ReadParameter(inner);
    if (!parameter) return parameter.Failure();
    disposition.parameters.push_back(std::move(parameter.Value()));
  }
  return disposition;
}

Status ReadRawPartHeader(std::uint8_t code, WspCursor& cursor, Part& part) {
  auto value = cursor.ReadFieldValue();
  if (!value) return value.Failure();
  part.otherHeaders.push_back(RawHeader{code, {}, {value.Value().begin(), value.Value().end()}});
  return {};
}

// Header = Well-known-header | Application-header | Shift-sequence. After a code-page shift the
// codes mean other fields, so the rest is kept byte for byte. Every branch consumes input.
Status ReadPartHeader(WspCursor& cursor, Part& part) {
  auto first = cursor.PeekU8();
  if (first.Value() == kShiftDelimiter || (first.Value() >= 1 && first.Value() < 32)) {
    auto rest = cursor.ReadBytes(cursor.Remaining());
    part.otherHeaders.push_back(RawHeader{std::nullopt, {}, {rest.Value().begin(), rest.Value().end()}});
    return {};
  }
  if (first.Value() == 0) return cursor.Fail("part header expected");
  if (first.Value() < 0x80) {
    auto name = cursor.ReadTokenText();
    if (!name) return name.Failure();
    auto value = cursor.ReadTextString();
    if (!value) return value.Failure();
    part.otherHeaders.push_back(RawHeader{std::nullopt, std::move(name.Value()), {value.Value().begin(), value.Value().end()}});
    return {};
  }
  auto code = static_cast<std::uint8_t>(cursor.ReadU8().Value() & 0x7F);
  if (code == field::kPartContentLocation && !part.contentLocation) {
    auto location = cursor.ReadTextString();
    if (!location) return location.Failure();
    part.contentLocation = std::move(location.Value());
    return {};
  }
  if (code == field::kPartContentId && !part.contentId) {
    auto id = cursor.ReadQuotedString();
    if (!id) return id.Failure();
    part.contentId = std::move(id.Value());
    return {};
  }
  bool dispositionCode = code == field::kPartContentDisposition || code == field::kPartContentDisposition14;
  auto valueStart = cursor.PeekU8();
  if (dispositionCode && !part.disposition && valueStart && valueStart.Value() <= 31) {
    auto disposition = ReadDisposition(cursor);
    if (!disposition) return disposition.Failure();
    part.disposition = std::move(disposition.Value());
    return {};
  }
  return ReadRawPartHeader(code, cursor, part);
}

// Entry = HeadersLen (uintvar) DataLen (uintvar) ContentType Headers Data, where HeadersLen
// covers ContentType and Headers. Both lengths are checked against what is left.
Status ReadEntry(WspCursor& cursor, Pdu& pdu) {
  std::size_t start = cursor.Offset();
  auto headersLength = cursor.ReadUintvar();
  if (!headersLength) return headersLength.Failure();
  auto dataLength = cursor.ReadUintvar();
  if (!dataLength) return dataLength.Failure();
  if (headersLength.Value() > cursor.Remaining()) return Error{"part headers run past the end of the data", start};
  auto headers = cursor.Split(headersLength.Value());
  if (dataLength.Value() > cursor.Remaining()) return Error{"part data runs past the end of the data", start};
  Part part;
  auto contentType = ReadContentType(headers.Value());
  if (!contentType) return contentType.Failure();
  part.contentType = std::move(contentType.Value());
  std::size_t count = 0;
  while (!headers.Value().AtEnd()) {
    if (++count > kMaxHeaders) return headers.Value().Fail("too many part headers");
    Status header = ReadPartHeader(headers.Value(), part);
    if (!header) return header;
  }
  part.dataOffset = cursor.Offset();
  part.data = cursor.ReadBytes(dataLength.Value()).Value();
  pdu.parts.push_back(std::move(part));
  return {};
}

}  // namespace

// Multipart = nEntries (uintvar) *Entry. The count is checked against the cap before any entry is
// read, and every entry consumes at least its two length octets.
Status DecodeMultipart(WspCursor& cursor, Pdu& pdu) {
  std::size_t start = cursor.Offset();
  auto count = cursor.ReadUintvar();
  if (!count) return count.Failure();
  if (count.Value() > kMaxParts) return Error{"too many parts", start};
  for (std::uint32_t i = 0; i < count.Value(); ++i) {
    if (cursor.AtEnd()) return cursor.Fail("fewer parts than the multipart count says");
    Status entry = ReadEntry(cursor, pdu);
    if (!entry) return entry;
  }
  pdu.ignoredTrailingBytes = cursor.Remaining();
  return {};
}

}  // namespace mm1
