#include "forms/send_option_string.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "config/send_option_defaults.h"
#include "forms/forward_lock_check.h"
#include "forms/store_properties.h"
#include "platform/kernel/file_api.h"

namespace {

// The option properties the twelve fields go to: five booleans, then seven 32-bit values.
constexpr ULONG kFieldTags[12] = {
    store_property::kDeliveryReport, store_property::kReadReport,  store_property::kAbsoluteExpiry,
    store_property::kOptionFlag1A,   store_property::kOptionFlag1B, store_property::kOption1C,
    store_property::kOptionMessageClass, store_property::kOptionPriority, store_property::kOptionSenderVisibility,
    store_property::kOptionDeliveryTime, store_property::kOptionSentDate, store_property::kOptionExpiry,
};
constexpr ULONG kBooleanType = 0x000B;
// Bits 0 and 1 of the defaults' mask: the delivery report and the read report.
constexpr LONG kReportDefaults = 3;

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

LONG WideToLong(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  constexpr std::int64_t kHighest = std::numeric_limits<LONG>::max();
  constexpr std::int64_t kLowest = std::numeric_limits<LONG>::min();
  std::int64_t value = 0;
  // Digits beyond the range keep the value just past it, so that it cannot overflow.
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min(value * 10 + (text[i] - u'0'), kHighest + 1);
  }
  if (negative) value = -value;
  return static_cast<LONG>(std::clamp(value, kLowest, kHighest));
}

}  // namespace

std::optional<SendOptionString> ParseSendOptionString(std::u16string_view text) {
  const std::size_t equals = text.find(u'=');
  if (equals == std::u16string_view::npos) return std::nullopt;
  SendOptionString parsed;
  parsed.dataFile = CString(text.substr(0, equals));
  std::u16string_view rest = text.substr(equals + 1);
  for (std::size_t field = 0; field < parsed.fields.size(); ++field) {
    const std::size_t end = rest.find(u':');
    parsed.fields[field] = WideToLong(rest.substr(0, end));
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return parsed;
}

bool ApplySendOptionString(MessageBinding& binding, std::u16string_view text, bool* lockedObjectsRemoved) {
  *lockedObjectsRemoved = false;
  const std::optional<SendOptionString> parsed = ParseSendOptionString(text);
  if (!parsed) return false;
  StoreMessage& message = binding.Message();
  for (std::size_t i = 0; i < parsed->fields.size(); ++i) {
    if ((kFieldTags[i] & 0xFFFF) == kBooleanType) {
      message.SetBool(kFieldTags[i], parsed->fields[i] != 0 ? TRUE : FALSE);
    } else {
      message.SetLong(kFieldTags[i], parsed->fields[i]);
    }
  }
  const CString dataFile = binding.DataFile();
  if (!parsed->dataFile.IsEmpty()) CopyFileW(parsed->dataFile, dataFile, TRUE);
  binding.SetSizeFromFile(0);
  config::ApplyDefaultSendOptions(message, kReportDefaults);
  message.SetLong(store_property::kOptionSentDate, 0);
  if (!CheckForwardLock(binding, lockedObjectsRemoved)) {
    binding.DropModel();
    DeleteFileW(dataFile);
    return false;
  }
  return true;
}
