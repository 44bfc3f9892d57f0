#include "transport/ulc_poom.h"

#include <string>

#include "platform/pim/contact_media.h"
#include "platform/pim/pim_export.h"
#include "platform/pim/pim_store.h"
#include "platform/pim/vcard_writer.h"
#include "platform/text/text_conversion.h"

namespace {

using platform::pim::Contact;
using platform::pim::PimKind;
using platform::pim::PimStore;

std::u16string Wide(std::string_view text) { return platform::Utf8ToUtf16(text); }

std::optional<Contact> FindContact(LONG id) {
  PimStore* store = PimStore::ForCurrentDevice();
  return store ? store->FindContact(id) : std::nullopt;
}

BOOL Save(const Contact& contact) {
  PimStore* store = PimStore::ForCurrentDevice();
  return store && store->Update(contact) ? TRUE : FALSE;
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
  if (m_kind != PimKind::kContact || file == nullptr) return FALSE;
  return platform::pim::SetContactPhotoFromFile(id, file) ? TRUE : FALSE;
}

BOOL ULC_Poom::SaveRingToneToContact(LONG id, LPCWSTR file) {
  if (m_kind != PimKind::kContact || file == nullptr) return FALSE;
  return platform::pim::SetContactRingToneFromFile(id, file) ? TRUE : FALSE;
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
