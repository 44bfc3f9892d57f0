// The date and time picker: the calendar it counts in, its formats, the keys, digits and taps that
// change its fields, what it tells its parent, and how it looks enabled, focused and disabled.
#include "platform/controls/date_time_picker.h"

#include "controls_fixture.h"
#include "platform/controls/control_common.h"
#include "platform/controls/date_time_fields.h"

namespace controls_test {
namespace {

using platform::controls::DateField;

SYSTEMTIME Date(int year, int month, int day, int hour = 0, int minute = 0) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(year);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(day);
  time.wHour = static_cast<WORD>(hour);
  time.wMinute = static_cast<WORD>(minute);
  return time;
}

// Seconds since 1970 and the calendar time they are, worked out by hand.
TEST(PickerCalendar, SecondsAndCalendarTimesMatchBothWays) {
  struct Case {
    std::int64_t seconds;
    int year, month, day, hour, minute, second, weekday;
  };
  const Case cases[] = {
      {0, 1970, 1, 1, 0, 0, 0, 4},                   // a Thursday
      {951782400, 2000, 2, 29, 0, 0, 0, 2},          // the leap day of a year divisible by 400
      {2147483647, 2038, 1, 19, 3, 14, 7, 2},        // the last second a signed 32-bit time holds
      {-11644473600, 1601, 1, 1, 0, 0, 0, 1},        // the first day the picker shows
      {253402300799, 9999, 12, 31, 23, 59, 59, 5},   // its last second
      {-1, 1969, 12, 31, 23, 59, 59, 3},
  };
  for (const Case& c : cases) {
    const SYSTEMTIME time = platform::SystemTimeFromSeconds(c.seconds);
    EXPECT_EQ(time.wYear, c.year) << c.seconds;
    EXPECT_EQ(time.wMonth, c.month) << c.seconds;
    EXPECT_EQ(time.wDay, c.day) << c.seconds;
    EXPECT_EQ(time.wHour, c.hour) << c.seconds;
    EXPECT_EQ(time.wMinute, c.minute) << c.seconds;
    EXPECT_EQ(time.wSecond, c.second) << c.seconds;
    EXPECT_EQ(time.wDayOfWeek, c.weekday) << c.seconds;
    EXPECT_EQ(platform::SecondsFromSystemTime(time), c.seconds);
  }
  // Outside the years it shows, a time is held at the nearest end.
  EXPECT_EQ(platform::SystemTimeFromSeconds(INT64_MIN / 2).wYear, 1601);
  EXPECT_EQ(platform::SystemTimeFromSeconds(INT64_MAX / 2).wYear, 9999);
  // Impossible calendar times have no seconds.
  EXPECT_FALSE(platform::SecondsFromSystemTime(Date(2023, 2, 29)));
  EXPECT_FALSE(platform::SecondsFromSystemTime(Date(1900, 2, 29)));
  EXPECT_FALSE(platform::SecondsFromSystemTime(Date(2024, 13, 1)));
  EXPECT_FALSE(platform::SecondsFromSystemTime(Date(2024, 4, 31)));
  EXPECT_FALSE(platform::SecondsFromSystemTime(Date(2024, 1, 1, 24, 0)));
  EXPECT_FALSE(platform::SecondsFromSystemTime(Date(1600, 12, 31)));
}

TEST(PickerFormat, LettersBecomeFieldsAndTheRestIsShownAsItIs) {
  SYSTEMTIME time = Date(2024, 3, 5, 14, 7);
  time.wDayOfWeek = 2;
  auto show = [&](std::u16string_view format) {
    std::u16string text;
    for (const auto& part : platform::controls::ParseDateFormat(format)) text += platform::controls::PartText(part, time);
    return text;
  };
  EXPECT_EQ(show(u"yyyy-MM-dd"), u"2024-03-05");
  EXPECT_EQ(show(u"d/M/yy"), u"5/3/24");
  EXPECT_EQ(show(u"dddd, d MMMM yyyy"), u"Tuesday, 5 March 2024");
  EXPECT_EQ(show(u"ddd MMM"), u"Tue Mar");
  EXPECT_EQ(show(u"HH:mm"), u"14:07");
  EXPECT_EQ(show(u"h:mm tt"), u"2:07 PM");
  EXPECT_EQ(show(u"'Due' HH'h'"), u"Due 14h");
  EXPECT_EQ(show(u"'open quote HH"), u"open quote HH") << "an unclosed quote runs to the end";
  EXPECT_EQ(show(u"dddddd"), u"Tuesday05") << "four letters at most make one field";
  EXPECT_EQ(show(u""), u"");
  time.wHour = 0;
  EXPECT_EQ(show(u"hh t"), u"12 A") << "midnight is twelve in the morning";
}

TEST(PickerFields, StepsWrapWithinTheirRangeAndKeepTheDayInItsMonth) {
  SYSTEMTIME time = Date(2024, 1, 31, 23, 59);
  platform::controls::StepField(time, DateField::kMonth, 1);
  EXPECT_EQ(time.wMonth, 2);
  EXPECT_EQ(time.wDay, 29) << "31 January a month on is the last day of February";
  platform::controls::StepField(time, DateField::kYear, 1);
  EXPECT_EQ(time.wDay, 28) << "2025 has no leap day";
  platform::controls::StepField(time, DateField::kMinute, 1);
  EXPECT_EQ(time.wMinute, 0);
  EXPECT_EQ(time.wHour, 23) << "a field wraps alone; the next one does not carry";
  platform::controls::StepField(time, DateField::kDay, 1);
  EXPECT_EQ(time.wDay, 1);
  platform::controls::StepField(time, DateField::kMonth, -2);
  EXPECT_EQ(time.wMonth, 12);
  EXPECT_EQ(time.wYear, 2025) << "the month wraps without carrying into the year";
  EXPECT_EQ(time.wDayOfWeek, 1) << "1 December 2025 is a Monday";
  platform::controls::StepField(time, DateField::kAmPm, 1);
  EXPECT_EQ(time.wHour, 11);
  time.wYear = 9999;
  platform::controls::StepField(time, DateField::kYear, 1);
  EXPECT_EQ(time.wYear, 9999) << "years stop at the end";

  EXPECT_FALSE(platform::controls::SetFieldValue(time, DateField::kDay, 32));
  EXPECT_FALSE(platform::controls::SetFieldValue(time, DateField::kHour12, 0));
  EXPECT_TRUE(platform::controls::SetFieldValue(time, DateField::kHour12, 12));
  EXPECT_EQ(time.wHour, 0) << "twelve in the morning";
}

class PickerTest : public ControlsTest {
 protected:
  HWND Make(DWORD style, RECT r = {10, 10, 130, 30}) {
    m_owner = MakeOwner();
    return CreateWindowExW(0, DATETIMEPICK_CLASS, u"", WS_CHILD | WS_VISIBLE | WS_BORDER | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, m_owner, reinterpret_cast<HMENU>(7), nullptr, nullptr);
  }
  static SYSTEMTIME Get(HWND picker) {
    SYSTEMTIME time{};
    EXPECT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)), static_cast<LRESULT>(GDT_VALID));
    return time;
  }
  static std::size_t Changes() {
    std::size_t count = 0;
    for (const Seen& seen : LogOf(WM_NOTIFY)) count += seen.wParam == 7;
    return count;
  }
  HWND m_owner = nullptr;
};

