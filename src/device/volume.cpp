#include "device/volume.h"

#include "platform/registry/registry.h"

namespace {

bool ReadDword(HKEY root, LPCWSTR path, LPCWSTR name, REGSAM access, DWORD* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, access, &key) != ERROR_SUCCESS) return false;
  DWORD size = sizeof *value;
  DWORD type = REG_NONE;
  const LONG read = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && size == sizeof *value;
}

}  // namespace

extern "C" BOOL getVolume(DWORD kind, DWORD* level) {
  if (level == nullptr) return FALSE;
  *level = 0;
  LPCWSTR name = nullptr;
  if (kind == 0 || kind == 4) name = u"Volume";
  if (kind == 1) name = u"Ringer";
  DWORD raw = 0;
  if (name == nullptr || !ReadDword(HKEY_CURRENT_USER, u"ControlPanel\\Volume", name, KEY_ALL_ACCESS, &raw)) {
    return FALSE;
  }
  *level = raw / 0x33333333u;
  return TRUE;
}

extern "C" BOOL isCamp3G() {
  DWORD state = 0;
  if (!ReadDword(HKEY_LOCAL_MACHINE, u"System\\OEM_State\\RSSI", u"CSAF", KEY_READ, &state)) return FALSE;
  return state == 16 || state == 64;
}
