// One compose form as the messaging application opens it: a message to compose into (a new one in
// Drafts, or a stored one), the compose form opened through the module's export over a window of
// the host's own, and the form closed and released once it tells that window IDOK. The host's
// callbacks are printed, one JSON object a line.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "form_module.h"
#include "forms/form_interface.h"
#include "platform/com_ptr.h"
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

class ComposeSession {
 public:
  explicit ComposeSession(const FormModule& module) : m_module(module) {}
  ~ComposeSession() { Close(); }
  ComposeSession(const ComposeSession&) = delete;
  ComposeSession& operator=(const ComposeSession&) = delete;

  // Opens the compose form on `message`. `closed` runs once, after the form has closed.
  HRESULT Open(IMessage* message, const ComposeRequest& request, std::function<void()> closed);
  // Closes and releases the form; nothing when none is open.
  void Close();
  bool IsOpen() const { return m_form != nullptr; }
  // The composer frame's window while the form is open, else null.
  HWND FrameWindow() const;
  // What the form told the host: FormClosed's flags and whether it handed the message back (5).
  std::optional<DWORD> ClosedFlags() const { return m_callbacks.closedFlags; }
  bool HandedBack() const { return m_callbacks.handedBack; }

 private:
  struct PrintingHost : IFormHost {
    HRESULT FormClosed(IMMSForm*, IMessage*, DWORD flags) override;
    HRESULT HostSlot1() override { return S_OK; }
    HRESULT HostSlot2() override { return S_OK; }
    HRESULT FormAction(IMMSForm*, IMessage*, DWORD action, DWORD) override;
    std::optional<DWORD> closedFlags;
    bool handedBack = false;
  };
  static LRESULT ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  const FormModule& m_module;
  PrintingHost m_callbacks;
  IMMSForm* m_form = nullptr;
  // The form's parent: the form tells it IDOK when it is done, and the session then closes it.
  HWND m_parent = nullptr;
  std::function<void()> m_closed;
};

}  // namespace mmsform_tool