TEST_F(PickerTest, StartsAtTheCurrentMinuteAndTakesOnlyPossibleTimes) {
  platform::SetFixedUnixTime(951782400 + 3600 + 59);
  HWND picker = Make(DTS_UPDOWN);
  ASSERT_NE(picker, nullptr);
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const SYSTEMTIME shown = Get(picker);
  EXPECT_EQ(shown.wYear, now.wYear);
  EXPECT_EQ(shown.wDay, now.wDay);
  EXPECT_EQ(shown.wMinute, now.wMinute);
  EXPECT_EQ(shown.wSecond, 0);

  SYSTEMTIME impossible = Date(2023, 2, 29);
  EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&impossible)));
  EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, 0));
  EXPECT_EQ(Get(picker).wMinute, now.wMinute) << "a refused time changes nothing";
  SYSTEMTIME set = Date(2024, 2, 29, 8, 30);
  EXPECT_TRUE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&set)));
  EXPECT_EQ(Get(picker).wDayOfWeek, 4) << "the picker works out the weekday itself";
  EXPECT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, 0), -1);
  EXPECT_EQ(Changes(), 0u) << "what the program sets is not reported back to it";
  platform::SetFixedUnixTime(0);
}

TEST_F(PickerTest, ArrowKeysMoveBetweenFieldsAndChangeTheSelectedOne) {
  HWND picker = Make(DTS_UPDOWN);
  SYSTEMTIME set = Date(2024, 1, 31);
  SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&set));
  SetFocus(picker);
  ClearLog();
  // yyyy-MM-dd: the year is selected first.
  platform::automation::PressKey(VK_UP);
  EXPECT_EQ(Get(picker).wYear, 2025);
  platform::automation::PressKey(VK_RIGHT);
  platform::automation::PressKey(VK_DOWN);
  EXPECT_EQ(Get(picker).wMonth, 12);
  platform::automation::PressKey(VK_RIGHT);
  platform::automation::PressKey(VK_RIGHT);  // already at the last field: stays on the day
  platform::automation::PressKey(VK_UP);
  EXPECT_EQ(Get(picker).wDay, 1);
  platform::automation::PressKey(VK_LEFT);
  platform::automation::PressKey(VK_UP);
  platform::automation::PressKey(VK_UP);
  EXPECT_EQ(Get(picker).wMonth, 2);
  EXPECT_EQ(Changes(), 5u) << "one notification per change, none for moving";

  // Digits type into the field: "0" then "7" make July; "1", "3" is no month, so "3" starts again.
  platform::automation::TypeText(u"07");
  EXPECT_EQ(Get(picker).wMonth, 7);
  platform::automation::TypeText(u"13");
  EXPECT_EQ(Get(picker).wMonth, 3);
  // A year is taken once its four digits are in.
  platform::automation::PressKey(VK_LEFT);
  platform::automation::TypeText(u"203");
  EXPECT_EQ(Get(picker).wYear, 2025);
  platform::automation::TypeText(u"0");
  EXPECT_EQ(Get(picker).wYear, 2030);
}

