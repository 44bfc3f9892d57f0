// MMS header field codes (OMA MMS encapsulation section 7.4, Table 12), without the high bit, and
// the WSP header codes that multipart entries use (WAP-230-WSP Table 39).
#pragma once

#include <cstdint>

namespace mm1::field {

constexpr std::uint8_t kBcc = 0x01;
constexpr std::uint8_t kCc = 0x02;
constexpr std::uint8_t kContentLocation = 0x03;
constexpr std::uint8_t kContentType = 0x04;
constexpr std::uint8_t kDate = 0x05;
constexpr std::uint8_t kDeliveryReport = 0x06;
constexpr std::uint8_t kDeliveryTime = 0x07;
constexpr std::uint8_t kExpiry = 0x08;
constexpr std::uint8_t kFrom = 0x09;
constexpr std::uint8_t kMessageClass = 0x0A;
constexpr std::uint8_t kMessageId = 0x0B;
constexpr std::uint8_t kMessageType = 0x0C;
constexpr std::uint8_t kMmsVersion = 0x0D;
constexpr std::uint8_t kMessageSize = 0x0E;
constexpr std::uint8_t kPriority = 0x0F;
constexpr std::uint8_t kReadReport = 0x10;
constexpr std::uint8_t kReportAllowed = 0x11;
constexpr std::uint8_t kResponseStatus = 0x12;
constexpr std::uint8_t kResponseText = 0x13;
constexpr std::uint8_t kSenderVisibility = 0x14;
constexpr std::uint8_t kStatus = 0x15;
constexpr std::uint8_t kSubject = 0x16;
constexpr std::uint8_t kTo = 0x17;
constexpr std::uint8_t kTransactionId = 0x18;
constexpr std::uint8_t kRetrieveStatus = 0x19;
constexpr std::uint8_t kRetrieveText = 0x1A;
constexpr std::uint8_t kReadStatus = 0x1B;

// Headers of a multipart entry.
constexpr std::uint8_t kPartContentLocation = 0x0E;
constexpr std::uint8_t kPartContentDisposition = 0x2E;
constexpr std::uint8_t kPartContentId = 0x40;
constexpr std::uint8_t kPartContentDisposition14 = 0x45;  // the WSP 1.4 assignment

}  // namespace mm1::field
