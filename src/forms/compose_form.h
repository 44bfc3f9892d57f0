// CComposeForm: the form object the host gets for a message being written. It owns the composer
// frame from Init to Close and the binding of the message it composes into, and tells the host
// once when it closes; the object itself lives until its last Release.
#pragma once

#include <atomic>
#include <memory>

#include "forms/compose_data_block.h"
#include "forms/composer_frame.h"
#include "forms/form_interface.h"
#include "forms/message_binding.h"

// The compose form's own slots after the common ten.
struct IComposeForm : IMMSForm {
  // Slot 11: hands the four values to the host's FormAction.
  virtual HRESULT ForwardAction(IMMSForm* form, IMessage* message, DWORD action, DWORD reserved) = 0;
  // Slot 12: makes the composer frame over parentWindow for the opening's findings.
  virtual HRESULT Init(HWND parentWindow, DWORD initArg, const ComposeWords& words, LONG messageState,
                       BOOL creationFlag, LONG creationMode, LPCWSTR messageClass, BOOL lockedObjectsRemoved) = 0;

 protected:
  ~IComposeForm() = default;
};

// The close flag FormClosed carries when bit 0 of the data block's flags word is set.
constexpr DWORD kComposeCloseFlag = 4;
// The source name of the form's debug lines.
inline constexpr const char* kComposeFormSource = "ComposerForm";

class CComposeForm final : public IComposeForm {
 public:
  explicit CComposeForm(IFormHost* host) : m_host(host) {}

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  // Binds a new message (verb as the binding's load takes it) and attaches it.
  HRESULT SetMessage(DWORD verb, IMessage* message) override;
  HRESULT Close() override;
  HRESULT Reserved5() override { return S_OK; }
  HRESULT Reserved6() override { return S_OK; }
  // Code 1: the message goes back to the host with action 5, then the form closes.
  HRESULT DoAction(DWORD code) override;
  // Stores 2.
  HRESULT GetFormFlags(DWORD* flags) override;
  void Destroy(UINT flags) override;
  // Slot 10 is the read form's Activate; a compose form is attached by its opening instead
  // (Attach), so a host that activates it is told it does not implement that.
  HRESULT Activate(DWORD* argument) override;
  HRESULT ForwardAction(IMMSForm* form, IMessage* message, DWORD action, DWORD reserved) override;
  HRESULT Init(HWND parentWindow, DWORD initArg, const ComposeWords& words, LONG messageState, BOOL creationFlag,
               LONG creationMode, LPCWSTR messageClass, BOOL lockedObjectsRemoved) override;

  // Takes the binding; a null one is kept as null and answers 87. The frame, when there is one,
  // works on it from now on.
  HRESULT Attach(DWORD verb, std::unique_ptr<MessageBinding> binding);

  CComposerFrame* Frame() const { return m_frame.get(); }
  MessageBinding* Binding() const { return m_binding.get(); }
  DWORD CloseFlag() const { return m_closeFlag; }
  bool IsClosed() const { return m_closed; }

 private:
  ~CComposeForm() = default;
  // FormClosed for the close: a form opened only to close at once reports 0 when its frame got as
  // far as handing the message over (state 5) and 4 otherwise.
  void NotifyClosed();

  std::atomic<ULONG> m_references{1};
  IFormHost* m_host;
  std::unique_ptr<MessageBinding> m_binding;
  std::unique_ptr<CComposerFrame> m_frame;
  DWORD m_closeFlag = 0;
  bool m_closed = false;
};
