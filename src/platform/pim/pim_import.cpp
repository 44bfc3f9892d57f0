#include "platform/pim/pim_import.h"

#include <fstream>
#include <system_error>

#include "platform/kernel/device.h"
#include "platform/pim/pim_store.h"
#include "platform/pim/vcalendar.h"
#include "platform/pim/vcard_reader.h"
#include "platform/pim/versit_lines.h"
#include "platform/text/text_conversion.h"

namespace platform::pim {
namespace {

std::string WithLine(const std::string& error, int line) {
  return line > 0 ? "line " + std::to_string(line) + ": " + error : error;
}

// Whether the first content line begins a vCalendar (else the text is read as vCards).
bool LooksLikeVcalendar(std::string_view text) {
  VersitLines first = ReadVersitLines(text.substr(0, 4096), 1);
  return !first.lines.empty() && first.lines.front().name == "BEGIN" &&
         EqualsNoCase(TrimSpaces(first.lines.front().value), std::string_view("VCALENDAR"));
}

}  // namespace

PimImport ImportPimText(std::string_view text) {
  PimImport import;
  std::vector<Contact> contacts;
  std::vector<Appointment> appointments;
  std::vector<Task> tasks;
  if (LooksLikeVcalendar(text)) {
    VcalendarRead read = ReadVcalendar(text);
    if (!read.ok()) {
      import.error = WithLine(read.error, read.errorLine);
      return import;
    }
    appointments = std::move(read.appointments);
    tasks = std::move(read.tasks);
    import.warnings = std::move(read.warnings);
  } else {
    VcardRead read = ReadVcards(text);
    if (!read.ok()) {
      import.error = WithLine(read.error, read.errorLine);
      return import;
    }
    contacts = std::move(read.contacts);
    import.warnings = std::move(read.warnings);
  }
  std::string problem;
  PimStore* store = PimStore::ForCurrentDevice(&problem);
  std::vector<std::int64_t> ids;
  if (store == nullptr || !store->AddAll(contacts, appointments, tasks, &ids)) {
    import.error = store ? "the contact store was not written: " + store->Problem() : problem;
    import.warnings.clear();
    return import;
  }
  auto next = ids.begin();
  import.contacts.assign(next, next + static_cast<std::ptrdiff_t>(contacts.size()));
  next += static_cast<std::ptrdiff_t>(contacts.size());
  import.appointments.assign(next, next + static_cast<std::ptrdiff_t>(appointments.size()));
  next += static_cast<std::ptrdiff_t>(appointments.size());
  import.tasks.assign(next, ids.end());
  return import;
}

PimImport ImportPimHostFile(const std::filesystem::path& file) {
  PimImport import;
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  if (error || !std::filesystem::is_regular_file(file, error)) {
    import.error = "cannot read " + file.string();
    return import;
  }
  if (size > kMaxVersitBytes) {
    import.error = "the file is larger than " + std::to_string(kMaxVersitBytes >> 20) + " MB";
    return import;
  }
  std::ifstream in(file, std::ios::binary);
  std::string text(static_cast<std::size_t>(size), '\0');
  if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
    import.error = "cannot read " + file.string();
    return import;
  }
  return ImportPimText(text);
}

PimImport ImportPimDeviceFile(std::u16string_view devicePath) {
  auto host = HostPath(devicePath);
  if (!host) {
    PimImport import;
    import.error = "not a file of the device: " + Utf16ToUtf8(devicePath);
    return import;
  }
  return ImportPimHostFile(*host);
}

}  // namespace platform::pim
