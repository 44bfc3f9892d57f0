// One compose form as the messaging application opens it: a message to compose into (a new one in
// Drafts, or a stored one) and the compose form opened through the module's export as a form
// session.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "form_session.h"
#include "platform/com/com_ptr.h"
#include "platform/message_store/mapi_interfaces.h"

namespace mmsform_tool {

// What the host hands the export besides the message.
struct ComposeRequest {
  DWORD mode = 0;  // 0 new, 1 reply, 2 reply to all, 4 forward, 5 reopen
  IMessage* source = nullptr;
  // Data block words 0 to 4 (To, Cc, Bcc, subject, creation marker); a missing word is null.
  std::array<std::optional<std::u16string>, 5> words;
  bool closeFlag = false;  // bit 0 of the flags word
  bool withDataBlock = true;
  std::u16string messageClass = u"IPM.MMS";
};

// A new, empty message in the store's Drafts folder; null with a reason when it cannot be made.
ComPtr<IMessage> NewDraftMessage(IMsgStore* store, std::string* error);

class ComposeSession : public FormSession {
 public:
  explicit ComposeSession(const FormModule& module) : FormSession(module, u"MMSFormHost.ComposeParent") {}

  // Opens the compose form on `message`. `closed` runs once, after the form has closed.
  HRESULT Open(IMessage* message, const ComposeRequest& request, std::function<void()> closed);
  // The composer frame's window while the form is open, else null.
  HWND FrameWindow() const;
};

}  // namespace mmsform_tool
