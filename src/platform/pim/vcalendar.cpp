#include "platform/pim/vcalendar.h"

#include <cstdio>

#include "platform/pim/versit_lines.h"
#include "platform/pim/versit_writer.h"
#include "platform/text/text_conversion.h"

namespace platform::pim {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian), and back.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(std::int64_t days, int* year, unsigned* month, unsigned* day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned mp = (5 * dayOfYear + 2) / 153;
  *day = dayOfYear - (153 * mp + 2) / 5 + 1;
  *month = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (*month <= 2));
}

std::optional<unsigned> Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return std::nullopt;
  unsigned value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
  }
  return value;
}

bool IsComponent(const VersitLine& line, std::string_view marker, std::string_view component) {
  return line.name == marker && EqualsNoCase(TrimSpaces(line.value), component);
}

struct ItemReader {
  VcalendarRead* result = nullptr;
  bool event = true;
  Appointment appointment;
  Task task;
  std::size_t properties = 0;

  bool Fail(const VersitLine& line, std::string what) {
    result->error = std::move(what);
    result->errorLine = line.line;
    return false;
  }

  bool Take(const VersitLine& line) {
    static constexpr std::string_view kTextProperties[] = {"SUMMARY", "LOCATION", "DESCRIPTION"};
    for (std::string_view name : kTextProperties) {
      if (line.name != name) continue;
      std::string error;
      std::optional<std::string> text = DecodeText(line, &error);
      if (!text) return Fail(line, line.name + ": " + error);
      std::string value = Unescape(*text);
      // Control characters are dropped: a line break is "\n" alone.
      std::erase_if(value, [](char c) { return (c >= 0 && c < 0x20 && c != '\n' && c != '\t') || c == 0x7F; });
      if (value.size() > kMaxFieldBytes) {
        std::size_t end = kMaxFieldBytes;
        while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
        value.resize(end);
      }
      std::string& field = name == "SUMMARY"    ? (event ? appointment.subject : task.subject)
                           : name == "LOCATION" ? appointment.location
                                                : (event ? appointment.note : task.note);
      field = std::move(value);
      return true;
    }
    if (line.name == "DTSTART" || line.name == "DTEND" || line.name == "DUE") {
      bool dateOnly = false;
      std::optional<std::int64_t> time = ParseVersitTime(TrimSpaces(line.value), &dateOnly);
      if (!time) return Fail(line, line.name + ": not a date and time");
      if (line.name == "DUE") {
        task.due = *time;
      } else if (line.name == "DTSTART") {
        appointment.start = *time;
        appointment.allDay = dateOnly;
      } else {
        appointment.end = *time;
      }
    } else if (line.name == "STATUS") {
      task.complete = EqualsNoCase(TrimSpaces(line.value), std::string_view("COMPLETED"));
    } else if (line.name == "COMPLETED") {
      task.complete = true;
    } else if (line.name == "PRIORITY") {
      std::string_view value = TrimSpaces(line.value);
      std::optional<unsigned> priority = value.size() == 1 ? Digits(value, 0, 1) : std::nullopt;
      if (priority) {
        task.priority = static_cast<int>(*priority);
      } else {
        result->warnings.push_back("line " + std::to_string(line.line) + ": PRIORITY is not 0 to 9, left out");
      }
    }
    return true;
  }

  void Finish() {
    if (event) {
      if (appointment.end < appointment.start) appointment.end = appointment.start;
      result->appointments.push_back(std::move(appointment));
    } else {
      result->tasks.push_back(std::move(task));
    }
  }
};

void ReadInto(std::string_view text, VcalendarRead& result) {
  VersitLines lines = ReadVersitLines(text, kMaxVcalendarItems * 8 + kMaxVcalendarItemProperties);
  if (!lines.ok()) {
    result.error = std::move(lines.error);
    result.errorLine = lines.errorLine;
    return;
  }
  auto fail = [&](const VersitLine& line, std::string what) {
    result.error = std::move(what);
    result.errorLine = line.line;
  };
  bool inCalendar = false;
  bool sawCalendar = false;
  std::optional<ItemReader> item;
  int skipDepth = 0;  // inside a component that is not kept (a time zone, an alarm)
  for (const VersitLine& line : lines.lines) {
    if (skipDepth > 0) {
      if (line.name == "BEGIN") ++skipDepth;
      if (line.name == "END") --skipDepth;
      if (skipDepth > 8) return fail(line, "components nested too deep");
      continue;
    }
    if (!inCalendar) {
      if (!IsComponent(line, "BEGIN", "VCALENDAR")) return fail(line, "text outside a vCalendar");
      inCalendar = sawCalendar = true;
      continue;
    }
    if (item) {
      if (IsComponent(line, "END", item->event ? "VEVENT" : "VTODO")) {
        item->Finish();
        item.reset();
      } else if (line.name == "BEGIN") {
        skipDepth = 1;
      } else if (line.name == "END") {
        return fail(line, "END of a component that was not begun");
      } else if (++item->properties > kMaxVcalendarItemProperties) {
        return fail(line, "an item of more than " + std::to_string(kMaxVcalendarItemProperties) + " properties");
      } else if (!item->Take(line)) {
        return;
      }
      continue;
    }
    if (IsComponent(line, "BEGIN", "VEVENT") || IsComponent(line, "BEGIN", "VTODO")) {
      if (result.appointments.size() + result.tasks.size() >= kMaxVcalendarItems) {
        return fail(line, "more than " + std::to_string(kMaxVcalendarItems) + " items in one file");
      }
      item.emplace();
      item->result = &result;
      item->event = IsComponent(line, "BEGIN", "VEVENT");
    } else if (IsComponent(line, "END", "VCALENDAR")) {
      inCalendar = false;
    } else if (line.name == "BEGIN") {
      skipDepth = 1;
    }
  }
  if (inCalendar || item || skipDepth > 0) {
    result.error = "the vCalendar has no END:VCALENDAR";
    result.errorLine = lines.lines.empty() ? 0 : lines.lines.back().line;
  } else if (!sawCalendar) {
    result.error = "no vCalendar in the file";
  } else if (result.appointments.empty() && result.tasks.empty()) {
    result.warnings.push_back("the vCalendar holds no appointment or task");
  }
}

}  // namespace

