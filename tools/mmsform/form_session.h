// What a read and a compose session share: the form opened over a hidden window of the host's own,
// the host's callbacks printed one JSON object a line, and the form closed and released once it
// tells that window IDOK (the read form's "verb dealt with" is the same command).
#pragma once

#include <functional>
#include <optional>

#include "form_module.h"
#include "forms/form_interface.h"
#include "platform/window/window_api.h"

namespace mmsform_tool {

// A hidden top-level window of the host's own, of a class registered for it.
HWND MakeHiddenWindow(LPCWSTR className, WNDPROC procedure);

class FormSession {
 public:
  FormSession(const FormSession&) = delete;
  FormSession& operator=(const FormSession&) = delete;

  // Closes and releases the form; nothing when none is open.
  void Close();
  bool IsOpen() const { return m_form != nullptr; }
  // What the form told the host: FormClosed's flags and whether it handed the message back (5).
  std::optional<DWORD> ClosedFlags() const { return m_callbacks.closedFlags; }
  bool HandedBack() const { return m_callbacks.handedBack; }

 protected:
  using CreateForm = std::function<HRESULT(IFormHost* host, HWND parent, IMMSForm** form)>;

  FormSession(const FormModule& module, LPCWSTR parentClass) : m_module(module), m_parentClass(parentClass) {}
  ~FormSession() { Close(); }

  const FormModule& Module() const { return m_module; }
  // Makes the parent window and runs `create` over it; `closed` runs once, after the form has
  // closed. On failure nothing stays behind.
  HRESULT OpenForm(const CreateForm& create, std::function<void()> closed);

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
  LPCWSTR m_parentClass;
  PrintingHost m_callbacks;
  IMMSForm* m_form = nullptr;
  // The form's parent: the form tells it IDOK when it is done and posts it WM_CLOSE; the session
  // closes the form and then the window.
  HWND m_parent = nullptr;
  std::function<void()> m_closed;
};

}  // namespace mmsform_tool
