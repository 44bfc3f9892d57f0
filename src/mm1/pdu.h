// A decoded MMS PDU (OMA MMS encapsulation 1.0 to 1.3): every header, and the body as parts whose
// data are spans into the bytes the PDU was decoded from (or, for encoding, any bytes the caller
// keeps alive).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mm1/content_type.h"
#include "mm1/encoded_string.h"

namespace mm1 {

// X-Mms-Message-Type values.
enum class MessageType : std::uint8_t {
  kSendReq = 0x80,
  kSendConf = 0x81,
  kNotificationInd = 0x82,
  kNotifyRespInd = 0x83,
  kRetrieveConf = 0x84,
  kAcknowledgeInd = 0x85,
  kDeliveryInd = 0x86,
  kReadRecInd = 0x87,
  kReadOrigInd = 0x88,
};

// The OMA name of a message type ("m-retrieve-conf"); empty for one we do not know.
std::string_view MessageTypeName(std::uint8_t code);

// Yes/No (delivery report, read report, report allowed), Hide/Show (sender visibility) and the
// priorities, as their octets: the message store keeps them the same way.
constexpr std::uint8_t kYes = 0x80;
constexpr std::uint8_t kNo = 0x81;
constexpr std::uint8_t kPriorityLow = 0x80;
constexpr std::uint8_t kPriorityNormal = 0x81;
constexpr std::uint8_t kPriorityHigh = 0x82;

// A Content-ID or start parameter without surrounding quotes or angle brackets.
std::string BareContentId(std::string_view id);

// A point in time (seconds since 1970) or an interval from now (seconds).
struct TimeValue {
  bool relative = false;
  std::uint64_t seconds = 0;
  bool operator==(const TimeValue&) const = default;
};

// From = Value-length (Address-present-token Encoded-string-value | Insert-address-token)
struct FromAddress {
  bool insertAddress = false;  // the relay fills in the sender
  EncodedString address;       // "+123/TYPE=PLMN", "a@b.c"; empty with insertAddress
  bool operator==(const FromAddress&) const = default;
};

// A header kept as sent: a well-known field (code 0..127), a textual one (name and text value), or,
// with neither code nor name, the rest of a part's headers after a code-page shift, byte for byte.
struct RawHeader {
  std::optional<std::uint8_t> code;
  std::string name;                  // textual header name; empty for a well-known field
  std::vector<std::uint8_t> value;   // the encoded field value, or the text of a named header
  bool operator==(const RawHeader&) const = default;
};

struct ContentDisposition {
  std::string disposition;  // "form-data", "attachment", "inline" or the token sent
  std::vector<WspParameter> parameters;
  bool operator==(const ContentDisposition&) const = default;
};

struct Part {
  ContentType contentType;
  std::optional<std::string> contentId;  // as sent, e.g. "<0.smil>", without the quote mark
  std::optional<std::string> contentLocation;
  std::optional<ContentDisposition> disposition;
  std::vector<RawHeader> otherHeaders;
  std::span<const std::uint8_t> data;
  std::size_t dataOffset = 0;  // where data starts in the decoded input

  // Content-ID without surrounding quotes or angle brackets.
  std::string BareContentId() const;
  // The name parameter of the content type, else the filename parameter of the disposition.
  std::string Name() const;
  std::string FileName() const;
};

struct Pdu {
  std::uint8_t messageType = static_cast<std::uint8_t>(MessageType::kSendReq);
  std::optional<std::string> transactionId;
  std::optional<std::string> mmsVersion;  // "1.2"
  std::optional<std::string> messageId;
  std::optional<std::uint64_t> date;
  std::optional<FromAddress> from;
  std::vector<EncodedString> to;
  std::vector<EncodedString> cc;
  std::vector<EncodedString> bcc;
  std::optional<EncodedString> subject;
  std::optional<std::string> messageClass;  // "Personal", "Advertisement", "Informational", "Auto" or a token
  std::optional<std::uint8_t> priority;
  std::optional<TimeValue> expiry;
  std::optional<TimeValue> deliveryTime;
  std::optional<std::uint8_t> deliveryReport;
  std::optional<std::uint8_t> readReport;
  std::optional<std::uint8_t> reportAllowed;
  std::optional<std::uint8_t> senderVisibility;
  std::optional<std::uint64_t> messageSize;
  std::optional<std::string> contentLocation;
  std::optional<std::uint8_t> status;
  std::optional<std::uint8_t> responseStatus;
  std::optional<EncodedString> responseText;
  std::optional<std::uint8_t> retrieveStatus;
  std::optional<EncodedString> retrieveText;
  std::optional<std::uint8_t> readStatus;
  std::vector<RawHeader> otherHeaders;  // headers without a field above, and repeats of single ones

  std::optional<ContentType> contentType;  // present exactly when the PDU has a body
  bool multipart = false;
  // The body's parts; a body that is not multipart is one part carrying the PDU's content type.
  std::vector<Part> parts;
  // Bytes after the last multipart entry, which some senders leave; they are not part of the message.
  std::size_t ignoredTrailingBytes = 0;
};

}  // namespace mm1
