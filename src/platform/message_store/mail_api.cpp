#include "platform/message_store/mail_api.h"

namespace platform {
namespace {

std::vector<MailRequest>& Requests() {
  static std::vector<MailRequest> requests;
  return requests;
}

std::u16string Field(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

}  // namespace

const std::vector<MailRequest>& MailRequests() { return Requests(); }

void ClearMailRequests() { Requests().clear(); }

}  // namespace platform

HRESULT MailComposeMessage(const MAILCOMPOSEFIELDS* fields) {
  if (fields == nullptr || fields->cbSize < sizeof(MAILCOMPOSEFIELDS)) return E_INVALIDARG;
  platform::MailRequest request;
  request.kind = platform::MailRequest::Kind::kCompose;
  request.flags = fields->dwFlags;
  request.to = platform::Field(fields->pszTo);
  request.cc = platform::Field(fields->pszCc);
  request.bcc = platform::Field(fields->pszBcc);
  request.subject = platform::Field(fields->pszSubject);
  request.body = platform::Field(fields->pszBody);
  request.account = platform::Field(fields->pszAccount);
  request.messageClass = platform::Field(fields->pszMsgClass);
  platform::Requests().push_back(std::move(request));
  return S_OK;
}

HRESULT MailSwitchToFolder(LPENTRYID entryId, ULONG size) {
  if (entryId == nullptr || size == 0) return E_INVALIDARG;
  platform::MailRequest request;
  request.kind = platform::MailRequest::Kind::kSwitchToFolder;
  request.folderEntryId.assign(reinterpret_cast<const char*>(entryId), size);
  platform::Requests().push_back(std::move(request));
  return S_OK;
}
