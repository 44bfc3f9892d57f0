#include "device/link_actions.h"

#include <algorithm>

#include "device/link_words.h"

#include "platform/kernel/file_api.h"
#include "platform/kernel/process.h"
#include "platform/phone/phone_api.h"
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

namespace {

// The schemes an HTML link is opened with as written: the addresses link detection makes links of.
constexpr std::u16string_view kWebSchemes[] = {u"http:", u"https:", u"ftp:", u"rtsp:", u"wsp:", u"gopher:"};

// Whether `target` starts with a scheme ("letters:"), which makes it no relative path.
bool HasScheme(std::u16string_view target) {
  std::size_t i = 0;
  auto isLetter = [](char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  while (i < target.size() && (isLetter(target[i]) || (i > 0 && ((target[i] >= '0' && target[i] <= '9') ||
                                                                  target[i] == '+' || target[i] == '-' ||
                                                                  target[i] == '.')))) {
    ++i;
  }
  return i > 0 && i < target.size() && target[i] == ':';
}

// The shell starts a program it is given, and a message must not start one by a tap; a relative
// target stays in the text's folder.
bool MayOpenLocalTarget(std::u16string_view target, bool relative) {
  const std::u16string_view path = target.substr(0, target.find_first_of(u"?#"));
  if (path.size() >= 4 && link_words::StartsWithNoCase(path.substr(path.size() - 4), u".exe")) return false;
  if (!relative) return true;
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find_first_of(u"/\\", start), path.size());
    if (path.substr(start, end - start) == u"..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

CString HtmlLinkAddress(std::u16string_view target, std::u16string_view folder) {
  for (std::u16string_view scheme : kWebSchemes) {
    if (link_words::StartsWithNoCase(target, scheme)) return CString(target);
  }
  const bool local = link_words::StartsWithNoCase(target, u"file:") || target.starts_with(u'/') ||
                     target.starts_with(u'\\');
  if (local) return MayOpenLocalTarget(target, false) ? CString(target) : CString();
  if (target.empty() || HasScheme(target) || !MayOpenLocalTarget(target, true)) return CString();
  return CString(folder) + target;
}
