#include "transport/mms_global.h"

ULC_Global* ULC_Global::GetGlobal() {
  static ULC_Global global;
  return &global;
}

void ULC_Global::SetDrmContext(DWORD active, HWND window, int flag) {
  drmContext = DrmContextRecord{active, window, 2};
  drmContextFlag = flag;
}

CMMSGlobal* GetMMSGlobal() {
  static CMMSGlobal global;
  return &global;
}

LPCWSTR GetAddress1() { return SharedEmptyString(); }

LPCWSTR GetAddress() { return SharedEmptyString(); }
