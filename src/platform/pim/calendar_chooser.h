// The device's appointment-or-task chooser: a window of class "MSCalendarChooser", in the look of
// the contact chooser, that lists the appointments (subject and start) and then the tasks (subject
// and due date), one row each, in the order they were added. Headless, the choice comes from the
// automation's answer queue as the row number, counted from 1 ("CalendarChooser" prompts).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pim/pim_items.h"
#include "platform/win_types.h"

namespace platform::pim {

inline constexpr const WCHAR* kCalendarChooserClass = u"MSCalendarChooser";

struct CalendarChoice {
  PimKind kind = PimKind::kAppointment;  // kAppointment or kTask
  std::int64_t id = 0;

  bool operator==(const CalendarChoice&) const = default;
};

// The rows as listed: "Subject - 2026-12-07 12:00" for an appointment (the date alone for one that
// lasts all day), "Subject - task, due 2026-12-08" for a task. Times are the store's, UTC.
std::u16string CalendarRowText(const Appointment& appointment);
std::u16string CalendarRowText(const Task& task);

// The item picked; nothing when the person cancelled or there was nothing to choose from.
std::optional<CalendarChoice> ChooseCalendarItem(HWND owner, std::u16string_view title = u"Appointments and Tasks");

}  // namespace platform::pim
