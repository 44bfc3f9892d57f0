// Reads arbitrary bytes as a vCalendar. A failure keeps no item; every appointment and task read
// writes and reads back equal.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/pim/vcalendar.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace platform::pim;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const VcalendarRead read = ReadVcalendar(text);
  if (!read.ok()) {
    Check(read.appointments.empty() && read.tasks.empty());
    return 0;
  }
  Check(read.appointments.size() + read.tasks.size() <= kMaxVcalendarItems);
  for (const Appointment& appointment : read.appointments) {
    Check(appointment.end >= appointment.start);
    const VcalendarRead again = ReadVcalendar(WriteVcalendar(appointment));
    Check(again.ok() && again.appointments.size() == 1 && again.appointments[0] == appointment);
  }
  for (const Task& task : read.tasks) {
    const VcalendarRead again = ReadVcalendar(WriteVcalendar(task));
    Check(again.ok() && again.tasks.size() == 1 && again.tasks[0] == task);
  }
  return 0;
}
