// vCalendar 1.0 files of appointments (VEVENT) and tasks (VTODO): written for export, and read for
// import (iCalendar 2.0 files of the same shape are read too). Times are written in UTC; a time
// read without a zone is taken as UTC, a date alone as an all-day appointment.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pim/pim_items.h"

namespace platform::pim {

constexpr std::size_t kMaxVcalendarItems = 5000;
constexpr std::size_t kMaxVcalendarItemProperties = 500;

std::string WriteVcalendar(const Appointment& appointment);
std::string WriteVcalendar(const Task& task);

struct VcalendarRead {
  std::vector<Appointment> appointments;
  std::vector<Task> tasks;
  std::vector<std::string> warnings;
  std::string error;  // empty when the file was read; then nothing else is kept
  int errorLine = 0;
  bool ok() const { return error.empty(); }
};

VcalendarRead ReadVcalendar(std::string_view text);

// "20261207T120000Z" (or "20261207" for a date): seconds since 1970 UTC, and whether it was a date.
std::optional<std::int64_t> ParseVersitTime(std::string_view text, bool* dateOnly = nullptr);
std::string FormatVersitTime(std::int64_t seconds, bool dateOnly);

}  // namespace platform::pim
