// CReadFrame: the read form's hidden frame window. It is made owned by the host's window, holds the
// message being read, and acts on the host's verb for it (message 1962) through the message site.
#pragma once

#include <functional>
#include <memory>

#include "forms/message_binding.h"
#include "platform/com/com_ptr.h"
#include "platform/message_store/mapi_interfaces.h"
#include "ui/wnd_base.h"

constexpr const WCHAR* kReadFrameClass = u"Ppc_WndCls_ReadFrame";
// wParam and lParam carry the host's verb.
constexpr UINT WM_READ_FRAME_VERB = 1962;
constexpr UINT WM_READ_FRAME_CLOSE = 1268;

// What the frame does for a verb.
enum class FrameVerb : DWORD {
  kNone = 0,
  kReadView = 1,        // the read view (dialog 210)
  kMessageInfo = 3,     // the message information (dialog 208), with 1256 to the client
  kMessageDialog = 4,   // dialog 380
  kMessageDialogUnlessHidden = 5,  // dialog 380 unless HideDlgControl has bit 0x10
};

// The message site's answer for a host verb. The host's plain read (5, as the create call passes
// it) and its open (1) read the message; 3 is the message information; 4 and 6 the message dialog,
// 6 only where the device does not hide it. Any other verb does nothing.
FrameVerb FrameVerbForHostVerb(DWORD hostVerb);

class CReadFrame : public CWndBase {
 public:
  CReadFrame() = default;
  ~CReadFrame() override;

  // Makes the frame window for `host`, or brings it forward when it exists; its handle or null.
  HWND Create(HWND host);
  // Keeps the message and queues the verb for it; false without a frame window.
  bool LoadMessage(DWORD verb, IMessage* message);

  IMessage* Message() const { return m_message.Get(); }
  HWND HostWindow() const { return m_host; }
  // The store tag of the folder the Inbox is to show when the form closes; 0 for none.
  ULONG FolderTag() const { return m_folderTag; }
  // The last verb acted on, kNone before the first.
  FrameVerb LastVerb() const { return m_lastVerb; }

  const MessageMap* GetMessageMap() const override;
  // Called on each keep-awake tick of the read view while it plays.
  void SetIdleReset(std::function<void()> reset) { m_idleReset = std::move(reset); }

 private:
  // Shows the read view for the message when the device has room; true when it ended with 1.
  bool OpenReadView();
  // The message's binding, made on first use; null when the message cannot be bound.
  MessageBinding* Binding();
  // The message information (dialog 208), told to the client first; the message details (380).
  void ShowInformation();
  void ShowDetails();

  LRESULT OnVerb(WPARAM wParam, LPARAM lParam);
  LRESULT OnCloseFrame(WPARAM wParam, LPARAM lParam);

  HWND m_host = nullptr;
  ComPtr<IMessage> m_message;
  ULONG m_folderTag = 0;
  FrameVerb m_lastVerb = FrameVerb::kNone;
  std::unique_ptr<MessageBinding> m_binding;
  std::function<void()> m_idleReset;
};

constexpr UINT kNoStorageText = 40810;
