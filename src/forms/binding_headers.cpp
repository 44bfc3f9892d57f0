// Header values of decoded MM1 messages, written into the store message of a binding.
#include "config/message_time.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/message_binding.h"
#include "forms/recipient_text.h"
#include "forms/store_properties.h"
#include "mm1/pdu.h"
#include "model/text_charset.h"

namespace {

using namespace store_property;

constexpr DWORD kMibUtf8 = 106;
constexpr DWORD kMibAscii = 3;
constexpr DWORD kMibUcs2 = 1000;
constexpr LONG kUnreadMark = 0x20;
constexpr DWORD kNotificationFlags = 0x1010000;
constexpr DWORD kUndeliveredFlags = 0x2010000;
constexpr LONG kHeaderSizeWithoutFile = 1024;

// A header text in UTF-16: the charsets of the text reader are decoded by it; any other charset
// (or none) by the MM1 library, so that no sender's text is lost.
CString HeaderText(const mm1::EncodedString& text) {
  DWORD charset = text.charset.value_or(0);
  if (charset == kMibUtf8 || charset == kMibAscii || charset == kMibUcs2) {
    return DecodeHeaderText(charset, text.bytes).value_or(CString());
  }
  CString decoded = CString::FromUtf8(text.Utf8());
  int end = decoded.Find(u'\0');
  return end < 0 ? decoded : decoded.Left(end);
}

CString AddressList(const std::vector<mm1::EncodedString>& addresses) {
  CString list;
  for (const mm1::EncodedString& address : addresses) {
    if (!list.IsEmpty()) list += u';';
    list += HeaderText(address).View();
  }
  return list;
}

CString SenderOf(const mm1::Pdu& pdu) {
  return pdu.from && !pdu.from->insertAddress ? HeaderText(pdu.from->address) : CString();
}

CString AsciiText(const std::optional<std::string>& text) {
  return text ? CString::FromUtf8(*text) : CString();
}

// The store's number of an X-Mms-Message-Class token (Personal 128 ... Auto 131); 0 for others.
LONG MessageClassNumber(const std::optional<std::string>& messageClass) {
  constexpr std::string_view kClasses[] = {"Personal", "Advertisement", "Informational", "Auto"};
  for (std::size_t i = 0; messageClass && i < std::size(kClasses); ++i) {
    if (*messageClass == kClasses[i]) return static_cast<LONG>(128 + i);
  }
  return 0;
}

LONG Now() { return static_cast<LONG>(config::MessageTimeNow()); }

CString ClassName(std::u16string_view suffix) { return GetConfigString(string_setting::kMMSClassName) + suffix; }

bool StoreExpiry(StoreMessage& message, const std::optional<mm1::TimeValue>& expiry) {
  if (!expiry) return true;
  return message.SetLong(kOptionExpiry, static_cast<LONG>(expiry->seconds)) &&
         message.SetBool(kAbsoluteExpiry, expiry->relative ? FALSE : TRUE);
}

bool StoreReportCommon(StoreMessage& message, LONG state, std::u16string_view suffix, const mm1::Pdu& report) {
  LONG now = Now();
  return message.SetState(state) && message.SetMessageClassText(ClassName(suffix).View()) &&
         message.ClearFlags(kUnreadMark) && message.SetLong(kTransportState, 3) && message.SetDate(now) &&
         message.SetDeliveryTime(now) && message.SetRecipients(AddressList(report.to).View(), u"", u"");
}

}  // namespace

