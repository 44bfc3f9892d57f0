#include "platform/pim/contact_chooser.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/pim/chooser_window.h"
#include "platform/pim/contact_media.h"
#include "platform/pim/pim_store.h"
#include "platform/text/text_conversion.h"

namespace platform::pim {
namespace {

constexpr int kCancelled = -1;
// More requests than there are kinds of request is a malformed record.
constexpr DWORD kMaxRequests = 16;

struct ChoiceRow {
  std::int64_t contact = 0;
  ULONG property = 0;
  std::string value;
  std::string name;
  std::u16string text;  // as listed
};

// One row per contact, or with properties asked, one per offered field of each contact: set fields
// only, except for the all-fields request, which offers empty ones too.
std::vector<ChoiceRow> RowsFor(const CONTACTCHOICE& choice) {
  std::vector<ChoiceRow> rows;
  PimStore* store = PimStore::ForCurrentDevice();
  if (store == nullptr) return rows;
  std::vector<ULONG> offered;
  bool offerEmpty = false;
  for (DWORD i = 0; i < choice.cRequestedProperties; ++i) {
    const ULONG request = choice.rgRequestedProperties[i];
    offerEmpty = offerEmpty || request == kRequestAllFields;
    for (ULONG field : RequestFields(request)) {
      if (std::find(offered.begin(), offered.end(), field) == offered.end()) offered.push_back(field);
    }
  }
  for (std::int64_t id : store->Ids(PimKind::kContact)) {
    auto contact = store->FindContact(id);
    if (!contact) continue;
    const std::string name = DisplayName(*contact);
    if (choice.cRequestedProperties == 0) {
      rows.push_back({id, 0, {}, name, Utf8ToUtf16(name)});
      continue;
    }
    for (ULONG field : offered) {
      const std::string& value = *ContactField(*contact, field);
      if (value.empty() && !offerEmpty) continue;
      const std::string shown = name + " - " + std::string(FieldLabel(field)) + ": " + (value.empty() ? "(empty)" : value);
      rows.push_back({id, field, value, name, Utf8ToUtf16(shown)});
    }
  }
  return rows;
}

void CopyOut(std::string_view utf8, LPWSTR out, DWORD capacity) {
  if (out == nullptr || capacity == 0) return;
  const std::u16string text = Utf8ToUtf16(utf8);
  const std::size_t count = std::min<std::size_t>(text.size(), capacity - 1);
  std::copy_n(text.begin(), count, out);
  out[count] = 0;
}

}  // namespace
}  // namespace platform::pim

int ChooseContact(CONTACTCHOICE* choice) {
  using namespace platform::pim;
  if (choice == nullptr || choice->cbSize != sizeof(CONTACTCHOICE) ||
      (choice->cRequestedProperties > 0 && choice->rgRequestedProperties == nullptr) ||
      choice->cRequestedProperties > kMaxRequests ||
      ((choice->dwFlags & CCF_ASSIGNPHOTO) != 0 && choice->lpszPictureFile == nullptr)) {
    return 0;
  }
  const std::vector<ChoiceRow> rows = RowsFor(*choice);
  ChooserRows chooser{kContactChooserClass, u"ContactChooser", choice->hwndOwner,
                      choice->lpszTitle ? choice->lpszTitle : u"Contacts", {}};
  for (const ChoiceRow& row : rows) chooser.rows.push_back(row.text);
  const int chosen = ChooseRow(chooser);
  if (chosen < 1) return kCancelled;
  const ChoiceRow& row = rows[static_cast<std::size_t>(chosen - 1)];
  if ((choice->dwFlags & CCF_ASSIGNPHOTO) != 0 && !SetContactPhotoFromFile(row.contact, choice->lpszPictureFile)) {
    return 0;
  }
  choice->lContactId = static_cast<LONG>(row.contact);
  choice->ulPropertyChosen = row.property;
  CopyOut(row.value, choice->lpszValue, choice->cchValue);
  CopyOut(row.name, choice->lpszName, choice->cchName);
  return 1;
}
