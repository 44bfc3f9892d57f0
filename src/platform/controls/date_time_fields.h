// The fields of the date and time picker: its format read into parts, each part's text for a
// time, and the calendar rules by which a field steps or takes a typed value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/controls/date_time_picker.h"

namespace platform::controls {

enum class DateField { kText, kDay, kDayName, kMonth, kYear, kHour12, kHour24, kMinute, kAmPm };

struct DatePart {
  DateField field = DateField::kText;
  int width = 1;       // how many letters named it: "d" 1, "dd" 2, "MMM" 3, ...
  std::u16string text;  // the text shown as it is, for kText
};

// The parts of a format; letters the picker does not know are shown as they are, and a quote
// that is never closed quotes to the end.
std::vector<DatePart> ParseDateFormat(std::u16string_view format);
// The format a style shows when none was set.
std::u16string_view StyleFormat(DWORD style);
// Whether the user can select and change the part.
bool IsEditable(const DatePart& part);
std::u16string PartText(const DatePart& part, const SYSTEMTIME& time);

int DaysInMonth(int year, int month);
bool IsValidTime(const SYSTEMTIME& time);
// Steps the part's field by delta, wrapping within its range (years stop at 1601 and 9999); the day
// is held within the new month and the day of the week follows.
void StepField(SYSTEMTIME& time, DateField field, int delta);
// Sets the field to a typed value when it is one of the field's values; false otherwise.
bool SetFieldValue(SYSTEMTIME& time, DateField field, int value);
// The day of the week (0 Sunday) of a valid date.
WORD DayOfWeek(int year, int month, int day);

}  // namespace platform::controls
