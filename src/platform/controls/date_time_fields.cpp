#include "platform/controls/date_time_fields.h"

#include <algorithm>
#include <array>

#include "platform/kernel/clock.h"

namespace platform::controls {
namespace {

constexpr int kFirstYear = 1601;
constexpr int kLastYear = 9999;
constexpr std::int64_t kSecondsPerDay = 86400;

constexpr std::array<const char16_t*, 12> kMonthNames = {u"January", u"February", u"March",     u"April",
                                                         u"May",     u"June",     u"July",      u"August",
                                                         u"September", u"October", u"November", u"December"};
constexpr std::array<const char16_t*, 7> kDayNames = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                                      u"Thursday", u"Friday", u"Saturday"};

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int era = (year >= 0 ? year : year - 399) / 400;
  const int yearOfEra = year - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int dayOfEra = static_cast<int>(days - era * 146097);
  const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int shifted = (5 * dayOfYear + 2) / 153;
  day = dayOfYear - (153 * shifted + 2) / 5 + 1;
  month = shifted < 10 ? shifted + 3 : shifted - 9;
  year = static_cast<int>(yearOfEra + era * 400) + (month <= 2 ? 1 : 0);
}

int Wrap(int value, int low, int high) {
  const int span = high - low + 1;
  return low + ((value - low) % span + span) % span;
}

std::u16string Number(int value, int width) {
  std::u16string text;
  do {
    text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value > 0);
  while (static_cast<int>(text.size()) < width) text.insert(text.begin(), u'0');
  return text;
}

DateField FieldOfLetter(char16_t letter) {
  switch (letter) {
    case u'd': return DateField::kDay;
    case u'M': return DateField::kMonth;
    case u'y': return DateField::kYear;
    case u'h': return DateField::kHour12;
    case u'H': return DateField::kHour24;
    case u'm': return DateField::kMinute;
    case u't': return DateField::kAmPm;
    default: return DateField::kText;
  }
}

void AppendText(std::vector<DatePart>& parts, std::u16string_view text) {
  if (parts.empty() || parts.back().field != DateField::kText) parts.push_back(DatePart{});
  parts.back().text += text;
}

}  // namespace

std::vector<DatePart> ParseDateFormat(std::u16string_view format) {
  std::vector<DatePart> parts;
  std::size_t i = 0;
  while (i < format.size()) {
    const char16_t letter = format[i];
    if (letter == u'\'') {
      const std::size_t close = format.find(u'\'', i + 1);
      const std::size_t end = close == std::u16string_view::npos ? format.size() : close;
      AppendText(parts, format.substr(i + 1, end - i - 1));
      i = end == format.size() ? end : end + 1;
      continue;
    }
    DateField field = FieldOfLetter(letter);
    if (field == DateField::kText) {
      AppendText(parts, format.substr(i, 1));
      ++i;
      continue;
    }
    std::size_t run = 1;
    while (i + run < format.size() && format[i + run] == letter && run < 4) ++run;
    i += run;
    int width = static_cast<int>(run);
    if (field == DateField::kDay && width >= 3) field = DateField::kDayName;
    if (field == DateField::kYear) width = width >= 3 ? 4 : 2;
    if (field != DateField::kDayName && field != DateField::kMonth && field != DateField::kYear) {
      width = std::min(width, 2);
    }
    parts.push_back(DatePart{field, width, {}});
  }
  return parts;
}

std::u16string_view StyleFormat(DWORD style) {
  if ((style & DTS_TIMEFORMAT) == DTS_TIMEFORMAT) return u"HH:mm";
  if (style & DTS_LONGDATEFORMAT) return u"dddd, d MMMM yyyy";
  return u"yyyy-MM-dd";
}

bool IsEditable(const DatePart& part) { return part.field != DateField::kText && part.field != DateField::kDayName; }

