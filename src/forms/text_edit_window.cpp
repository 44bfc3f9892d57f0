#include "forms/text_edit_window.h"

#include <string>

#include "forms/composer_commands.h"
#include "forms/dialog_soft_keys.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_messages.h"
#include "platform/window/message_queue.h"
#include "platform/window/window_styles.h"
#include "transport/resource_module.h"
#include "ui/density.h"

namespace {

constexpr int kEditId = 1002;
// The title bar and the soft-key bar each take this much of the screen, at 96 dots per inch.
constexpr int kBarHeight = 26;

}  // namespace

CTextEditWindow::CTextEditWindow(CString title, CString text) : m_title(std::move(title)), m_text(std::move(text)) {}

CTextEditWindow::~CTextEditWindow() {
  if (IsWindow()) ::DestroyWindow(GetHandle());
}

const MessageMap* CTextEditWindow::GetMessageMap() const {
  using W = CTextEditWindow;
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_SIZE, &W::OnSize),
      OnMessage(WM_COMPOSER_REPLACED, &W::OnComposerReplaced),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CTextEditWindow::OnCreated() {
  RECT client{};
  GetClientRect(&client);
  m_edit = ::CreateWindowExW(0, u"EDIT", m_text.GetString(),
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0,
                             0, client.right, client.bottom, GetHandle(),
                             reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kEditId)), nullptr, nullptr);
  CreateDialogSoftKeys(GetHandle(), kOkCancelSoftKeys);
  return m_edit != nullptr;
}

LRESULT CTextEditWindow::OnSize(WPARAM, LPARAM) {
  RECT client{};
  GetClientRect(&client);
  if (m_edit != nullptr) ::MoveWindow(m_edit, 0, 0, client.right, client.bottom, TRUE);
  return 0;
}

LRESULT CTextEditWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDOK: Finish(true); return 0;
    case IDCANCEL: Finish(false); return 0;
    default: return CWndBase::OnCommand(wParam, lParam);
  }
}

LRESULT CTextEditWindow::OnComposerReplaced(WPARAM, LPARAM) {
  Finish(false);
  return 0;
}

void CTextEditWindow::Finish(bool keep) {
  if (m_done) return;
  m_done = true;
  if (!keep || m_edit == nullptr) return;
  const int length = ::GetWindowTextLengthW(m_edit);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(m_edit, text.data(), length + 1)));
  m_result = CString(text);
}

// Headless, the answer queue says whether the person kept the edit (IDOK) or dropped it; what
// the field holds by then is what they typed.
void CTextEditWindow::AnswerForAbsentUser() {
  const platform::automation::Prompt prompt{u"TextEditor", ::GetWindow(GetHandle(), GW_OWNER),
                                            std::u16string(m_title.View()), std::u16string(m_text.View()), MB_OKCANCEL};
  Finish(platform::automation::Answer(prompt, IDCANCEL) == IDOK);
}

std::optional<CString> CTextEditWindow::Run(HWND owner) {
  m_done = false;
  m_result.reset();
  const int bar = ScaleY(kBarHeight);
  if (!Create(kTextEditWindowClass, m_title.GetString(), WS_POPUP | WS_VISIBLE, 0, bar,
              ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) - 2 * bar,
              transport::ResourceInstance(), owner, 0, kWhiteBackground)) {
    return std::nullopt;
  }
  const bool reenableOwner = owner != nullptr && ::IsWindowEnabled(owner);
  if (reenableOwner) ::EnableWindow(owner, FALSE);
  ::SetFocus(m_edit);
  MSG msg;
  while (IsWindow() && !m_done) {
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
      continue;
    }
    if (!platform::window::WaitHandler()) {
      AnswerForAbsentUser();
      continue;
    }
    if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (reenableOwner && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
  if (IsWindow()) ::DestroyWindow(GetHandle());
  if (owner != nullptr && ::IsWindow(owner)) ::SetActiveWindow(owner);
  return m_result;
}
