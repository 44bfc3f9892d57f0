// CReadForm: the form object the host gets for a received or stored message. It owns the read
// frame from Activate to Close and tells the host when it closes; the object itself lives until
// its last Release.
#pragma once

#include <atomic>
#include <memory>

#include "forms/form_interface.h"
#include "forms/read_frame.h"
#include "platform/com/com_ptr.h"
#include "platform/message_store/mapi_interfaces.h"

class CReadForm final : public IMMSForm {
 public:
  // Takes a reference on the message.
  CReadForm(IFormHost* host, IMessage* message, HWND parentWindow);

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT SetMessage(DWORD verb, IMessage* message) override;
  HRESULT Close() override;
  HRESULT Reserved5() override { return S_OK; }
  HRESULT Reserved6() override { return S_OK; }
  HRESULT DoAction(DWORD code) override;
  HRESULT GetFormFlags(DWORD* flags) override;
  void Destroy(UINT flags) override;
  HRESULT Activate(DWORD* argument) override;

  CReadFrame* Frame() const { return m_frame.get(); }

 private:
  ~CReadForm() = default;

  std::atomic<ULONG> m_references{1};
  IFormHost* m_host;
  ComPtr<IMessage> m_message;
  HWND m_parent;
  std::unique_ptr<CReadFrame> m_frame;
  bool m_closed = false;
};
