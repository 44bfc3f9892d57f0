#include "transport/ulc_poom.h"

#include <string>

#include "platform/file_api.h"
#include "platform/last_error.h"
#include "platform/pim/pim_export.h"
#include "platform/pim/pim_store.h"
#include "platform/pim/vcard_writer.h"
#include "platform/temporary_files.h"
#include "platform/text_conversion.h"

namespace {

using platform::pim::Contact;
using platform::pim::PimKind;
using platform::pim::PimStore;

constexpr const WCHAR* kStoreFolder = u"\\Application Data\\Contacts";

std::u16string Wide(std::string_view text) { return platform::Utf8ToUtf16(text); }

// Reads a whole device file of at most `limit` bytes; nothing when it is missing or larger.
std::optional<std::string> ReadDeviceFile(LPCWSTR path, std::size_t limit) {
  if (path == nullptr) return std::nullopt;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  std::optional<std::string> bytes;
  if (high == 0 && size != INVALID_FILE_SIZE && size <= limit) {
    std::string data(size, '\0');
    DWORD read = 0;
    if (ReadFile(file, data.data(), size, &read, nullptr) && read == size) bytes = std::move(data);
  }
  CloseHandle(file);
  return bytes;
}

std::optional<Contact> FindContact(LONG id) {
  PimStore* store = PimStore::ForCurrentDevice();
  return store ? store->FindContact(id) : std::nullopt;
}

BOOL Save(const Contact& contact) {
  PimStore* store = PimStore::ForCurrentDevice();
  return store && store->Update(contact) ? TRUE : FALSE;
}

// The extension of a device path with its dot ("" for none), kept short and plain.
std::u16string ExtensionOf(std::u16string_view path) {
  const std::size_t dot = path.find_last_of(u'.');
  const std::size_t slash = path.find_last_of(u"\\/");
  if (dot == std::u16string_view::npos || (slash != std::u16string_view::npos && dot < slash)) return {};
  std::u16string extension(path.substr(dot));
  if (extension.size() > 8) return {};
  for (char16_t c : extension.substr(1)) {
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return {};
  }
  return extension;
}

}  // namespace

int ULC_Poom::Count() {
  PimStore* store = PimStore::ForCurrentDevice();
  return store ? static_cast<int>(store->Ids(m_kind).size()) : 0;
}

BOOL ULC_Poom::Get(int index, LONG* id) {
  PimStore* store = PimStore::ForCurrentDevice();
  if (store == nullptr || id == nullptr || index < 0) return FALSE;
  const std::vector<std::int64_t> ids = store->Ids(m_kind);
  if (static_cast<std::size_t>(index) >= ids.size()) return FALSE;
  *id = static_cast<LONG>(ids[static_cast<std::size_t>(index)]);
  return TRUE;
}

BOOL ULC_Poom::GetPoomItemString(ULONG kind, LONG id, CString& text) {
  PimStore* store = PimStore::ForCurrentDevice();
  if (store == nullptr) return FALSE;
  if (m_kind == PimKind::kAppointment || m_kind == PimKind::kTask) {
    if (kind != 0) return FALSE;
    if (m_kind == PimKind::kAppointment) {
      auto appointment = store->FindAppointment(id);
      if (!appointment) return FALSE;
      text = Wide(appointment->subject);
    } else {
      auto task = store->FindTask(id);
      if (!task) return FALSE;
      text = Wide(task->subject);
    }
    return TRUE;
  }
  auto contact = store->FindContact(id);
  if (!contact) return FALSE;
  if (kind == 0) {
    text = Wide(platform::pim::DisplayName(*contact));
    return TRUE;
  }
  const std::string* field = platform::pim::ContactField(*contact, kind);
  if (field == nullptr) return FALSE;
  text = Wide(*field);
  return TRUE;
}

BOOL ULC_Poom::GetSinglePoomItemString(ULONG kind, LONG id, CString& text, int which) {
  if (m_kind != PimKind::kContact || which < 0) return FALSE;
  auto contact = FindContact(id);
  if (!contact) return FALSE;
  int seen = 0;
  for (ULONG property : platform::pim::RequestFields(kind)) {
    const std::string* field = platform::pim::ContactField(*contact, property);
    if (field->empty()) continue;
    if (seen++ == which) {
      text = Wide(*field);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL ULC_Poom::SetPoomItemString(ULONG kind, LONG id, LPCWSTR text) {
  if (m_kind != PimKind::kContact || text == nullptr) return FALSE;
  auto contact = FindContact(id);
  if (!contact) return FALSE;
  std::string* field = platform::pim::ContactField(*contact, kind);
  const std::string value = platform::Utf16ToUtf8(text);
  if (field == nullptr || value.size() > platform::pim::kMaxFieldBytes) return FALSE;
  *field = value;
  return Save(*contact);
}

BOOL ULC_Poom::SavePhotoToContact(LONG id, LPCWSTR file) {
  if (m_kind != PimKind::kContact) return FALSE;
  auto contact = FindContact(id);
  if (!contact) return FALSE;
  std::optional<std::string> picture = ReadDeviceFile(file, platform::pim::kMaxPhotoBytes);
  if (!picture || !platform::pim::PictureType(*picture)) return FALSE;
  contact->photo = std::move(*picture);
  return Save(*contact);
}

BOOL ULC_Poom::SaveRingToneToContact(LONG id, LPCWSTR file) {
  if (m_kind != PimKind::kContact || file == nullptr) return FALSE;
  auto contact = FindContact(id);
  if (!contact) return FALSE;
  if (GetFileAttributesW(file) == INVALID_FILE_ATTRIBUTES) return FALSE;
  CreateDirectoryW(u"\\Application Data", nullptr);
  CreateDirectoryW(kStoreFolder, nullptr);
  const std::u16string target =
      std::u16string(kStoreFolder) + u"\\ring tone " + Wide(std::to_string(id)) + ExtensionOf(file);
  const std::u16string temporary = target + Wide(platform::TemporarySuffix());
  if (!CopyFileW(file, temporary.c_str(), TRUE)) return FALSE;
  if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temporary.c_str());
    return FALSE;
  }
  const std::string previous = contact->ringTone;
  contact->ringTone = platform::Utf16ToUtf8(target);
  if (!Save(*contact)) return FALSE;
  // A tone of another extension that the contact had before is no longer used.
  if (!previous.empty() && previous != contact->ringTone) DeleteFileW(Wide(previous).c_str());
  return TRUE;
}

BOOL ULC_Poom::Export(LONG id, LPCWSTR file) {
  if (file == nullptr) return FALSE;
  return platform::pim::ExportItem(m_kind, id, file) ? TRUE : FALSE;
}

BOOL ULC_Poom::ExportSimpleVcard(LPCWSTR name, LPCWSTR number, LPCWSTR file) {
  if (file == nullptr || number == nullptr || *number == 0) return FALSE;
  Contact contact = platform::pim::ContactNamed(platform::Utf16ToUtf8(name ? name : u""));
  contact.mobile = platform::Utf16ToUtf8(number);
  if (contact.fileAs.empty()) contact.fileAs = contact.mobile;
  const std::string text = platform::pim::WriteVcard(contact, platform::pim::VcardVersion::k21);
  return platform::pim::WriteDeviceFile(file, text) ? TRUE : FALSE;
}

void* ULC_Poom::GetOutlookApp() { return PimStore::ForCurrentDevice(); }
