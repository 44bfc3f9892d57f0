#include "forms/composer_header_contacts.h"

#include <algorithm>
#include <iterator>

#include "forms/composer_header.h"
#include "platform/pim/contact_chooser.h"
#include "platform/text/text_conversion.h"
#include "platform/pim/pim_items.h"
#include "transport/mms_global.h"
#include "transport/ulc_poom.h"

namespace {

constexpr ULONG kRecipientRequests[] = {platform::pim::kRequestTelephoneNumbers,
                                        platform::pim::kRequestEmailAddresses};
constexpr DWORD kValueChars = 1024;
constexpr DWORD kNameChars = 256;
// A contact offers three numbers or three addresses; more answers would be a damaged store.
constexpr int kMaxValuesPerContact = 8;

bool IsEmailProperty(ULONG property) {
  for (ULONG field : platform::pim::RequestFields(platform::pim::kRequestEmailAddresses)) {
    if (field == property) return true;
  }
  return false;
}

// Entries match as normalised entries; e-mail addresses without regard to case.
bool SameAddress(const CString& a, const CString& b, RecipientKind kind) {
  return kind == RecipientKind::kEmail ? platform::EqualsNoCase(a.View(), b.View()) : a == b;
}

}  // namespace

std::optional<ChosenRecipient> ChooseRecipient(HWND owner) {
  WCHAR value[kValueChars] = {};
  WCHAR name[kNameChars] = {};
  CONTACTCHOICE choice{};
  choice.cbSize = sizeof choice;
  choice.hwndOwner = owner;
  choice.cRequestedProperties = static_cast<DWORD>(std::size(kRecipientRequests));
  choice.rgRequestedProperties = kRecipientRequests;
  choice.lpszValue = value;
  choice.cchValue = kValueChars;
  choice.lpszName = name;
  choice.cchName = kNameChars;
  if (ChooseContact(&choice) != 1 || value[0] == 0) return std::nullopt;
  return ChosenRecipient{CString(value), CString(name),
                         IsEmailProperty(choice.ulPropertyChosen) ? RecipientKind::kEmail : RecipientKind::kPhone};
}

RecipientKind RecipientKindOf(std::u16string_view address) {
  return address.find(u'@') == std::u16string_view::npos ? RecipientKind::kPhone : RecipientKind::kEmail;
}

CString ContactNameForAddress(std::u16string_view address, RecipientKind kind) {
  CMMSGlobal* global = GetMMSGlobal();
  ULC_Poom* contacts = global != nullptr ? global->GetContactPoom() : nullptr;
  if (contacts == nullptr) return CString();
  const CString wanted = NormaliseRecipientEntry(address);
  if (wanted.IsEmpty()) return CString();
  const ULONG request = kind == RecipientKind::kEmail ? platform::pim::kRequestEmailAddresses
                                                      : platform::pim::kRequestTelephoneNumbers;
  const int count = contacts->Count();
  for (int index = 0; index < count; ++index) {
    LONG id = 0;
    if (!contacts->Get(index, &id)) continue;
    for (int which = 0; which < kMaxValuesPerContact; ++which) {
      CString value;
      if (!contacts->GetSinglePoomItemString(request, id, value, which)) break;
      if (!SameAddress(NormaliseRecipientEntry(value.View()), wanted, kind)) continue;
      CString name;
      if (contacts->GetPoomItemString(0, id, name) && !name.IsEmpty()) return name;
      return CString();
    }
  }
  return CString();
}

CString NameDerivedFromAddress(std::u16string_view address, RecipientKind kind) {
  if (kind == RecipientKind::kEmail) {
    const std::size_t at = address.find(u'@');
    if (at != std::u16string_view::npos && at > 0) return CString(address.substr(0, at));
  }
  return CString(address);
}

CString RecipientDisplayText(std::u16string_view name, std::u16string_view address) {
  std::u16string safe(name);
  std::replace_if(
      safe.begin(), safe.end(), [](char16_t c) { return c == u'"' || c == u'<' || c == u'>' || c == u';'; }, u' ');
  CString text;
  text.Format(u"\"%s\"<%s>", CString(safe).GetString(), CString(address).GetString());
  return text;
}