bool MessageBinding::StoreHeader(const mm1::Pdu& header) {
  StoreMessage& message = Message();
  LONG size = static_cast<LONG>(DataFileSize().value_or(kHeaderSizeWithoutFile));
  bool ok = message.SetMessageClassText(ClassName(u"").View()) && message.SetFlags(0) &&
            message.SetState(message_state::kRetrieved) &&
            message.SetLong(kTransportState, message.Long(kTransportState) & ~2) && message.SetSize(size) &&
            message.SetSubject(header.subject ? HeaderText(*header.subject).View() : u"") &&
            message.SetSenderAddress(SenderOf(header).View()) &&
            message.SetRecipients(AddressList(header.to).View(), AddressList(header.cc).View(),
                                  AddressList(header.bcc).View());
  if (!ok) return false;
  if (header.priority) ok = message.WritePriority(*header.priority);
  if (LONG messageClass = MessageClassNumber(header.messageClass); messageClass != 0) {
    ok = ok && message.SetLong(kOptionMessageClass, messageClass);
  }
  if (header.deliveryReport) ok = ok && message.SetBool(kDeliveryReport, *header.deliveryReport == mm1::kYes);
  if (header.readReport) ok = ok && message.SetBool(kReadReport, *header.readReport == mm1::kYes);
  if (header.senderVisibility) ok = ok && message.SetLong(kOptionSenderVisibility, *header.senderVisibility);
  if (header.deliveryTime) ok = ok && message.SetLong(kOptionDeliveryTime, static_cast<LONG>(header.deliveryTime->seconds));
  ok = ok && StoreExpiry(message, header.expiry);
  LONG sent = header.date ? static_cast<LONG>(*header.date) : Now();
  return ok && message.SetLong(kOptionSentDate, sent) && message.SetDate(sent) && message.SetDeliveryTime(Now());
}

bool MessageBinding::StoreNotification(const mm1::Pdu& notification) {
  StoreMessage& message = Message();
  LONG now = Now();
  bool forwardWithoutDownload = GetConfigValue(numeric_setting::kEnableForwardWithoutDownload) != 0;
  bool ok = message.SetState(message_state::kNotification) &&
            (forwardWithoutDownload || message.SetLong(kTransportState, 2)) &&
            message.SetSize(static_cast<LONG>(notification.messageSize.value_or(0))) &&
            message.SetMessageClassText(ClassName(u".NT").View()) && message.ClearFlags(kUnreadMark) &&
            message.SetLong(kOptionSentDate, now) && message.SetDate(now) && message.SetDeliveryTime(now) &&
            message.SetLong(kOptionMessageClass, MessageClassNumber(notification.messageClass)) &&
            StoreExpiry(message, notification.expiry) &&
            // The relay's request for a delivery report travels with the notification.
            message.SetLong(kOption1C, notification.deliveryReport.value_or(0)) &&
            message.SetSenderAddress(SenderOf(notification).View()) &&
            message.SetText(kHeaderText7, AsciiText(notification.contentLocation).View()) &&
            message.SetText(kHeaderText5, AsciiText(notification.transactionId).View()) &&
            message.SetSubject(notification.subject ? HeaderText(*notification.subject).View() : u"");
  return ok && message.SetFlags(kNotificationFlags);
}

bool MessageBinding::StoreDeliveryReport(const mm1::Pdu& report) {
  StoreMessage& message = Message();
  // The status the relay reported; anything but "retrieved" marks the report for the user's attention.
  LONG status = report.status.value_or(0);
  bool ok = StoreReportCommon(message, message_state::kDeliveryReport, u".DR", report) &&
            message.SetText(kHeaderText6, AsciiText(report.messageId).View()) &&
            message.SetLong(kOptionSentDate, report.date ? static_cast<LONG>(*report.date) : Now()) &&
            message.SetLong(kOption1C, status);
  if (ok && status != 0x81) ok = message.SetFlags(kUndeliveredFlags);
  return ok;
}

bool MessageBinding::StoreReadReport(const mm1::Pdu& report) {
  StoreMessage& message = Message();
  CString sender = SenderOf(report);
  return StoreReportCommon(message, message_state::kReadReport, u".RR", report) &&
         message.SetSenderAddress(sender.View()) &&
         message.SetSenderName(SplitDisplayAddress(sender.View()).name.View());
}
