// The date and time picker ("SysDateTimePick32"): a date or a time shown in fields (day, month,
// year, hour, minute, AM/PM) of which one is selected. The left and right keys move between
// fields, the up and down keys (or a tap on the arrows at the right) change the selected one, and
// digits type into it; a tap on a field selects it. Every change made by the user reaches the
// parent as WM_NOTIFY with DTN_DATETIMECHANGE. A disabled picker is drawn grey and takes no input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/controls/control_messages.h"

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

constexpr const WCHAR* DATETIMEPICK_CLASS = u"SysDateTimePick32";

// Styles: the format (short date, long date or time) and the arrows at the right.
constexpr DWORD DTS_SHORTDATEFORMAT = 0x0000;
constexpr DWORD DTS_UPDOWN = 0x0001;
constexpr DWORD DTS_LONGDATEFORMAT = 0x0004;
constexpr DWORD DTS_TIMEFORMAT = 0x0009;

constexpr UINT DTM_FIRST = 0x1000;
// lParam: the SYSTEMTIME to fill; the result is GDT_VALID.
constexpr UINT DTM_GETSYSTEMTIME = DTM_FIRST + 1;
// wParam GDT_VALID, lParam the SYSTEMTIME; FALSE (and nothing changed) for an impossible date or time.
constexpr UINT DTM_SETSYSTEMTIME = DTM_FIRST + 2;
// lParam: a format of the picker's own letters (d dd ddd dddd M MM MMM MMMM yy yyyy h hh H HH m mm
// t tt), other characters and 'quoted' text shown as they are; null goes back to the style's format.
constexpr UINT DTM_SETFORMATW = DTM_FIRST + 50;
constexpr DWORD GDT_VALID = 0;

constexpr UINT DTN_DATETIMECHANGE = static_cast<UINT>(-759);

struct NMDATETIMECHANGE {
  NMHDR nmhdr;
  DWORD dwFlags;
  SYSTEMTIME st;
};

// The current local time of the device.
void GetLocalTime(SYSTEMTIME* time);

namespace platform {

// The calendar time of seconds since 1970 (no time zone applied), within the years 1601 to 9999.
SYSTEMTIME SystemTimeFromSeconds(std::int64_t seconds);
// Seconds since 1970 of a calendar time; nothing when a field is out of its range.
std::optional<std::int64_t> SecondsFromSystemTime(const SYSTEMTIME& time);

}  // namespace platform
