#include "platform/pim/calendar_chooser.h"

#include <cstdio>
#include <ctime>

#include "platform/pim/chooser_window.h"
#include "platform/pim/pim_store.h"
#include "platform/text/text_conversion.h"

namespace platform::pim {
namespace {

std::string DateText(std::int64_t seconds, bool withTime) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (gmtime_r(&time, &parts) == nullptr) return {};
  char text[32] = {};
  if (withTime) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                  parts.tm_hour, parts.tm_min);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday);
  }
  return text;
}

// An item without a subject still needs a row a person can tell apart.
std::string Subject(const std::string& subject) { return subject.empty() ? "(no subject)" : subject; }

}  // namespace

std::u16string CalendarRowText(const Appointment& appointment) {
  return Utf8ToUtf16(Subject(appointment.subject) + " - " + DateText(appointment.start, !appointment.allDay));
}

std::u16string CalendarRowText(const Task& task) {
  std::string text = Subject(task.subject) + " - task";
  if (task.due != 0) text += ", due " + DateText(task.due, false);
  return Utf8ToUtf16(text);
}

std::optional<CalendarChoice> ChooseCalendarItem(HWND owner, std::u16string_view title) {
  PimStore* store = PimStore::ForCurrentDevice();
  if (store == nullptr) return std::nullopt;
  std::vector<CalendarChoice> items;
  ChooserRows chooser{kCalendarChooserClass, u"CalendarChooser", owner, std::u16string(title), {}};
  for (std::int64_t id : store->Ids(PimKind::kAppointment)) {
    if (auto appointment = store->FindAppointment(id)) {
      items.push_back({PimKind::kAppointment, id});
      chooser.rows.push_back(CalendarRowText(*appointment));
    }
  }
  for (std::int64_t id : store->Ids(PimKind::kTask)) {
    if (auto task = store->FindTask(id)) {
      items.push_back({PimKind::kTask, id});
      chooser.rows.push_back(CalendarRowText(*task));
    }
  }
  const int chosen = ChooseRow(chooser);
  if (chosen < 1) return std::nullopt;
  return items[static_cast<std::size_t>(chosen - 1)];
}

}  // namespace platform::pim
