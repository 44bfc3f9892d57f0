#include "forms/composer_frame.h"

#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "ui/density.h"
#include "ui/dialog_base.h"

namespace {

constexpr DWORD kFrameStyle = 0x80030000;
// The title bar and the soft-key bar each take this much of the screen, at 96 dots per inch.
constexpr int kBarHeight = 26;

}  // namespace

CComposerFrame::~CComposerFrame() {
  if (IsWindow()) ::DestroyWindow(GetHandle());
}

const MessageMap* CComposerFrame::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_CLOSEDIALOG, &CComposerFrame::OnCloseFrame),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

HWND CComposerFrame::Create(HWND hostParent, const ComposerStart& start) {
  if (IsWindow()) {
    ::SetForegroundWindow(GetHandle());
    return GetHandle();
  }
  m_hostParent = hostParent;
  m_start = start;
  const int bar = ScaleY(kBarHeight);
  if (!CWndBase::Create(kComposerFrameClass, kComposerFrameTitle, kFrameStyle, 0, bar, ::GetSystemMetrics(SM_CXSCREEN),
                        ::GetSystemMetrics(SM_CYSCREEN) - 2 * bar, ULC_Global::GetGlobal()->resourceModule.instance,
                        hostParent, 0, nullptr)) {
    return nullptr;
  }
  // Shown once a message is loaded into it; until the slide editor exists nothing loads.
  ShowWindow(SW_HIDE);
  return GetHandle();
}

void CComposerFrame::Attach(DWORD verb, MessageBinding* binding) {
  m_openAction = verb;
  m_binding = binding;
}

LRESULT CComposerFrame::OnCloseFrame(WPARAM, LPARAM) {
  if (IsWindow()) ::DestroyWindow(GetHandle());
  return 0;
}
