// CComposerFrame: the compose form's top-level window over the host's message window. This is its
// frame only: it is made hidden, keeps what the opening handed it (the message binding, the
// creation request, the message class) and closes when the form closes it. The header, the slides
// and the commands are not part of it yet, so it never shows itself.
#pragma once

#include "forms/message_binding.h"
#include "platform/cstring.h"
#include "ui/wnd_base.h"

constexpr const WCHAR* kComposerFrameClass = u"Ppc_WndCls_ComposerFrame";
constexpr const WCHAR* kComposerFrameTitle = u"ComposerFrame";
// Sent to an earlier composer (and to the media picker) when a new compose form opens.
constexpr UINT WM_COMPOSER_REPLACED = 0x04E9;

// What the form's Init hands the frame.
struct ComposerStart {
  LONG formKind = 1;       // the message state the opening found; 3 and 6 mark a stored message
  BOOL composeMode = 1;    // 1 the full composer, 0 a form opened to run one insert action
  LONG startAction = -1;   // the creation mode of a creation request, -1 none
  CString messageClass;
  CString creationMarker;  // the host's word 4, as the opening kept it
  bool lockedObjectsRemoved = false;
};

class CComposerFrame : public CWndBase {
 public:
  CComposerFrame() = default;
  ~CComposerFrame() override;

  // Makes the frame window over `hostParent`, or brings an existing one forward; its handle or null.
  HWND Create(HWND hostParent, const ComposerStart& start);
  // The message the frame works on, borrowed from the form; null detaches it.
  void Attach(DWORD verb, MessageBinding* binding);

  HWND HostParent() const { return m_hostParent; }
  const ComposerStart& Start() const { return m_start; }
  MessageBinding* Binding() const { return m_binding; }
  DWORD OpenAction() const { return m_openAction; }
  // The state the frame reports to the form's close: 5 once the message was handed over.
  LONG ReportedState() const { return m_reportedState; }

  const MessageMap* GetMessageMap() const override;

 private:
  LRESULT OnCloseFrame(WPARAM wParam, LPARAM lParam);

  HWND m_hostParent = nullptr;
  ComposerStart m_start;
  MessageBinding* m_binding = nullptr;
  DWORD m_openAction = 0;
  LONG m_reportedState = 0;
};
