// Modal and modeless dialogs: the nested message loop of a modal dialog and EndDialog.
#include "platform/automation/automation.h"
#include "platform/dialog/dialog_state.h"
#include "platform/window/message_queue.h"

using namespace platform::dialog;

namespace {

std::u16string TitleOf(HWND hwnd) {
  std::u16string title(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, u'\0');
  title.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, title.data(), static_cast<int>(title.size()))));
  return title;
}

// Headless, nobody will press a button once the queue has run dry: the automation's answer queue
// says what a person would have done.
void AnswerForAbsentUser(HWND dialog, const DialogState& state) {
  // A dialog whose answer is more than a button (a file, a row) takes it from the queue itself.
  SendMessageW(dialog, WM_ANSWER_FOR_ABSENT_USER, 0, 0);
  if (!IsWindow(dialog) || state.ended) return;
  std::u16string title = TitleOf(dialog);
  platform::automation::Prompt prompt{u"Dialog", GetWindow(dialog, GW_OWNER), title, title, 0};
  EndDialog(dialog, platform::automation::Answer(prompt, IDCANCEL));
}

void RunModalLoop(HWND dialog, const DialogState& state) {
  MSG msg;
  while (IsWindow(dialog) && !state.ended) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // The quit belongs to the outer loop.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      continue;
    }
    // Idle actions run while the queue was looked at may have ended the dialog.
    if (!IsWindow(dialog) || state.ended) break;
    if (!platform::window::WaitHandler()) {
      AnswerForAbsentUser(dialog, state);
      continue;
    }
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent,
                                DLGPROC procedure, LPARAM initParam) {
  HWND dialog = BuildDialog(instance, dialogTemplate, parent, procedure, initParam, true);
  if (!dialog) return -1;
  std::shared_ptr<DialogState> state = FindDialog(dialog);
  HWND owner = GetWindow(dialog, GW_OWNER);
  const bool reenableOwner = owner && IsWindowEnabled(owner);
  if (reenableOwner) EnableWindow(owner, FALSE);
  if (!state->ended) {
    ShowWindow(dialog, SW_SHOW);
    RunModalLoop(dialog, *state);
  }
  if (reenableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(dialog)) DestroyWindow(dialog);
  if (owner && IsWindow(owner) && IsWindowVisible(owner)) SetActiveWindow(owner);
  return state->result;
}

HWND CreateDialogIndirectParamW(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent,
                                DLGPROC procedure, LPARAM initParam) {
  return BuildDialog(instance, dialogTemplate, parent, procedure, initParam, false);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  std::shared_ptr<DialogState> state = FindDialog(dialog);
  if (!state) return FALSE;
  state->ended = true;
  state->result = result;
  ShowWindow(dialog, SW_HIDE);
  return TRUE;
}
