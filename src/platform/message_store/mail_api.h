// The messaging application's calls the module makes: open a compose window with given fields,
// and switch the message list to a folder. This device has no messaging application of its own,
// so each call is recorded for the host (and tests) to see what was asked.
#pragma once

#include <string>
#include <vector>

#include "platform/message_store/mapi_types.h"

// dwFlags of MAILCOMPOSEFIELDS.
constexpr DWORD MCF_ACCOUNT_IS_NAME = 0x00000001;

struct MAILCOMPOSEFIELDS {
  DWORD cbSize;
  DWORD dwFlags;
  LPCWSTR pszTo;
  LPCWSTR pszCc;
  LPCWSTR pszBcc;
  LPCWSTR pszSubject;
  LPCWSTR pszBody;
  DWORD cAttachments;
  LPCWSTR pszAttachments;
  LPCWSTR pszAccount;
  LPCWSTR pszMsgClass;
};

// E_INVALIDARG for a null or short structure; otherwise recorded, S_OK.
HRESULT MailComposeMessage(const MAILCOMPOSEFIELDS* fields);
// E_INVALIDARG for a null or empty identifier; otherwise recorded, S_OK.
HRESULT MailSwitchToFolder(LPENTRYID entryId, ULONG size);

namespace platform {

struct MailRequest {
  enum class Kind { kCompose, kSwitchToFolder };
  Kind kind = Kind::kCompose;
  DWORD flags = 0;
  // Compose fields (a null field reads empty).
  std::u16string to, cc, bcc, subject, body, account, messageClass;
  // The folder asked for.
  std::string folderEntryId;
};

// The requests made so far in this process, oldest first.
const std::vector<MailRequest>& MailRequests();
void ClearMailRequests();

}  // namespace platform