std::optional<std::int64_t> ParseVersitTime(std::string_view text, bool* dateOnly) {
  const auto year = Digits(text, 0, 4);
  const auto month = Digits(text, 4, 2);
  const auto day = Digits(text, 6, 2);
  if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 || *day > 31) return std::nullopt;
  std::int64_t seconds = DaysFromCivil(*year, *month, *day) * 86400;
  if (dateOnly) *dateOnly = text.size() == 8;
  if (text.size() == 8) return seconds;
  const auto hour = Digits(text, 9, 2);
  const auto minute = Digits(text, 11, 2);
  const auto second = Digits(text, 13, 2);
  if (text[8] != 'T' || !hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 60) {
    return std::nullopt;
  }
  if (text.size() != 15 && !(text.size() == 16 && (text[15] == 'Z' || text[15] == 'z'))) return std::nullopt;
  return seconds + *hour * 3600 + *minute * 60 + *second;
}

std::string FormatVersitTime(std::int64_t seconds, bool dateOnly) {
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  int year = 0;
  unsigned month = 0, day = 0;
  CivilFromDays(days, &year, &month, &day);
  char text[32];
  if (dateOnly) {
    std::snprintf(text, sizeof text, "%04d%02u%02u", year, month, day);
  } else {
    std::snprintf(text, sizeof text, "%04d%02u%02uT%02d%02d%02dZ", year, month, day, static_cast<int>(rest / 3600),
                  static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
  }
  return text;
}

std::string WriteVcalendar(const Appointment& appointment) {
  VersitWriter writer(VersitForm::kVersion21);
  writer.Raw("BEGIN", "VCALENDAR");
  writer.Raw("VERSION", "1.0");
  writer.Raw("BEGIN", "VEVENT");
  writer.Text("SUMMARY", appointment.subject);
  if (!appointment.location.empty()) writer.Text("LOCATION", appointment.location);
  if (!appointment.note.empty()) writer.Text("DESCRIPTION", appointment.note);
  // A day of an all-day appointment is written as a date; a time within a day keeps its time.
  auto asDate = [&](std::int64_t seconds) { return appointment.allDay && seconds % 86400 == 0; };
  writer.Raw("DTSTART", FormatVersitTime(appointment.start, asDate(appointment.start)));
  writer.Raw("DTEND", FormatVersitTime(appointment.end, asDate(appointment.end)));
  writer.Raw("END", "VEVENT");
  writer.Raw("END", "VCALENDAR");
  return writer.Output();
}

std::string WriteVcalendar(const Task& task) {
  VersitWriter writer(VersitForm::kVersion21);
  writer.Raw("BEGIN", "VCALENDAR");
  writer.Raw("VERSION", "1.0");
  writer.Raw("BEGIN", "VTODO");
  writer.Text("SUMMARY", task.subject);
  if (!task.note.empty()) writer.Text("DESCRIPTION", task.note);
  if (task.due != 0) writer.Raw("DUE", FormatVersitTime(task.due, false));
  writer.Raw("STATUS", task.complete ? "COMPLETED" : "NEEDS ACTION");
  if (task.priority > 0) writer.Raw("PRIORITY", std::to_string(task.priority));
  writer.Raw("END", "VTODO");
  writer.Raw("END", "VCALENDAR");
  return writer.Output();
}

VcalendarRead ReadVcalendar(std::string_view text) {
  VcalendarRead result;
  ReadInto(text, result);
  if (!result.ok()) {
    result.appointments.clear();
    result.tasks.clear();
  }
  return result;
}

}  // namespace platform::pim
