#include "forms/link_to_contact.h"

#include <iterator>

#include "device/link_checks.h"
#include "platform/pim/contact_chooser.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"

namespace {

constexpr ULONG kRequestedProperties[] = {0x1801001F, 0x1800001F};
constexpr ULONG kEmailField = 0x0096001F;
constexpr ULONG kPhoneFields[] = {0x0090001F, 0x0091001F, 0x0092001F};

bool IsPhoneField(ULONG property) {
  for (ULONG field : kPhoneFields) {
    if (field == property) return true;
  }
  return false;
}

}  // namespace

bool SaveLinkToContact(HWND owner, LPCWSTR target) {
  if (target == nullptr || *target == 0) return false;
  CONTACTCHOICE choice{};
  choice.cbSize = sizeof choice;
  choice.hwndOwner = owner;
  choice.cRequestedProperties = static_cast<DWORD>(std::size(kRequestedProperties));
  choice.rgRequestedProperties = kRequestedProperties;
  if (ChooseContact(&choice) != 1) return false;
  const bool isNumber = IsPhoneNumber(target, false);
  UINT question = 0;
  if (choice.ulPropertyChosen == kEmailField) {
    question = isNumber ? link_contact_text::kSaveNumber : link_contact_text::kSaveAddress;
  } else if (IsPhoneField(choice.ulPropertyChosen)) {
    question = isNumber ? link_contact_text::kReplaceNumber : link_contact_text::kSaveNumber;
  } else {
    GetMMSGlobal()->MessageBoxW(owner, link_contact_text::kFieldNotSuitable, MB_OK);
    return false;
  }
  if (GetMMSGlobal()->MessageBoxW(owner, question, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
  return GetMMSGlobal()->GetContactPoom()->SetPoomItemString(choice.ulPropertyChosen, choice.lContactId, target) != FALSE;
}
