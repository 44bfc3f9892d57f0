#include "mm1/pdu_encoder.h"

#include <cstdio>

#include "mm1/header_fields.h"
#include "mm1/wsp_cursor.h"
#include "mm1/wsp_writer.h"

namespace mm1 {
namespace {

constexpr std::string_view kMessageClasses[] = {"Personal", "Advertisement", "Informational", "Auto"};
constexpr std::string_view kDispositions[] = {"form-data", "attachment", "inline"};

bool HasNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

// Writes header after header, remembering the first value that cannot be encoded.
class HeaderEncoder {
 public:
  explicit HeaderEncoder(WspWriter& out) : m_out(out) {}
  const std::optional<Error>& Failure() const { return m_error; }
  void Fail(std::string message) {
    if (!m_error) m_error = Error{std::move(message)};
  }
  void Check(const Status& status) {
    if (!status) Fail(status.Failure().message);
  }
  WspWriter& Out() { return m_out; }

  void Field(std::uint8_t code) { m_out.WriteU8(static_cast<std::uint8_t>(0x80 | code)); }

  void Text(std::uint8_t code, const std::optional<std::string>& text) {
    if (!text) return;
    if (HasNul(*text)) return Fail("text holds a null character");
    Field(code);
    m_out.WriteTextString(*text);
  }

  void Encoded(std::uint8_t code, const EncodedString& text) {
    if (HasNul(text.bytes)) return Fail("text holds a null character");
    Field(code);
    WriteEncodedString(m_out, text);
  }

  void Octet(std::uint8_t code, const std::optional<std::uint8_t>& value) {
    if (!value) return;
    if (*value < 0x80) return Fail("field value token without its high bit");
    Field(code);
    m_out.WriteU8(*value);
  }

  void LongInteger(std::uint8_t code, const std::optional<std::uint64_t>& value) {
    if (!value) return;
    Field(code);
    m_out.WriteLongInteger(*value);
  }

  void Time(std::uint8_t code, const std::optional<TimeValue>& time) {
    if (!time) return;
    Field(code);
    WspWriter inner;
    inner.WriteU8(time->relative ? 0x81 : 0x80);
    inner.WriteLongInteger(time->seconds);
    m_out.WriteWithLength(inner);
  }

  void Version(const std::optional<std::string>& version) {
    if (!version) return;
    unsigned major = 0;
    unsigned minor = 0;
    char dot = 0;
    char extra = 0;
    int fields = std::sscanf(version->c_str(), "%u%c%u%c", &major, &dot, &minor, &extra);
    // Only the plain spelling becomes the short form, so that "01.2" or " 1" stays as it was sent.
    const std::string plain = std::to_string(major) + (fields == 3 ? "." + std::to_string(minor) : "");
    if (((fields == 1 && major < 8) || (fields == 3 && dot == '.' && major < 8 && minor < 15)) && plain == *version) {
      Field(field::kMmsVersion);
      m_out.WriteU8(static_cast<std::uint8_t>(0x80 | (major << 4) | (fields == 1 ? 0x0F : minor)));
      return;
    }
    Text(field::kMmsVersion, version);
  }

  void From(const std::optional<FromAddress>& from) {
    if (!from) return;
    if (HasNul(from->address.bytes)) return Fail("address holds a null character");
    Field(field::kFrom);
    WspWriter inner;
    if (from->insertAddress) {
      inner.WriteU8(0x81);
    } else {
      inner.WriteU8(0x80);
      WriteEncodedString(inner, from->address);
    }
    m_out.WriteWithLength(inner);
  }

  void MessageClass(const std::optional<std::string>& messageClass) {
    if (!messageClass) return;
    for (std::size_t i = 0; i < std::size(kMessageClasses); ++i) {
      if (*messageClass == kMessageClasses[i]) {
        Field(field::kMessageClass);
        m_out.WriteU8(static_cast<std::uint8_t>(0x80 + i));
        return;
      }
    }
    Text(field::kMessageClass, messageClass);
  }

  // A raw header must be exactly one well-formed field value, or a named header with a text.
  void Raw(const RawHeader& header, bool allowVerbatim) {
    if (header.code) {
      WspCursor check(header.value);
      auto value = check.ReadFieldValue();
      if (!value || !check.AtEnd() || *header.code >= 0x80) return Fail("raw header is not one field value");
      Field(*header.code);
      m_out.WriteBytes(header.value);
      return;
    }
    std::string_view value(reinterpret_cast<const char*>(header.value.data()), header.value.size());
    if (header.name.empty()) {
      if (!allowVerbatim) return Fail("raw header without a name");
      m_out.WriteBytes(header.value);
      return;
    }
    unsigned char lead = static_cast<unsigned char>(header.name.front());
    if (lead < 32 || lead >= 0x7F || HasNul(header.name) || HasNul(value)) return Fail("bad textual header");
    m_out.WriteTextString(header.name);
    m_out.WriteTextString(value);
  }

