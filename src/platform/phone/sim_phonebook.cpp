#include "platform/phone/sim_phonebook.h"

#include <string>

#include "platform/registry/registry.h"

namespace {

constexpr const WCHAR* kSimKey = u"\\Platform\\SIM";
constexpr const WCHAR* kFixedDialingKey = u"\\Platform\\SIM\\FixedDialing";
constexpr const WCHAR* kFixedDialingName = u"FixedDialing";

// An open registry key, closed when it goes.
class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (m_key) RegCloseKey(m_key);
  }
  HKEY* Receive() { return &m_key; }
  HKEY Get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

bool OpenStore(Key& key, bool create) {
  if (create) {
    return RegCreateKeyExW(HKEY_LOCAL_MACHINE, kFixedDialingKey, 0, nullptr, 0, 0, nullptr, key.Receive(), nullptr) ==
           ERROR_SUCCESS;
  }
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFixedDialingKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

std::u16string EntryName(DWORD index) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + index % 10));
    index /= 10;
  } while (index > 0);
  return u"Entry" + digits;
}

// The number at `index`, read into a bounded buffer; empty when the place is empty.
std::u16string ReadEntry(const Key& store, DWORD index) {
  WCHAR number[MAX_LENGTH_ADDRESS] = {};
  DWORD size = sizeof number - sizeof(WCHAR);
  DWORD type = REG_NONE;
  const std::u16string name = EntryName(index);
  if (RegQueryValueExW(store.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(number), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  return std::u16string(number);
}

bool IsValidPlace(DWORD location, DWORD index) {
  return location == SIM_PBSTORAGE_FIXEDDIALING && index >= 1 && index <= kSimFixedDialingCapacity;
}

}  // namespace

HRESULT SimGetPhonebookStatus(HSIM sim, DWORD location, DWORD* used, DWORD* total) {
  if (sim == nullptr || used == nullptr || total == nullptr) return E_INVALIDARG;
  *used = 0;
  *total = 0;
  Key store;
  if (location != SIM_PBSTORAGE_FIXEDDIALING || !OpenStore(store, false)) return SIM_E_NOTFOUND;
  for (DWORD index = 1; index <= kSimFixedDialingCapacity; ++index) {
    if (!ReadEntry(store, index).empty()) ++*used;
  }
  *total = kSimFixedDialingCapacity;
  return S_OK;
}

HRESULT SimReadPhonebookEntry(HSIM sim, DWORD location, DWORD index, SIMPHONEBOOKENTRY* entry) {
  if (sim == nullptr || entry == nullptr) return E_INVALIDARG;
  if (!IsValidPlace(location, index)) return E_INVALIDARG;
  Key store;
  if (!OpenStore(store, false)) return SIM_E_NOTFOUND;
  const std::u16string number = ReadEntry(store, index);
  if (number.empty()) return SIM_E_NOTFOUND;
  *entry = SIMPHONEBOOKENTRY{};
  entry->cbSize = sizeof *entry;
  number.copy(entry->lpszAddress, MAX_LENGTH_ADDRESS - 1);
  return S_OK;
}

HRESULT SimWritePhonebookEntry(HSIM sim, DWORD location, DWORD index, const SIMPHONEBOOKENTRY* entry) {
  if (sim == nullptr || entry == nullptr || location != SIM_PBSTORAGE_FIXEDDIALING) return E_INVALIDARG;
  // The address must end within its field: a number without its terminator is refused, not read on.
  const std::u16string_view field(entry->lpszAddress, MAX_LENGTH_ADDRESS);
  const std::size_t end = field.find(u'\0');
  if (end == std::u16string_view::npos || end == 0) return E_INVALIDARG;
  const std::u16string_view number = field.substr(0, end);
  Key store;
  if (!OpenStore(store, true)) return E_FAIL;
  if (index == SIM_PBINDEX_FIRSTAVAILABLE) {
    index = 1;
    while (index <= kSimFixedDialingCapacity && !ReadEntry(store, index).empty()) ++index;
    if (index > kSimFixedDialingCapacity) return SIM_E_PHONEBOOKFULL;
  }
  if (!IsValidPlace(location, index)) return E_INVALIDARG;
  const std::u16string name = EntryName(index);
  const std::u16string text(number);
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR));
  if (RegSetValueExW(store.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) !=
      ERROR_SUCCESS) {
    return E_FAIL;
  }
  return RegFlushKey(store.Get()) == ERROR_SUCCESS ? S_OK : E_FAIL;
}

HRESULT SimDeletePhonebookEntry(HSIM sim, DWORD location, DWORD index) {
  if (sim == nullptr || !IsValidPlace(location, index)) return E_INVALIDARG;
  Key store;
  if (!OpenStore(store, true)) return SIM_E_NOTFOUND;
  const std::u16string name = EntryName(index);
  if (RegDeleteValueW(store.Get(), name.c_str()) != ERROR_SUCCESS) return SIM_E_NOTFOUND;
  return RegFlushKey(store.Get()) == ERROR_SUCCESS ? S_OK : E_FAIL;
}

HRESULT SimRemoveFixedDialing(HSIM sim) {
  if (sim == nullptr) return E_INVALIDARG;
  Key card;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSimKey, 0, 0, card.Receive()) != ERROR_SUCCESS) return S_OK;
  {
    Key store;
    if (!OpenStore(store, false)) return S_OK;
    for (DWORD index = 1; index <= kSimFixedDialingCapacity; ++index) {
      RegDeleteValueW(store.Get(), EntryName(index).c_str());
    }
  }
  if (RegDeleteKeyW(card.Get(), kFixedDialingName) != ERROR_SUCCESS) return E_FAIL;
  return RegFlushKey(card.Get()) == ERROR_SUCCESS ? S_OK : E_FAIL;
}
