// One message read as the messaging application reads it: the message found (a file is stored in
// the Inbox first) and the read form opened as a form session. The messages the client's main
// window receives are printed, one JSON object a line.
#pragma once

#include <functional>
#include <string>

#include "form_session.h"
#include "platform/com/com_ptr.h"
#include "platform/message_store/mapi_interfaces.h"
#include "platform/window/window_api.h"

namespace mmsform_tool {

// The message an MMS file (stored in the Inbox as received) or a hex entry identifier names; null
// with a reason when there is none.
ComPtr<IMessage> OpenReadTarget(IMsgStore* store, const std::string& target, std::string* error);

// The client application's main window ("Ppc_WndCls_MainFrme"), which the forms look for and post to.
HWND MakeClientWindow();

class ReadSession : public FormSession {
 public:
  explicit ReadSession(const FormModule& module) : FormSession(module, u"MMSFormHost.FormParent") {}

  // Opens the read form for `message`. `closed` runs once, after the form has closed. The read
  // view itself opens from the message loop, as the form's frame handles its posted verb.
  HRESULT Open(IMessage* message, std::function<void()> closed);
};

}  // namespace mmsform_tool
