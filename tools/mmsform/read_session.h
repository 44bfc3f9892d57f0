// One message read as the messaging application reads it: the message found (a file is stored in
// the Inbox first), the read form opened on a window of the host's own, and the form closed and
// released once its frame reports that it is done. The host's callbacks and the messages the
// client's main window receives are printed, one JSON object a line.
#pragma once

#include <functional>
#include <string>

#include "form_module.h"
#include "forms/form_interface.h"
#include "platform/com_ptr.h"
#include "platform/message_store/mapi_interfaces.h"
#include "platform/window/window_api.h"

namespace mmsform_tool {

// The message an MMS file (stored in the Inbox as received) or a hex entry identifier names; null
// with a reason when there is none.
ComPtr<IMessage> OpenReadTarget(IMsgStore* store, const std::string& target, std::string* error);

// The client application's main window ("Ppc_WndCls_MainFrme"), which the forms look for and post to.
HWND MakeClientWindow();
// A hidden top-level window of the host's own, of a class registered for it.
HWND MakeHiddenWindow(LPCWSTR className, WNDPROC procedure);

class ReadSession {
 public:
  explicit ReadSession(const FormModule& module) : m_module(module) {}
  ~ReadSession() { Close(); }
  ReadSession(const ReadSession&) = delete;
  ReadSession& operator=(const ReadSession&) = delete;

  // Opens the read form for `message`. `closed` runs once, after the form has closed. The read
  // view itself opens from the message loop, as the form's frame handles its posted verb.
  HRESULT Open(IMessage* message, std::function<void()> closed);
  // Closes and releases the form; nothing when none is open.
  void Close();
  bool IsOpen() const { return m_form != nullptr; }

 private:
  struct PrintingHost : IFormHost {
    HRESULT FormClosed(IMMSForm*, IMessage*, DWORD flags) override;
    HRESULT HostSlot1() override { return S_OK; }
    HRESULT HostSlot2() override { return S_OK; }
    HRESULT FormAction(IMMSForm*, IMessage*, DWORD action, DWORD) override;
  };
  static LRESULT ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  const FormModule& m_module;
  PrintingHost m_callbacks;
  IMMSForm* m_form = nullptr;
  // The form's parent: the frame tells it that the verb was dealt with, the form posts it WM_CLOSE.
  HWND m_parent = nullptr;
  std::function<void()> m_closed;
};

}  // namespace mmsform_tool
