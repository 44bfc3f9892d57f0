// The form object as the host sees it: the component model's three calls, then the form operations
// by slot, and the host's callback object the form reports to. Hosts reach both through the
// module's exports only, so the slot order here is fixed.
#pragma once

#include "platform/com/unknown.h"
#include "platform/win_types.h"

struct IMessage;

// {501A8BFB-D672-4B34-BACF-85C42051868E}
inline constexpr IID IID_IMMSForm = {0x501A8BFB, 0xD672, 0x4B34, {0xBA, 0xCF, 0x85, 0xC4, 0x20, 0x51, 0x86, 0x8E}};

// Posted to the client's main window when a form cannot open.
constexpr UINT WM_FORM_FAILED = 0x04F0;
// The action code the form hands a message back to the host with.
constexpr DWORD kFormActionHandBack = 5;
// The verb of a plain read, as the create call passes it.
constexpr DWORD kHostVerbRead = 5;

struct IMMSForm : IUnknown {
  virtual HRESULT SetMessage(DWORD verb, IMessage* message) = 0;  // slot 3
  virtual HRESULT Close() = 0;                                    // slot 4
  virtual HRESULT Reserved5() = 0;                                // slot 5
  virtual HRESULT Reserved6() = 0;                                // slot 6
  virtual HRESULT DoAction(DWORD code) = 0;                       // slot 7
  virtual HRESULT GetFormFlags(DWORD* flags) = 0;                 // slot 8
  // Slot 9: Release calls it with 1 at the last reference; 1 frees the object.
  virtual void Destroy(UINT flags) = 0;
  // Slot 10: the read form's Activate (its argument) and the compose form's Attach share it.
  virtual HRESULT Activate(DWORD* argument) = 0;

 protected:
  ~IMMSForm() = default;
};

// The host's callback object; the form calls slots 0 and 3 and never releases it.
struct IFormHost {
  virtual HRESULT FormClosed(IMMSForm* form, IMessage* message, DWORD flags) = 0;  // slot 0
  virtual HRESULT HostSlot1() = 0;
  virtual HRESULT HostSlot2() = 0;
  virtual HRESULT FormAction(IMMSForm* form, IMessage* message, DWORD action, DWORD reserved) = 0;  // slot 3

 protected:
  ~IFormHost() = default;
};