TEST_F(PickerTest, TheTimeFormatTapsAndADisabledPicker) {
  HWND picker = Make(DTS_TIMEFORMAT);
  SYSTEMTIME set = Date(2024, 5, 1, 23, 58);
  SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&set));
  RECT client{};
  GetClientRect(picker, &client);
  // The arrows sit at the right: the upper one steps the selected field (the hour) up.
  platform::automation::Tap(ScreenPoint(picker, client.right - 2, 2));
  EXPECT_EQ(Get(picker).wHour, 0);
  EXPECT_EQ(Get(picker).wDay, 1) << "the hour wraps without changing the date";
  platform::automation::Tap(ScreenPoint(picker, client.right - 2, client.bottom - 2));
  EXPECT_EQ(Get(picker).wHour, 23);
  // A tap on the minutes selects them.
  HDC dc = GetDC(picker);
  SelectObject(dc, platform::controls::FontOr(nullptr));
  SIZE hours{};
  GetTextExtentPoint32W(dc, u"23:", 3, &hours);
  ReleaseDC(picker, dc);
  platform::automation::Tap(ScreenPoint(picker, 3 + hours.cx + 2, client.bottom / 2));
  platform::automation::PressKey(VK_UP);
  EXPECT_EQ(Get(picker).wMinute, 59);
  EXPECT_EQ(Get(picker).wHour, 23);

  const std::size_t before = Changes();
  EnableWindow(picker, FALSE);
  SetFocus(picker);
  platform::automation::PressKey(VK_UP);
  platform::automation::TypeText(u"1");
  platform::automation::Tap(ScreenPoint(picker, client.right - 2, 2));
  EXPECT_EQ(Get(picker).wMinute, 59) << "a disabled picker takes no input";
  EXPECT_EQ(Changes(), before);
}

// Pixels of a colour in the picker's client area.
int CountPixels(HWND picker, COLORREF color) {
  UpdateWindow(GetParent(picker));
  UpdateWindow(picker);
  RECT client{};
  GetClientRect(picker, &client);
  HDC dc = GetDC(picker);
  int count = 0;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) count += GetPixel(dc, x, y) == color;
  }
  ReleaseDC(picker, dc);
  return count;
}

TEST_F(PickerTest, FocusHighlightsTheSelectedFieldAndDisabledIsGrey) {
  HWND picker = Make(DTS_UPDOWN);
  SYSTEMTIME set = Date(2024, 5, 1);
  SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&set));
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  SetFocus(m_owner);
  EXPECT_EQ(CountPixels(picker, highlight), 0) << "without the focus no field is highlighted";
  const int faceEnabled = CountPixels(picker, face);
  const int greyEnabled = CountPixels(picker, grey);
  SetFocus(picker);
  EXPECT_GT(CountPixels(picker, highlight), 50);
  EnableWindow(picker, FALSE);
  EXPECT_EQ(CountPixels(picker, highlight), 0);
  EXPECT_GT(CountPixels(picker, face), faceEnabled + 500) << "a disabled picker is filled with the button face";
  EXPECT_GT(CountPixels(picker, grey), greyEnabled) << "its frame, arrows and text turn grey";
}

}  // namespace
}  // namespace controls_test
