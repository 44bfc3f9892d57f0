#include "forms/message_info_text.h"

#include <string>

#include "forms/read_dialogs.h"
#include "forms/store_properties.h"
#include "model/media_types.h"
#include "platform/kernel/file_api.h"
#include "transport/resource_module.h"

namespace {

using namespace store_property;

namespace text_id {
constexpr UINT kFrom = 41200, kTo = 41201, kCc = 41202, kSubject = 41203, kDate = 41204, kSize = 41205,
               kClass = 41206, kPriority = 41207, kNoSubject = 41208, kStatus = 41209, kBcc = 41236,
               kObjects = 41238, kReport = 41239;
constexpr UINT kFirstPriority = 41210;     // 128 low, 129 normal, 130 high
constexpr UINT kFirstClass = 41213;        // 128 personal ... 131 auto
constexpr UINT kFirstVisibility = 41217;   // 128 hidden, 129 shown
constexpr UINT kFirstStatus = 41220;       // 128 expired ... 135 unreachable
constexpr UINT kDeliveryReportTemplate = 41230;
constexpr UINT kReadReportTemplate = 41231;
constexpr UINT kDeliveryAsked = 41232, kDeliveryNotAsked = 41233, kReadAsked = 41234, kReadNotAsked = 41235;
constexpr UINT kKilobytes = 40850;
constexpr UINT kMegabytes = 40918;
}  // namespace text_id

constexpr LONG kFirstCode = 128;
constexpr std::int64_t kSecondsPerDay = 86400;

struct CivilDate {
  int year;
  int month;
  int day;
};

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's days-to-civil).
CivilDate DateOfDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
  const auto day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  const auto month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  const auto year = static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

// The name among consecutive resource strings for codes from 128; empty outside the range.
CString CodeName(LONG code, UINT firstString, int count) {
  if (code < kFirstCode || code >= kFirstCode + count) return CString();
  return transport::LoadResourceString(firstString + static_cast<UINT>(code - kFirstCode));
}

void Add(std::vector<InfoLine>& lines, UINT label, const CString& value) {
  if (!value.IsEmpty()) lines.push_back({transport::LoadResourceString(label), value});
}

CString SenderText(const StoreMessage& message) {
  CString sender = message.SenderAddress();
  return sender.IsEmpty() ? message.SenderName() : sender;
}

CString DateAndTime(LONG seconds) {
  if (seconds == 0) return CString();
  return MessageDateText(seconds) + u" " + MessageTimeText(seconds).View();
}

std::vector<InfoLine> HeaderLines(const StoreMessage& message) {
  std::vector<InfoLine> lines;
  Add(lines, text_id::kFrom, SenderText(message));
  Add(lines, text_id::kTo, message.ToList());
  Add(lines, text_id::kCc, message.CcList());
  Add(lines, text_id::kSubject, message.Subject());
  Add(lines, text_id::kDate, DateAndTime(message.Date()));
  if (message.Size() > 0) Add(lines, text_id::kSize, MessageSizeText(message.Size()));
  Add(lines, text_id::kClass, MessageClassText(message.MessageClass()));
  Add(lines, text_id::kPriority, PriorityText(message.Priority()));
  return lines;
}

CString JoinLines(const std::vector<InfoLine>& lines) {
  CString text;
  for (const InfoLine& line : lines) {
    if (!text.IsEmpty()) text += u"\r\n";
    text += line.label.View();
    text += u' ';
    text += line.value.View();
  }
  return text;
}

// The size of a part's file, or nothing when it cannot be opened.
std::optional<DWORD> PartFileSize(const CString& path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  const DWORD size = GetFileSize(file, nullptr);
  CloseHandle(file);
  if (size == INVALID_FILE_SIZE) return std::nullopt;
  return size;
}

}  // namespace

CString MessageDateText(LONG seconds) {
  const CivilDate date = DateOfDays(FloorDiv(seconds, kSecondsPerDay));
  CString text;
  text.Format(u"%02d/%02d/%04d", date.day, date.month, date.year);
  return text;
}

CString MessageTimeText(LONG seconds) {
  const std::int64_t ofDay = seconds - FloorDiv(seconds, kSecondsPerDay) * kSecondsPerDay;
  CString text;
  text.Format(u"%02d:%02d", static_cast<int>(ofDay / 3600), static_cast<int>(ofDay % 3600 / 60));
  return text;
}

