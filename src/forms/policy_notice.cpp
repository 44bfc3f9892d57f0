#include "forms/read_dialogs.h"
#include "platform/window/window_api.h"
#include "platform/window/window_styles.h"
#include "transport/resource_module.h"

namespace {
constexpr UINT kPolicyTitle = 41133;
constexpr UINT kPolicyOff = 41134;
constexpr UINT kPolicyOn = 41135;
}  // namespace

int ShowPolicyNotice(HWND owner, bool policyOn) {
  const CString text = transport::LoadResourceString(policyOn ? kPolicyOn : kPolicyOff);
  const CString title = transport::LoadResourceString(kPolicyTitle);
  return MessageBoxW(owner, text, title, MB_OK | MB_ICONEXCLAMATION);
}
