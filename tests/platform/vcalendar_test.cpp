// vCalendar files: times checked against dates worked out by hand, items read back equal, and the
// components we do not keep (alarms, time zones) passed over without losing the item around them.
#include <gtest/gtest.h>

#include "platform/pim/vcalendar.h"

namespace {

using platform::pim::Appointment;
using platform::pim::ParseVersitTime;
using platform::pim::Task;

TEST(VersitTime, DatesAndTimesAgainstKnownSeconds) {
  bool dateOnly = false;
  EXPECT_EQ(ParseVersitTime("19700101T000000Z", &dateOnly), 0);
  EXPECT_FALSE(dateOnly);
  EXPECT_EQ(ParseVersitTime("20000229T120000Z"), 951825600);  // a leap day
  EXPECT_EQ(ParseVersitTime("20261207T115500"), 1796644500);  // no zone: taken as UTC
  EXPECT_EQ(ParseVersitTime("19691231T235959Z"), -1);
  EXPECT_EQ(ParseVersitTime("20261207", &dateOnly), 1796601600);
  EXPECT_TRUE(dateOnly);
  for (const char* bad : {"", "2026", "20261307", "20261200", "20261207T", "20261207T2500", "20261207T240000Z",
                          "20261207X120000", "20261207T120000+0100", "2026-12-07", "20261207T120000ZZ"}) {
    EXPECT_FALSE(ParseVersitTime(bad)) << bad;
  }
  for (std::int64_t seconds : {0LL, 951825600LL, 1796644500LL, -86401LL, 4102444799LL}) {
    EXPECT_EQ(ParseVersitTime(platform::pim::FormatVersitTime(seconds, false)), seconds);
  }
  EXPECT_EQ(platform::pim::FormatVersitTime(951825600, true), "20000229");
}

TEST(VcalendarWrite, ItemsReadBackEqual) {
  Appointment meeting{0, "Caf\xC3\xA9 with Zo\xC3\xAB; bring notes", "Room 4, 2nd floor", "agenda:\nitem one",
                      1796644500, 1796648100, false};
  Appointment holiday{0, "Holiday", "", "", 1796601600, 1796688000, true};
  Task task{0, "Send the report", "before noon", 1796644500, true, 3};
  Task open{0, "Water plants", "", 0, false, 0};
  for (const Appointment& appointment : {meeting, holiday}) {
    auto read = platform::pim::ReadVcalendar(platform::pim::WriteVcalendar(appointment));
    ASSERT_TRUE(read.ok()) << read.error;
    ASSERT_EQ(read.appointments.size(), 1u);
    EXPECT_EQ(read.appointments[0], appointment);
  }
  for (const Task& item : {task, open}) {
    auto read = platform::pim::ReadVcalendar(platform::pim::WriteVcalendar(item));
    ASSERT_TRUE(read.ok()) << read.error;
    ASSERT_EQ(read.tasks.size(), 1u);
    EXPECT_EQ(read.tasks[0], item);
  }
}

TEST(VcalendarRead, OtherComponentsArePassedOver) {
  constexpr std::string_view kText =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
      "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19701025T030000\r\nEND:STANDARD\r\n"
      "END:VTIMEZONE\r\n"
      "BEGIN:VEVENT\r\nSUMMARY:Dentist\r\nDTSTART:20261208T080000Z\r\n"
      "BEGIN:VALARM\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
      "DTEND:20261208T090000Z\r\nEND:VEVENT\r\n"
      "BEGIN:VTODO\r\nSUMMARY:Call back\r\nPRIORITY:high\r\nEND:VTODO\r\n"
      "END:VCALENDAR\r\n";
  auto read = platform::pim::ReadVcalendar(kText);
  ASSERT_TRUE(read.ok()) << read.error << " at line " << read.errorLine;
  ASSERT_EQ(read.appointments.size(), 1u);
  EXPECT_EQ(read.appointments[0].subject, "Dentist");
  EXPECT_EQ(read.appointments[0].end - read.appointments[0].start, 3600);
  ASSERT_EQ(read.tasks.size(), 1u);
  EXPECT_EQ(read.tasks[0].priority, 0);
  ASSERT_EQ(read.warnings.size(), 1u);
  EXPECT_NE(read.warnings[0].find("line 19: PRIORITY"), std::string::npos) << read.warnings[0];
}

TEST(VcalendarRead, BrokenFilesFailAndKeepNothing) {
  struct Bad {
    const char* text;
    const char* error;
    int line;
  };
  const Bad cases[] = {
      {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:2026\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n", "not a date", 3},
      {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY;ENCODING=QUOTED-PRINTABLE:=XY\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
       "quoted-printable", 3},
      {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:a\r\nEND:VTODO\r\nEND:VCALENDAR\r\n", "not begun", 4},
      {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:a\r\nEND:VEVENT\r\n", "no END:VCALENDAR", 4},
      {"SUMMARY:a\r\n", "outside a vCalendar", 1},
      {"", "no vCalendar", 0},
  };
  for (const Bad& bad : cases) {
    auto read = platform::pim::ReadVcalendar(bad.text);
    EXPECT_FALSE(read.ok()) << bad.text;
    EXPECT_NE(read.error.find(bad.error), std::string::npos) << bad.text << ": " << read.error;
    EXPECT_EQ(read.errorLine, bad.line) << bad.text;
    EXPECT_TRUE(read.appointments.empty() && read.tasks.empty());
  }
}

}  // namespace
