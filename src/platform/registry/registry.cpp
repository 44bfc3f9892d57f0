#include "platform/registry/registry.h"

#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/internal/device_state.h"
#include "platform/kernel/last_error.h"
#include "platform/registry/regedit_file.h"
#include "platform/text/text_conversion.h"

struct RegistryKeyRecord {
  platform::internal::KeyId id;
};

namespace {

using platform::ValueOrigin;
using platform::internal::KeyId;
using platform::internal::RegistryStore;

// Open key handles, so that a stale or foreign handle is refused instead of followed.
std::unordered_set<RegistryKeyRecord*>& OpenKeys() {
  static std::unordered_set<RegistryKeyRecord*> keys;
  return keys;
}

std::optional<KeyId> KeyIdOf(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return RegistryStore::kLocalMachine;
  if (key == HKEY_CURRENT_USER) return RegistryStore::kCurrentUser;
  if (key == HKEY_CLASSES_ROOT) return RegistryStore::kClassesRoot;
  if (key != nullptr && OpenKeys().count(key) != 0) return key->id;
  return std::nullopt;
}

std::vector<std::u16string_view> PathComponents(LPCWSTR subKey) {
  std::vector<std::u16string_view> components;
  if (subKey == nullptr) return components;
  std::u16string_view path(subKey);
  while (!path.empty()) {
    std::size_t end = path.find(u'\\');
    std::u16string_view part = path.substr(0, end);
    if (!part.empty()) components.push_back(part);
    if (end == std::u16string_view::npos) break;
    path.remove_prefix(end + 1);
  }
  return components;
}

HKEY NewHandle(KeyId id) {
  auto* record = new RegistryKeyRecord{id};
  OpenKeys().insert(record);
  return record;
}

LPCWSTR ValueName(LPCWSTR name) { return name ? name : u""; }

bool IsRootKey(KeyId id) {
  return id == RegistryStore::kLocalMachine || id == RegistryStore::kCurrentUser || id == RegistryStore::kClassesRoot;
}

// Resolves the store and the key of a handle, without asking the store whether the key still exists.
LONG ResolveHandle(HKEY key, RegistryStore** store, KeyId* id) {
  *store = platform::internal::Registry();
  if (*store == nullptr) return ERROR_CANTOPEN;
  auto found = KeyIdOf(key);
  if (!found) return ERROR_INVALID_HANDLE;
  *id = *found;
  (*store)->Refresh();
  return ERROR_SUCCESS;
}

// Resolves the store and the key of a handle, checking the key still exists (the root keys always do).
LONG Resolve(HKEY key, RegistryStore** store, KeyId* id) {
  if (LONG status = ResolveHandle(key, store, id); status != ERROR_SUCCESS) return status;
  if (!IsRootKey(*id) && !(*store)->KeyExists(*id)) return ERROR_BADKEY;
  return ERROR_SUCCESS;
}

// Follows the path below `id` as far as its keys exist; returns how many components were found.
std::size_t FindPath(RegistryStore& store, const std::vector<std::u16string_view>& components, KeyId* id) {
  std::size_t found = 0;
  for (; found < components.size(); ++found) {
    auto next = store.FindKey(*id, components[found]);
    if (!next) break;
    *id = *next;
  }
  return found;
}

// Makes the rest of the path below `id`, key by key, from the first component not yet there.
bool CreatePath(RegistryStore& store, const std::vector<std::u16string_view>& components, KeyId* id, bool* created) {
  for (std::size_t i = FindPath(store, components, id); i < components.size(); ++i) {
    auto next = store.CreateKey(*id, components[i], created);
    if (!next) return false;
    *id = *next;
  }
  return true;
}

LONG CopyBytes(std::string_view bytes, BYTE* data, DWORD* dataSize) {
  if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
  if (dataSize == nullptr) return ERROR_SUCCESS;
  DWORD needed = static_cast<DWORD>(bytes.size());
  if (data == nullptr) {
    *dataSize = needed;
    return ERROR_SUCCESS;
  }
  if (*dataSize < needed) {
    *dataSize = needed;
    return ERROR_MORE_DATA;
  }
  if (needed != 0) std::memcpy(data, bytes.data(), needed);
  *dataSize = needed;
  return ERROR_SUCCESS;
}

LONG CopyName(std::u16string_view name, LPWSTR out, DWORD* length) {
  if (out == nullptr || length == nullptr) return ERROR_INVALID_PARAMETER;
  if (name.size() + 1 > *length) {
    *length = static_cast<DWORD>(name.size() + 1);
    return ERROR_MORE_DATA;
  }
  std::memcpy(out, name.data(), name.size() * sizeof(WCHAR));
  out[name.size()] = 0;
  *length = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*, HKEY* result,
                     DWORD* disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  RegistryStore* store;
  KeyId id;
  if (LONG status = Resolve(key, &store, &id); status != ERROR_SUCCESS) return status;
  bool created = false;
  const auto components = PathComponents(subKey);
  // A key that is there opens without the write lock (also on a read-only device). Keys to make
  // are looked for again under the lock: another process may have made them since.
  if (KeyId existing = id; FindPath(*store, components, &existing) == components.size()) {
    id = existing;
  } else {
    platform::internal::SqliteTransaction transaction(store->database());
    if (!transaction.ok()) return ERROR_CANTWRITE;
    if (!IsRootKey(id) && !store->KeyExists(id)) return ERROR_BADKEY;
    if (!CreatePath(*store, components, &id, &created) || !transaction.Commit()) return ERROR_CANTWRITE;
  }
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = NewHandle(id);
  return ERROR_SUCCESS;
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  RegistryStore* store;
  KeyId id;
  if (LONG status = Resolve(key, &store, &id); status != ERROR_SUCCESS) return status;
  const auto components = PathComponents(subKey);
  if (FindPath(*store, components, &id) != components.size()) return ERROR_FILE_NOT_FOUND;
  *result = NewHandle(id);
  return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize) {
  RegistryStore* store;
  KeyId id;
  if (LONG status = ResolveHandle(key, &store, &id); status != ERROR_SUCCESS) return status;
  // A key's values go with it, so a value found proves the key; only a miss asks whether it is gone.
  auto value = store->GetValue(id, ValueName(valueName));
  if (!value) return IsRootKey(id) || store->KeyExists(id) ? ERROR_FILE_NOT_FOUND : ERROR_BADKEY;
  if (type) *type = value->type;
  return CopyBytes(value->data, data, dataSize);
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
  if (data == nullptr && dataSize != 0) return ERROR_INVALID_PARAMETER;
  RegistryStore* store;
  KeyId id;
  if (LONG status = Resolve(key, &store, &id); status != ERROR_SUCCESS) return status;
  std::string_view bytes(reinterpret_cast<const char*>(data), data ? dataSize : 0);
  return store->SetValue(id, ValueName(valueName), type, bytes, ValueOrigin::kSet) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG RegDeleteValueW(HKEY key, LPCWSTR valueName) {
  RegistryStore* store;
  KeyId id;
  if (LONG status = Resolve(key, &store, &id); status != ERROR_SUCCESS) return status;
  return store->DeleteValue(id, ValueName(valueName)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
  RegistryStore* store;
  KeyId id;
  if (LONG status = Resolve(key, &store, &id); status != ERROR_SUCCESS) return status;
  auto components = PathComponents(subKey);
  if (components.empty()) return ERROR_INVALID_PARAMETER;
  if (FindPath(*store, components, &id) != components.size()) return ERROR_FILE_NOT_FOUND;
  platform::internal::SqliteTransaction transaction(store->database());
  if (!transaction.ok() || !store->DeleteKeyTree(id) || !transaction.Commit()) return ERROR_CANTWRITE;
  return ERROR_SUCCESS;
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD*, LPWSTR, DWORD* classLength,
                   FILETIME*) {
  RegistryStore* store;
  KeyId id;
  if (LONG status = Resolve(key, &store, &id); status != ERROR_SUCCESS) return status;
  auto subKey = store->SubKeyAt(id, index);
  if (!subKey) return ERROR_NO_MORE_ITEMS;
  if (classLength) *classLength = 0;
  return CopyName(*subKey, name, nameLength);
}

LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD*, DWORD* type, BYTE* data,
                   DWORD* dataSize) {
  RegistryStore* store;
  KeyId id;
  if (LONG status = Resolve(key, &store, &id); status != ERROR_SUCCESS) return status;
  auto value = store->ValueAt(id, index);
  if (!value) return ERROR_NO_MORE_ITEMS;
  if (LONG status = CopyName(value->name, name, nameLength); status != ERROR_SUCCESS) return status;
  if (type) *type = value->type;
  return CopyBytes(value->data, data, dataSize);
}

LONG RegQueryInfoKeyW(HKEY key, LPWSTR, DWORD* classLength, DWORD*, DWORD* subKeys, DWORD* maxSubKeyLength,
                      DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength, DWORD* maxValueLength,
                      DWORD* securityDescriptor, FILETIME* lastWrite) {
  RegistryStore* store;
  KeyId id;
  if (LONG status = Resolve(key, &store, &id); status != ERROR_SUCCESS) return status;
  platform::internal::KeySummary summary = store->Summarize(id);
  if (classLength) *classLength = 0;
  if (subKeys) *subKeys = summary.subKeys;
  if (maxSubKeyLength) *maxSubKeyLength = summary.maxSubKeyLength;
  if (maxClassLength) *maxClassLength = 0;
  if (values) *values = summary.values;
  if (maxValueNameLength) *maxValueNameLength = summary.maxValueNameLength;
  if (maxValueLength) *maxValueLength = summary.maxValueLength;
  if (securityDescriptor) *securityDescriptor = 0;
  if (lastWrite) *lastWrite = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LONG RegFlushKey(HKEY key) {
  RegistryStore* store;
  KeyId id;
  if (LONG status = Resolve(key, &store, &id); status != ERROR_SUCCESS) return status;
  return store->database().MakeDurable() ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG RegCloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT) return ERROR_SUCCESS;
  if (key == nullptr || OpenKeys().erase(key) == 0) return ERROR_INVALID_HANDLE;
  delete key;
  return ERROR_SUCCESS;
}

namespace platform {

std::optional<ValueOrigin> RegistryValueOrigin(HKEY key, LPCWSTR valueName) {
  RegistryStore* store;
  KeyId id;
  if (Resolve(key, &store, &id) != ERROR_SUCCESS) return std::nullopt;
  auto value = store->GetValue(id, ValueName(valueName));
  if (!value) return std::nullopt;
  return value->origin;
}

bool ApplyRegistryText(std::string_view text, std::string* error) {
  RegistryStore* store = internal::Registry();
  if (store == nullptr) {
    if (error) *error = "the registry cannot be opened";
    return false;
  }
  internal::SqliteTransaction transaction(store->database());
  if (!transaction.ok()) {
    if (error) *error = "the registry cannot be written: " + store->database().Problem();
    return false;
  }
  if (!internal::ApplyRegistryEntries(*store, text, error)) return false;
  if (!transaction.Commit()) {
    if (error) *error = "the registry cannot be written: " + store->database().Problem();
    return false;
  }
  return true;
}

namespace internal {

bool ApplyRegistryEntries(RegistryStore& store, std::string_view text, std::string* error) {
  auto parsed = ParseRegeditText(text);
  if (!parsed.ok()) {
    if (error) *error = "line " + std::to_string(parsed.errorLine) + ": " + parsed.error;
    return false;
  }
  for (const RegeditEntry& entry : parsed.entries) {
    KeyId id = entry.root == RegeditRoot::kCurrentUser ? RegistryStore::kCurrentUser
             : entry.root == RegeditRoot::kClassesRoot ? RegistryStore::kClassesRoot
                                                       : RegistryStore::kLocalMachine;
    bool created = false;
    bool ok = CreatePath(store, PathComponents(entry.keyPath.c_str()), &id, &created);
    if (ok && entry.value) {
      ok = store.SetValue(id, entry.value->name, entry.value->type, entry.value->data, ValueOrigin::kFactory);
    }
    if (!ok) {
      if (error) *error = "the registry cannot be written: " + store.database().Problem();
      return false;
    }
  }
  return true;
}

}  // namespace internal
}  // namespace platform
