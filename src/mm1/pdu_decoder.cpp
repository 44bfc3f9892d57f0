#include "mm1/pdu_decoder.h"

#include "mm1/header_fields.h"

namespace mm1 {
namespace {

constexpr std::uint8_t kAbsoluteToken = 0x80;
constexpr std::uint8_t kRelativeToken = 0x81;
constexpr std::uint8_t kAddressPresentToken = 0x80;
constexpr std::uint8_t kInsertAddressToken = 0x81;

constexpr std::string_view kMessageClasses[] = {"Personal", "Advertisement", "Informational", "Auto"};

// Version-value = Short-integer (major in bits 4-6, minor in bits 0-3, 15 meaning none) | Text-string
Result<std::string> ReadVersion(WspCursor& cursor) {
  auto first = cursor.PeekU8();
  if (!first) return first.Failure();
  if (first.Value() < 0x80) return cursor.ReadTextString();
  auto version = cursor.ReadShortInteger();
  unsigned major = (version.Value() >> 4) & 0x07;
  unsigned minor = version.Value() & 0x0F;
  return minor == 0x0F ? std::to_string(major) : std::to_string(major) + "." + std::to_string(minor);
}

// Octet values of the enumerated fields all have the high bit set.
Result<std::uint8_t> ReadToken(WspCursor& cursor) {
  std::size_t start = cursor.Offset();
  auto octet = cursor.ReadU8();
  if (!octet) return octet.Failure();
  if (octet.Value() < 0x80) return Error{"field value token expected", start};
  return octet.Value();
}

// Expiry-value = Value-length (Absolute-token Date-value | Relative-token Delta-seconds-value)
Result<TimeValue> ReadTimeValue(WspCursor& cursor) {
  auto length = cursor.ReadValueLength();
  if (!length) return length.Failure();
  auto inner = cursor.Split(length.Value());
  if (!inner) return inner.Failure();
  auto token = inner.Value().ReadU8();
  if (!token) return token.Failure();
  if (token.Value() != kAbsoluteToken && token.Value() != kRelativeToken) {
    return Error{"absolute or relative token expected", inner.Value().Offset() - 1};
  }
  auto seconds = inner.Value().ReadIntegerValue();
  if (!seconds) return seconds.Failure();
  return TimeValue{token.Value() == kRelativeToken, seconds.Value()};
}

// From-value = Value-length (Address-present-token Encoded-string-value | Insert-address-token)
Result<FromAddress> ReadFrom(WspCursor& cursor) {
  auto length = cursor.ReadValueLength();
  if (!length) return length.Failure();
  auto inner = cursor.Split(length.Value());
  if (!inner) return inner.Failure();
  auto token = inner.Value().ReadU8();
  if (!token) return token.Failure();
  FromAddress from;
  if (token.Value() == kInsertAddressToken) {
    from.insertAddress = true;
    return from;
  }
  if (token.Value() != kAddressPresentToken) return Error{"address token expected", inner.Value().Offset() - 1};
  auto address = ReadEncodedString(inner.Value());
  if (!address) return address.Failure();
  from.address = std::move(address.Value());
  return from;
}

// Message-class-value = Class-identifier (128..131) | Token-text
Result<std::string> ReadMessageClass(WspCursor& cursor) {
  std::size_t start = cursor.Offset();
  auto first = cursor.PeekU8();
  if (!first) return first.Failure();
  if (first.Value() < 0x80) return cursor.ReadTextString();
  auto code = cursor.ReadU8();
  std::size_t index = code.Value() - 0x80u;
  if (index >= std::size(kMessageClasses)) return Error{"unknown message class", start};
  return std::string(kMessageClasses[index]);
}

template <typename T>
Status Assign(Result<T> value, std::optional<T>& field) {
  if (!value) return value.Failure();
  field = std::move(value.Value());
  return {};
}

Status Append(Result<EncodedString> value, std::vector<EncodedString>& list) {
  if (!value) return value.Failure();
  list.push_back(std::move(value.Value()));
  return {};
}

// Whether a single-valued field already has its value; a repeat is then kept as a raw header.
bool IsTaken(const Pdu& pdu, std::uint8_t code) {
  switch (code) {
    case field::kTransactionId: return pdu.transactionId.has_value();
    case field::kMmsVersion: return pdu.mmsVersion.has_value();
    case field::kMessageId: return pdu.messageId.has_value();
    case field::kDate: return pdu.date.has_value();
    case field::kFrom: return pdu.from.has_value();
    case field::kSubject: return pdu.subject.has_value();
    case field::kMessageClass: return pdu.messageClass.has_value();
    case field::kPriority: return pdu.priority.has_value();
    case field::kExpiry: return pdu.expiry.has_value();
    case field::kDeliveryTime: return pdu.deliveryTime.has_value();
    case field::kDeliveryReport: return pdu.deliveryReport.has_value();
    case field::kReadReport: return pdu.readReport.has_value();
    case field::kReportAllowed: return pdu.reportAllowed.has_value();
    case field::kSenderVisibility: return pdu.senderVisibility.has_value();
    case field::kMessageSize: return pdu.messageSize.has_value();
    case field::kContentLocation: return pdu.contentLocation.has_value();
    case field::kStatus: return pdu.status.has_value();
    case field::kResponseStatus: return pdu.responseStatus.has_value();
    case field::kResponseText: return pdu.responseText.has_value();
    case field::kRetrieveStatus: return pdu.retrieveStatus.has_value();
    case field::kRetrieveText: return pdu.retrieveText.has_value();
    case field::kReadStatus: return pdu.readStatus.has_value();
    case field::kMessageType: return true;  // read before the loop
    case field::kTo:
    case field::kCc:
    case field::kBcc: return false;
    default: return true;  // no field of its own: kept raw
  }
}

Status DecodeField(std::uint8_t code, WspCursor& cursor, Pdu& pdu) {
  switch (code) {
    case field::kTransactionId: return Assign(cursor.ReadTextString(), pdu.transactionId);
    case field::kMmsVersion: return Assign(ReadVersion(cursor), pdu.mmsVersion);
    case field::kMessageId: return Assign(cursor.ReadTextString(), pdu.messageId);
    case field::kDate: return Assign(cursor.ReadIntegerValue(), pdu.date);
    case field::kFrom: return Assign(ReadFrom(cursor), pdu.from);
    case field::kTo: return Append(ReadEncodedString(cursor), pdu.to);
    case field::kCc: return Append(ReadEncodedString(cursor), pdu.cc);
    case field::kBcc: return Append(ReadEncodedString(cursor), pdu.bcc);
    case field::kSubject: return Assign(ReadEncodedString(cursor), pdu.subject);
    case field::kMessageClass: return Assign(ReadMessageClass(cursor), pdu.messageClass);
    case field::kPriority: return Assign(ReadToken(cursor), pdu.priority);
    case field::kExpiry: return Assign(ReadTimeValue(cursor), pdu.expiry);
    case field::kDeliveryTime: return Assign(ReadTimeValue(cursor), pdu.deliveryTime);
    case field::kDeliveryReport: return Assign(ReadToken(cursor), pdu.deliveryReport);
    case field::kReadReport: return Assign(ReadToken(cursor), pdu.readReport);
    case field::kReportAllowed: return Assign(ReadToken(cursor), pdu.reportAllowed);
    case field::kSenderVisibility: return Assign(ReadToken(cursor), pdu.senderVisibility);
    case field::kMessageSize: return Assign(cursor.ReadIntegerValue(), pdu.messageSize);
    case field::kContentLocation: return Assign(cursor.ReadTextString(), pdu.contentLocation);
    case field::kStatus: return Assign(ReadToken(cursor), pdu.status);
    case field::kResponseStatus: return Assign(ReadToken(cursor), pdu.responseStatus);
    case field::kResponseText: return Assign(ReadEncodedString(cursor), pdu.responseText);
    case field::kRetrieveStatus: return Assign(ReadToken(cursor), pdu.retrieveStatus);
    case field::kRetrieveText: return Assign(ReadEncodedString(cursor), pdu.retrieveText);
    case field::kReadStatus: return Assign(ReadToken(cursor), pdu.readStatus);
    default: return cursor.Fail("field without a decoder");
  }
}

Status ReadRawField(std::uint8_t code, WspCursor& cursor, std::vector<RawHeader>& headers) {
  auto value = cursor.ReadFieldValue();
  if (!value) return value.Failure();
  headers.push_back(RawHeader{code, {}, {value.Value().begin(), value.Value().end()}});
  return {};
}

// Application-header = Token-text Application-specific-value (Text-string)
Status ReadTextualHeader(WspCursor& cursor, std::vector<RawHeader>& headers) {
  auto name = cursor.ReadTokenText();
  if (!name) return name.Failure();
  auto value = cursor.ReadTextString();
  if (!value) return value.Failure();
  headers.push_back(RawHeader{std::nullopt, std::move(name.Value()), {value.Value().begin(), value.Value().end()}});
  return {};
}

// Header = Well-known-field (Short-integer) Field-value | Application-header. Every branch reads
// at least the field's first octet, so the loop advances.
Status DecodeHeader(WspCursor& cursor, Pdu& pdu) {
  auto first = cursor.PeekU8();
  if (first.Value() < 32 || first.Value() == 0x7F) return cursor.Fail("header field expected");
  if (first.Value() < 0x80) return ReadTextualHeader(cursor, pdu.otherHeaders);
  auto code = static_cast<std::uint8_t>(cursor.ReadU8().Value() & 0x7F);
  if (IsTaken(pdu, code)) return ReadRawField(code, cursor, pdu.otherHeaders);
  return DecodeField(code, cursor, pdu);
}

Status DecodeBody(WspCursor& cursor, Pdu& pdu) {
  if (pdu.contentType->IsMultipart()) {
    pdu.multipart = true;
    return DecodeMultipart(cursor, pdu);
  }
  Part body;
  body.contentType = *pdu.contentType;
  body.dataOffset = cursor.Offset();
  body.data = cursor.Rest();
  pdu.parts.push_back(std::move(body));
  return {};
}

}  // namespace

// PDU = X-Mms-Message-Type *(Header) [Content-Type Body]
// The message type comes first; the content type, when present, is the last header and the body
// follows it.
Result<Pdu> DecodePdu(std::span<const std::uint8_t> data) {
  WspCursor cursor(data);
  Pdu pdu;
  auto typeField = cursor.ReadU8();
  if (!typeField) return Error{"empty input", 0};
  if (typeField.Value() != (0x80 | field::kMessageType)) return Error{"not an MMS PDU: the message type must come first", 0};
  auto type = ReadToken(cursor);
  if (!type) return type.Failure();
  pdu.messageType = type.Value();
  std::size_t headerCount = 1;
  while (!cursor.AtEnd()) {
    if (++headerCount > kMaxHeaders) return cursor.Fail("too many headers");
    if (cursor.PeekU8().Value() == (0x80 | field::kContentType)) {
      cursor.ReadU8();
      auto contentType = ReadContentType(cursor);
      if (!contentType) return contentType.Failure();
      pdu.contentType = std::move(contentType.Value());
      Status body = DecodeBody(cursor, pdu);
      if (!body) return body.Failure();
      return pdu;
    }
    Status header = DecodeHeader(cursor, pdu);
    if (!header) return header.Failure();
  }
  // These two always carry a body; without one the message was cut short.
  auto kind = static_cast<MessageType>(pdu.messageType);
  if (kind == MessageType::kSendReq || kind == MessageType::kRetrieveConf) return cursor.Fail("content type missing");
  return pdu;
}

}  // namespace mm1