CString MessageSizeText(LONG bytes) {
  const std::int64_t size = bytes < 0 ? 0 : bytes;
  constexpr std::int64_t kMegabyte = 1024 * 1024;
  CString text;
  if (size < kMegabyte) {
    text.Format(transport::LoadResourceString(text_id::kKilobytes), static_cast<int>((size + 1023) / 1024));
    return text;
  }
  // The resource format has "%.1f", which the string formatter leaves to its callers.
  const std::int64_t tenths = (size * 10 + kMegabyte / 2) / kMegabyte;
  CString number;
  number.Format(u"%d.%d", static_cast<int>(tenths / 10), static_cast<int>(tenths % 10));
  text = transport::LoadResourceString(text_id::kMegabytes);
  if (text.Replace(u"%.1f", number.View()) == 0) text = number + u" MB";
  return text;
}

CString PriorityText(LONG priority) { return CodeName(priority, text_id::kFirstPriority, 3); }
CString MessageClassText(LONG messageClass) { return CodeName(messageClass, text_id::kFirstClass, 4); }
CString DeliveryStatusText(LONG status) { return CodeName(status, text_id::kFirstStatus, 8); }
CString SenderVisibilityText(LONG visibility) { return CodeName(visibility, text_id::kFirstVisibility, 2); }

bool IsReportMessage(const StoreMessage& message) {
  const LONG state = message.State();
  return state == message_state::kDeliveryReport || state == message_state::kReadReport;
}

CString ReportInfoText(const StoreMessage& message) {
  const LONG state = message.State();
  if (state != message_state::kDeliveryReport && state != message_state::kReadReport) return CString();
  const bool delivery = state == message_state::kDeliveryReport;
  CString subject = message.Subject();
  if (subject.IsEmpty()) subject = transport::LoadResourceString(text_id::kNoSubject);
  // A delivery report names the recipient it was delivered to; a read report comes from the reader.
  const CString recipients = delivery ? message.ToList() : SenderText(message);
  const LONG date = message.Date();
  return ReportText(transport::LoadResourceString(delivery ? text_id::kDeliveryReportTemplate
                                                           : text_id::kReadReportTemplate),
                    subject, recipients, MessageDateText(date), MessageTimeText(date));
}

std::vector<InfoLine> MessageInfoLines(const StoreMessage& message) {
  if (!IsReportMessage(message)) return HeaderLines(message);
  std::vector<InfoLine> lines;
  Add(lines, text_id::kReport, ReportInfoText(message));
  if (message.State() == message_state::kDeliveryReport) {
    Add(lines, text_id::kStatus, DeliveryStatusText(message.Long(kOption1C)));
  }
  Add(lines, text_id::kDate, DateAndTime(message.Date()));
  return lines;
}

CString DeliveryReportText(const StoreMessage& message) {
  if (message.State() == message_state::kDeliveryReport) {
    std::vector<InfoLine> lines;
    Add(lines, text_id::kStatus, DeliveryStatusText(message.Long(kOption1C)));
    return ReportInfoText(message) + u"\r\n\r\n" + JoinLines(lines).View();
  }
  return transport::LoadResourceString(message.DeliveryReport() ? text_id::kDeliveryAsked : text_id::kDeliveryNotAsked);
}

CString ReadReportText(const StoreMessage& message) {
  if (message.State() == message_state::kReadReport) return ReportInfoText(message);
  return transport::LoadResourceString(message.Bool(kReadReport) ? text_id::kReadAsked : text_id::kReadNotAsked);
}

CString MessageDetailsText(const StoreMessage& message, const MessageModel* model) {
  std::vector<InfoLine> lines = HeaderLines(message);
  Add(lines, text_id::kBcc, message.BccList());
  CString text = JoinLines(lines);
  text += u"\r\n";
  text += transport::LoadResourceString(message.DeliveryReport() ? text_id::kDeliveryAsked : text_id::kDeliveryNotAsked)
              .View();
  text += u"\r\n";
  text += transport::LoadResourceString(message.Bool(kReadReport) ? text_id::kReadAsked : text_id::kReadNotAsked).View();
  if (model == nullptr || model->parts.empty()) return text;
  text += u"\r\n\r\n";
  text += transport::LoadResourceString(text_id::kObjects).View();
  for (const MediaPart& part : model->parts) {
    text += u"\r\n";
    text += part.fileName.View();
    text += u"\r\n    ";
    // The type without its parameters: the charset a text came in is no concern of the reader's.
    const std::string type = ContentTypeOfType(part.type);
    text += CString::FromUtf8(std::string_view(type).substr(0, type.find(';'))).View();
    if (std::optional<DWORD> size = PartFileSize(model->partFolder + part.fileName.View())) {
      text += u", ";
      text += MessageSizeText(static_cast<LONG>(std::min<DWORD>(*size, 0x7FFFFFFF))).View();
    }
  }
  return text;
}
