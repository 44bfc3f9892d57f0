#include "transport/mms_global.h"

#include "platform/kernel/module_api.h"
#include "platform/registry/registry.h"

ULC_Global* ULC_Global::GetGlobal() {
  static ULC_Global* global = [] {
    static ULC_Global instance;
    instance.LoadDeviceConfiguration();
    return &instance;
  }();
  return global;
}

void ULC_Global::LoadDeviceConfiguration() {
  genericFilter.Empty();
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config\\Transport", 0, KEY_READ,
                    &key) != ERROR_SUCCESS) {
    return;
  }
  WCHAR text[MAX_PATH] = {};
  DWORD size = sizeof text - sizeof(WCHAR);
  DWORD type = REG_NONE;
  if (RegQueryValueExW(key, u"GenericFilter", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
          ERROR_SUCCESS &&
      type == REG_SZ) {
    genericFilter = CString(text);
  }
  RegCloseKey(key);
}

void ULC_Global::SetDrmContext(DWORD active, HWND window, int flag) {
  drmContext = DrmContextRecord{active, window, 2};
  drmContextFlag = flag;
}

BOOL ULC_Global::LoadWinINet() {
  if (winINetLoads > 0) {
    ++winINetLoads;
    return TRUE;
  }
  HMODULE module = LoadLibraryW(u"wininet.dll");
  if (module == nullptr) return FALSE;
  auto canonicalize = reinterpret_cast<InternetCanonicalizeUrlFunction>(GetProcAddressW(module, u"InternetCanonicalizeUrlW"));
  auto crack = reinterpret_cast<InternetCrackUrlFunction>(GetProcAddressW(module, u"InternetCrackUrlW"));
  if (canonicalize == nullptr || crack == nullptr) {
    FreeLibrary(module);
    return FALSE;
  }
  winINetModule = module;
  canonicalizeUrl = canonicalize;
  crackUrl = crack;
  winINetLoads = 1;
  return TRUE;
}

void ULC_Global::UnloadWinINet() {
  if (winINetLoads == 0 || --winINetLoads > 0) return;
  canonicalizeUrl = nullptr;
  crackUrl = nullptr;
  FreeLibrary(winINetModule);
  winINetModule = nullptr;
}

BOOL CMMSGlobal::InitFormGlobal() {
  composeAbort = 0;
  composeAbortForm = nullptr;
  return TRUE;
}

CMMSGlobal* GetMMSGlobal() {
  static CMMSGlobal global;
  return &global;
}

LPCWSTR GetAddress1() { return SharedEmptyString(); }

LPCWSTR GetAddress() { return SharedEmptyString(); }
