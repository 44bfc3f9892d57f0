#include "forms/fixed_dialling.h"

#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/link_checks.h"
#include "forms/composer_header.h"
#include "platform/phone/sim_phonebook.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"

namespace {

constexpr UINT kNotOnFixedDiallingText = 41084;

std::vector<CString> EmulatorList() {
  const LONG configured = GetConfigValue(numeric_setting::kFdnCount);
  const int count = static_cast<int>(std::clamp<LONG>(configured, 0, kMaxFdnEmulatorNumbers));
  std::vector<CString> numbers;
  for (int n = 1; n <= count; ++n) {
    const CString number = NormaliseRecipientEntry(GetFdnNumber(n).View());
    if (!number.IsEmpty()) numbers.push_back(number);
  }
  return numbers;
}

// The card's list; nothing when there is no card or it keeps no fixed-dialling list.
std::optional<std::vector<CString>> CardList() {
  HSIM sim = nullptr;
  if (FAILED(SimInitialize(0, nullptr, 0, &sim))) return std::nullopt;
  std::optional<std::vector<CString>> numbers;
  DWORD used = 0;
  DWORD total = 0;
  if (SUCCEEDED(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_FIXEDDIALING, &used, &total))) {
    numbers.emplace();
    for (DWORD index = 1; index <= std::min(total, kSimFixedDialingCapacity); ++index) {
      SIMPHONEBOOKENTRY entry{};
      entry.cbSize = sizeof entry;
      if (FAILED(SimReadPhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, index, &entry))) continue;
      const CString number = NormaliseRecipientEntry(entry.lpszAddress);
      if (!number.IsEmpty()) numbers->push_back(number);
    }
  }
  SimDeinitialize(sim);
  return numbers;
}

bool IsPhoneEntry(const CString& entry) { return IsPhoneNumber(entry.View(), false, LinkSettings::Read()); }

bool Accepted(const CString& text, const std::vector<CString>& list) {
  for (const CString& raw : SplitRecipientEntries(text.View())) {
    const CString entry = NormaliseRecipientEntry(raw.View());
    if (!IsPhoneEntry(entry)) continue;
    if (std::find(list.begin(), list.end(), entry) == list.end()) return false;
  }
  return true;
}

}  // namespace

std::optional<std::vector<CString>> FixedDiallingList() {
  if (GetConfigValue(numeric_setting::kSupportFDN) == 0) return std::nullopt;
  if (GetConfigValue(numeric_setting::kFdnEmulator) != 0) return EmulatorList();
  return CardList();
}

bool PassesFixedDialling(const CString& to, const CString& cc, const CString& bcc) {
  const std::optional<std::vector<CString>> list = FixedDiallingList();
  if (!list) return true;
  return Accepted(to, *list) && Accepted(cc, *list) && Accepted(bcc, *list);
}

bool CheckFixedDialling(HWND owner, const CString& to, const CString& cc, const CString& bcc) {
  if (PassesFixedDialling(to, cc, bcc)) return true;
  if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(owner, kNotOnFixedDiallingText, MB_ICONASTERISK);
  return false;
}