 private:
  WspWriter& m_out;
  std::optional<Error> m_error;
};

void EncodeHeaders(HeaderEncoder& encoder, const Pdu& pdu) {
  if (pdu.messageType < 0x80) encoder.Fail("message type without its high bit");
  encoder.Octet(field::kMessageType, pdu.messageType);
  encoder.Text(field::kTransactionId, pdu.transactionId);
  encoder.Version(pdu.mmsVersion);
  encoder.Text(field::kMessageId, pdu.messageId);
  encoder.LongInteger(field::kDate, pdu.date);
  encoder.From(pdu.from);
  for (const EncodedString& address : pdu.to) encoder.Encoded(field::kTo, address);
  for (const EncodedString& address : pdu.cc) encoder.Encoded(field::kCc, address);
  for (const EncodedString& address : pdu.bcc) encoder.Encoded(field::kBcc, address);
  if (pdu.subject) encoder.Encoded(field::kSubject, *pdu.subject);
  encoder.MessageClass(pdu.messageClass);
  encoder.Octet(field::kPriority, pdu.priority);
  encoder.Time(field::kExpiry, pdu.expiry);
  encoder.Time(field::kDeliveryTime, pdu.deliveryTime);
  encoder.Octet(field::kDeliveryReport, pdu.deliveryReport);
  encoder.Octet(field::kReadReport, pdu.readReport);
  encoder.Octet(field::kReportAllowed, pdu.reportAllowed);
  encoder.Octet(field::kSenderVisibility, pdu.senderVisibility);
  encoder.LongInteger(field::kMessageSize, pdu.messageSize);
  encoder.Text(field::kContentLocation, pdu.contentLocation);
  encoder.Octet(field::kStatus, pdu.status);
  encoder.Octet(field::kResponseStatus, pdu.responseStatus);
  if (pdu.responseText) encoder.Encoded(field::kResponseText, *pdu.responseText);
  encoder.Octet(field::kRetrieveStatus, pdu.retrieveStatus);
  if (pdu.retrieveText) encoder.Encoded(field::kRetrieveText, *pdu.retrieveText);
  encoder.Octet(field::kReadStatus, pdu.readStatus);
  for (const RawHeader& header : pdu.otherHeaders) encoder.Raw(header, false);
}

void EncodeDisposition(HeaderEncoder& encoder, const ContentDisposition& disposition) {
  WspWriter inner;
  std::size_t known = std::size(kDispositions);
  for (std::size_t i = 0; i < std::size(kDispositions); ++i) {
    if (disposition.disposition == kDispositions[i]) known = i;
  }
  if (known < std::size(kDispositions)) {
    inner.WriteU8(static_cast<std::uint8_t>(0x80 + known));
  } else {
    const std::string& token = disposition.disposition;
    if (token.empty() || token.front() < 32 || static_cast<unsigned char>(token.front()) >= 0x7F || HasNul(token)) {
      return encoder.Fail("disposition is not a token");
    }
    inner.WriteTextString(token);
  }
  for (const WspParameter& parameter : disposition.parameters) encoder.Check(WriteParameter(inner, parameter));
  encoder.Field(field::kPartContentDisposition);
  encoder.Out().WriteWithLength(inner);
}

// Entry = HeadersLen DataLen ContentType Headers Data
void EncodePart(HeaderEncoder& encoder, const Part& part) {
  WspWriter headers;
  HeaderEncoder partEncoder(headers);
  partEncoder.Check(WriteContentType(headers, part.contentType));
  partEncoder.Text(field::kPartContentLocation, part.contentLocation);
  if (part.contentId) {
    if (HasNul(*part.contentId)) partEncoder.Fail("content id holds a null character");
    partEncoder.Field(field::kPartContentId);
    headers.WriteQuotedString(*part.contentId);
  }
  if (part.disposition) EncodeDisposition(partEncoder, *part.disposition);
  for (const RawHeader& header : part.otherHeaders) partEncoder.Raw(header, true);
  if (partEncoder.Failure()) return encoder.Fail(partEncoder.Failure()->message);
  if (part.data.size() > 0xFFFFFFFFu || headers.Size() > 0xFFFFFFFFu) return encoder.Fail("part too large");
  WspWriter& out = encoder.Out();
  out.WriteUintvar(static_cast<std::uint32_t>(headers.Size()));
  out.WriteUintvar(static_cast<std::uint32_t>(part.data.size()));
  out.WriteBytes(headers.Bytes());
  out.WriteBytes(part.data);
}

void EncodeBody(HeaderEncoder& encoder, const Pdu& pdu) {
  if (!pdu.contentType) {
    if (!pdu.parts.empty()) encoder.Fail("parts without a content type");
    return;
  }
  encoder.Field(field::kContentType);
  encoder.Check(WriteContentType(encoder.Out(), *pdu.contentType));
  if (!pdu.multipart) {
    if (pdu.parts.size() > 1) return encoder.Fail("several parts in a body that is not multipart");
    if (!pdu.parts.empty()) encoder.Out().WriteBytes(pdu.parts.front().data);
    return;
  }
  if (pdu.parts.size() > 0xFFFFFFFFu) return encoder.Fail("too many parts");
  encoder.Out().WriteUintvar(static_cast<std::uint32_t>(pdu.parts.size()));
  for (const Part& part : pdu.parts) EncodePart(encoder, part);
}

}  // namespace

Result<std::vector<std::uint8_t>> EncodePdu(const Pdu& pdu) {
  WspWriter out;
  std::size_t bodySize = 0;
  for (const Part& part : pdu.parts) bodySize += part.data.size() + 64;
  out.Reserve(bodySize + 1024);
  HeaderEncoder encoder(out);
  EncodeHeaders(encoder, pdu);
  EncodeBody(encoder, pdu);
  if (encoder.Failure()) return *encoder.Failure();
  return out.TakeBytes();
}

}  // namespace mm1
