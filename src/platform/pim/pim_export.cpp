#include "platform/pim/pim_export.h"

#include <string>

#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/temporary_files.h"
#include "platform/pim/pim_store.h"
#include "platform/pim/vcalendar.h"
#include "platform/text/text_conversion.h"

namespace platform::pim {

bool WriteDeviceFile(std::u16string_view devicePath, std::string_view bytes) {
  const std::u16string target(devicePath);
  const std::u16string temporary = target + Utf8ToUtf16(TemporarySuffix());
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  CloseHandle(file);
  if (ok && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    ok = false;
    error = GetLastError();
  }
  if (!ok) {
    DeleteFileW(temporary.c_str());
    SetLastError(error);
  }
  return ok;
}

bool ExportItem(PimKind kind, std::int64_t id, std::u16string_view devicePath, VcardVersion version) {
  PimStore* store = PimStore::ForCurrentDevice();
  if (store == nullptr) {
    SetLastError(ERROR_CANTOPEN);
    return false;
  }
  std::string text;
  if (kind == PimKind::kContact) {
    if (auto contact = store->FindContact(id)) text = WriteVcard(*contact, version);
  } else if (kind == PimKind::kAppointment) {
    if (auto appointment = store->FindAppointment(id)) text = WriteVcalendar(*appointment);
  } else if (auto task = store->FindTask(id)) {
    text = WriteVcalendar(*task);
  }
  if (text.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  return WriteDeviceFile(devicePath, text);
}

}  // namespace platform::pim
