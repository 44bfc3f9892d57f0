// The input panel and the shell's full-screen state: kept as states that the forms set and tests
// read; the full-screen state also shows or hides the shell's title bar.
#include <map>

#include "platform/controls/control_messages.h"
#include "platform/controls/shell_title_bar.h"

namespace {

struct ShellState {
  DWORD inputPanel = SIPF_OFF;
  std::map<HWND, DWORD> fullScreen;
  std::map<HWND, DWORD> keptInputPanel;
};

ShellState& State() {
  static ShellState state;
  return state;
}

}  // namespace

BOOL SipShowIM(DWORD flags) {
  State().inputPanel = flags & SIPF_ON;
  return TRUE;
}

DWORD SipGetState() { return State().inputPanel; }

BOOL SHSaveInputPanelState(HWND hwnd) {
  if (!IsWindow(hwnd)) return FALSE;
  State().keptInputPanel[hwnd] = State().inputPanel;
  return TRUE;
}

BOOL SHRestoreInputPanelState(HWND hwnd) {
  auto it = State().keptInputPanel.find(hwnd);
  if (it == State().keptInputPanel.end()) return FALSE;
  const DWORD kept = it->second;
  // A handle outlives its window only as a number another window may get.
  State().keptInputPanel.erase(it);
  return IsWindow(hwnd) && SipShowIM(kept);
}

BOOL SHFullScreen(HWND hwnd, DWORD state) {
  if (!IsWindow(hwnd)) return FALSE;
  State().fullScreen[hwnd] = state;
  platform::controls::UpdateShellTitleBar();
  return TRUE;
}

DWORD SHFullScreenState(HWND hwnd) {
  auto it = State().fullScreen.find(hwnd);
  return it == State().fullScreen.end() || !IsWindow(hwnd) ? 0 : it->second;
}
