#include "device/ipc_flag.h"

#include "platform/registry/registry.h"

namespace {

constexpr const WCHAR* kUiKey = u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config\\UI";
constexpr const WCHAR* kValueName = u"Quillon_IPC_Name";

HKEY OpenOrCreateUiKey() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUiKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

}  // namespace

BOOL SetIpcFlag() {
  if (HKEY key = OpenOrCreateUiKey()) {
    DWORD value = kIpcReplyPending;
    RegSetValueExW(key, kValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegFlushKey(key);
    RegCloseKey(key);
  }
  return TRUE;
}

BOOL ClearIpcFlag() {
  HKEY key = OpenOrCreateUiKey();
  if (key == nullptr) return FALSE;
  RegDeleteValueW(key, kValueName);
  RegFlushKey(key);
  RegCloseKey(key);
  return TRUE;
}

LONG GetIpcFlag() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUiKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return -1;
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = REG_NONE;
  LONG status = RegQueryValueExW(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || size != sizeof value) return -1;
  return static_cast<LONG>(value);
}
