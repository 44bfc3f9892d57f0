#include "device/link_actions.h"

#include "platform/file_api.h"
#include "platform/phone/phone_api.h"
#include "platform/process.h"
#include "platform/shell/shell_execute.h"

BOOL OpenAddress(LPCWSTR target) {
  SHELLEXECUTEINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = u"open";
  info.lpFile = target;
  info.nShow = SW_SHOWNORMAL;
  const BOOL opened = ShellExecuteEx(&info);
  if (info.hProcess != nullptr) CloseHandle(info.hProcess);
  return opened;
}

int Dial(LPCWSTR number, int dialerOnly) {
  if (dialerOnly == 0) {
    PHONEMAKECALLINFO call{};
    call.cbSize = sizeof call;
    call.dwFlags = PMCF_DEFAULT;
    call.pszDestAddress = number;
    PhoneMakeCall(&call);
    return 1;
  }
  PROCESS_INFORMATION process{};
  if (CreateProcessW(u"\\windows\\cprog.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                     &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  return 1;
}

CString OwnPhoneNumber() {
  SMS_ADDRESS address{};
  if (SmsGetPhoneNumber(&address) != 0) return CString();
  address.ptsAddress[SMS_MAX_ADDRESS_LENGTH - 1] = 0;
  return CString(address.ptsAddress);
}
