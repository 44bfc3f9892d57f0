#include "forms/send_request.h"

#include <atomic>

#include "config/message_time.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/recipient_text.h"
#include "forms/store_properties.h"
#include "platform/text/text_conversion.h"

namespace {

using namespace store_property;

constexpr std::string_view kTypePlmn = "/TYPE=PLMN";
constexpr std::string_view kMessageClasses[] = {"Personal", "Advertisement", "Informational", "Auto"};
constexpr LONG kFirstOctetValue = 128;

bool IsSeparator(char16_t c) { return c == u' ' || c == u'-' || c == u'.' || c == u'(' || c == u')'; }

// Digits with a leading "+" at most, once the usual separators are taken out; nothing otherwise.
std::optional<std::string> PhoneDigits(std::u16string_view text) {
  std::string digits;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'0' && c <= u'9') {
      digits += static_cast<char>(c);
    } else if (c == u'+' && digits.empty() && i == text.find_first_not_of(u' ')) {
      digits += '+';
    } else if (!IsSeparator(c)) {
      return std::nullopt;
    }
  }
  if (digits.empty() || digits == "+") return std::nullopt;
  return digits;
}

bool NamesItsType(std::string_view address) {
  std::size_t slash = address.rfind('/');
  if (slash == std::string_view::npos) return false;
  std::string_view tail = address.substr(slash);
  return tail.size() > 6 && platform::EqualsNoCase(tail.substr(0, 6), std::string_view("/TYPE="));
}

// Every entry of a stored address list ("a;b;c"), as the relay takes them.
mm1::Result<std::vector<mm1::EncodedString>> Recipients(const CString& list) {
  std::vector<mm1::EncodedString> addresses;
  std::u16string_view rest = list.View();
  while (!rest.empty()) {
    std::size_t end = rest.find(u';');
    std::u16string_view entry = rest.substr(0, end);
    rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
    std::size_t first = entry.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos) continue;
    entry = entry.substr(first, entry.find_last_not_of(u" \t") - first + 1);
    auto address = SendAddress(entry);
    if (!address) return mm1::Error{"cannot send to \"" + platform::Utf16ToUtf8(entry) + "\""};
    addresses.push_back(mm1::EncodedUtf8(*address));
  }
  return addresses;
}

std::optional<std::uint8_t> OctetOption(LONG value, LONG last) {
  if (value < kFirstOctetValue || value > last) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

std::optional<mm1::TimeValue> TimeOption(LONG seconds, bool absolute) {
  if (seconds <= 0) return std::nullopt;
  return mm1::TimeValue{!absolute, static_cast<std::uint64_t>(seconds)};
}

std::string NewTransactionId(WORD number) {
  static std::atomic<unsigned> counter{0};
  return "T" + std::to_string(number) + "-" + std::to_string(config::MessageTimeNow()) + "-" +
         std::to_string(counter++);
}

// The send options the message holds, as the headers that carry them.
void SetSendOptions(mm1::Pdu& request, const StoreMessage& message) {
  LONG messageClass = message.Long(kOptionMessageClass);
  if (auto index = OctetOption(messageClass, kFirstOctetValue + 3)) {
    request.messageClass = std::string(kMessageClasses[*index - kFirstOctetValue]);
  }
  request.priority = OctetOption(message.Long(kOptionPriority), mm1::kPriorityHigh);
  request.senderVisibility = OctetOption(message.Long(kOptionSenderVisibility), mm1::kNo);
  request.deliveryReport = message.Bool(kDeliveryReport) ? mm1::kYes : mm1::kNo;
  request.readReport = message.Bool(kReadReport) ? mm1::kYes : mm1::kNo;
  // A composed message's times are absolute when the send-option dialog works in absolute times; a
  // forwarded notification's expiry says so itself.
  bool expiryAbsolute = message.Bool(kAbsoluteExpiry) != FALSE ||
                        GetConfigValue(numeric_setting::kSendExpireTimeInAbsolute) != 0;
  request.expiry = TimeOption(message.Long(kOptionExpiry), expiryAbsolute);
  bool deliveryAbsolute = GetConfigValue(numeric_setting::kSendDeliveryTimeInAbsolute) != 0;
  request.deliveryTime = TimeOption(message.Long(kOptionDeliveryTime), deliveryAbsolute);
}

}  // namespace

std::optional<std::string> SendAddress(std::u16string_view entry) {
  CString address = SplitDisplayAddress(entry).address;
  address.Trim();
  std::string text = address.ToUtf8();
  if (text.empty()) return std::nullopt;
  if (NamesItsType(text)) return text;
  if (text.find('@') != std::string::npos) {
    bool plain = text.find_first_of(" ;,<>\"") == std::string::npos && text.front() != '@' && text.back() != '@';
    return plain ? std::optional(text) : std::nullopt;
  }
  auto digits = PhoneDigits(address.View());
  if (!digits) return std::nullopt;
  return *digits + std::string(kTypePlmn);
}

mm1::Result<mm1::Pdu> ComposeSendRequest(const mm1::Pdu& body, const StoreMessage& message, WORD number) {
  if (!body.multipart || !body.contentType || body.parts.empty()) return mm1::Error{"the data file holds no message body"};
  mm1::Pdu request;
  request.messageType = static_cast<std::uint8_t>(mm1::MessageType::kSendReq);
  request.transactionId = NewTransactionId(number);
  request.mmsVersion = "1.2";
  request.date = static_cast<std::uint64_t>(config::MessageTimeNow());
  request.from = mm1::FromAddress{true, {}};
  for (auto [list, target] : {std::pair{kToAddresses, &request.to}, std::pair{kCcAddresses, &request.cc},
                              std::pair{kBccAddresses, &request.bcc}}) {
    auto addresses = Recipients(message.Text(list));
    if (!addresses) return addresses.Failure();
    *target = std::move(addresses.Value());
  }
  if (request.to.empty() && request.cc.empty() && request.bcc.empty()) return mm1::Error{"the message has no recipient"};
  if (CString subject = message.Subject(); !subject.IsEmpty()) request.subject = mm1::EncodedUtf8(subject.ToUtf8());
  SetSendOptions(request, message);
  request.contentType = body.contentType;
  request.multipart = true;
  request.parts = body.parts;
  return request;
}

CString SendRequestFile(const MessageBinding& binding) {
  CString name;
  name.Format(u"%s%d.send.mms", binding.ContentFolder().GetString(), static_cast<int>(MessageNumber(binding.Identifier())));
  return name;
}