std::u16string PartText(const DatePart& part, const SYSTEMTIME& time) {
  switch (part.field) {
    case DateField::kText: return part.text;
    case DateField::kDay: return Number(time.wDay, part.width);
    case DateField::kDayName: {
      const std::u16string name = kDayNames[time.wDayOfWeek % 7];
      return part.width == 3 ? name.substr(0, 3) : name;
    }
    case DateField::kMonth: {
      if (part.width <= 2) return Number(time.wMonth, part.width);
      const std::u16string name = kMonthNames[static_cast<std::size_t>(Wrap(time.wMonth, 1, 12) - 1)];
      return part.width == 3 ? name.substr(0, 3) : name;
    }
    case DateField::kYear: return part.width == 2 ? Number(time.wYear % 100, 2) : Number(time.wYear, 4);
    case DateField::kHour12: return Number(time.wHour % 12 == 0 ? 12 : time.wHour % 12, part.width);
    case DateField::kHour24: return Number(time.wHour, part.width);
    case DateField::kMinute: return Number(time.wMinute, part.width);
    case DateField::kAmPm: {
      const std::u16string marker = time.wHour < 12 ? u"AM" : u"PM";
      return part.width == 1 ? marker.substr(0, 1) : marker;
    }
  }
  return {};
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool IsValidTime(const SYSTEMTIME& time) {
  return time.wYear >= kFirstYear && time.wYear <= kLastYear && time.wMonth >= 1 && time.wMonth <= 12 &&
         time.wDay >= 1 && time.wDay <= DaysInMonth(time.wYear, time.wMonth) && time.wHour < 24 &&
         time.wMinute < 60 && time.wSecond < 60 && time.wMilliseconds < 1000;
}

WORD DayOfWeek(int year, int month, int day) {
  // 1970-01-01 was a Thursday.
  return static_cast<WORD>(((DaysFromCivil(year, month, day) % 7) + 11) % 7);
}

void StepField(SYSTEMTIME& time, DateField field, int delta) {
  switch (field) {
    case DateField::kDay:
      time.wDay = static_cast<WORD>(Wrap(time.wDay + delta, 1, DaysInMonth(time.wYear, time.wMonth)));
      break;
    case DateField::kMonth: time.wMonth = static_cast<WORD>(Wrap(time.wMonth + delta, 1, 12)); break;
    case DateField::kYear: time.wYear = static_cast<WORD>(std::clamp(time.wYear + delta, kFirstYear, kLastYear)); break;
    case DateField::kHour12:
    case DateField::kHour24: time.wHour = static_cast<WORD>(Wrap(time.wHour + delta, 0, 23)); break;
    case DateField::kMinute: time.wMinute = static_cast<WORD>(Wrap(time.wMinute + delta, 0, 59)); break;
    case DateField::kAmPm: time.wHour = static_cast<WORD>((time.wHour + 12) % 24); break;
    case DateField::kText:
    case DateField::kDayName: return;
  }
  time.wDay = static_cast<WORD>(std::min(static_cast<int>(time.wDay), DaysInMonth(time.wYear, time.wMonth)));
  time.wDayOfWeek = DayOfWeek(time.wYear, time.wMonth, time.wDay);
}

bool SetFieldValue(SYSTEMTIME& time, DateField field, int value) {
  SYSTEMTIME changed = time;
  switch (field) {
    case DateField::kDay: changed.wDay = static_cast<WORD>(value); break;
    case DateField::kMonth:
      if (value < 1 || value > 12) return false;
      changed.wMonth = static_cast<WORD>(value);
      changed.wDay = static_cast<WORD>(std::min<int>(changed.wDay, DaysInMonth(changed.wYear, value)));
      break;
    case DateField::kYear: changed.wYear = static_cast<WORD>(std::clamp(value, 0, 0xFFFF)); break;
    case DateField::kHour12:
      if (value < 1 || value > 12) return false;
      changed.wHour = static_cast<WORD>(value % 12 + (time.wHour >= 12 ? 12 : 0));
      break;
    case DateField::kHour24: changed.wHour = static_cast<WORD>(std::clamp(value, 0, 0xFFFF)); break;
    case DateField::kMinute: changed.wMinute = static_cast<WORD>(std::clamp(value, 0, 0xFFFF)); break;
    case DateField::kText:
    case DateField::kDayName:
    case DateField::kAmPm: return false;
  }
  if (!IsValidTime(changed)) return false;
  changed.wDayOfWeek = DayOfWeek(changed.wYear, changed.wMonth, changed.wDay);
  time = changed;
  return true;
}

}  // namespace platform::controls

namespace platform {

SYSTEMTIME SystemTimeFromSeconds(std::int64_t seconds) {
  using namespace controls;
  const std::int64_t first = DaysFromCivil(kFirstYear, 1, 1) * kSecondsPerDay;
  const std::int64_t last = (DaysFromCivil(kLastYear + 1, 1, 1)) * kSecondsPerDay - 1;
  seconds = std::clamp(seconds, first, last);
  std::int64_t days = seconds / kSecondsPerDay;
  std::int64_t within = seconds % kSecondsPerDay;
  if (within < 0) {
    within += kSecondsPerDay;
    --days;
  }
  int year = 0, month = 0, day = 0;
  CivilFromDays(days, year, month, day);
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(year);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(day);
  time.wDayOfWeek = DayOfWeek(year, month, day);
  time.wHour = static_cast<WORD>(within / 3600);
  time.wMinute = static_cast<WORD>(within / 60 % 60);
  time.wSecond = static_cast<WORD>(within % 60);
  return time;
}

std::optional<std::int64_t> SecondsFromSystemTime(const SYSTEMTIME& time) {
  using namespace controls;
  if (!IsValidTime(time)) return std::nullopt;
  return DaysFromCivil(time.wYear, time.wMonth, time.wDay) * kSecondsPerDay + time.wHour * 3600 +
         time.wMinute * 60 + time.wSecond;
}

}  // namespace platform

void GetLocalTime(SYSTEMTIME* time) {
  if (time == nullptr) return;
  const std::int64_t now = platform::UnixTimeNow();
  *time = platform::SystemTimeFromSeconds(now + platform::LocalTimeOffset(now));
}
