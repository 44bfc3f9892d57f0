// Headless automation of the window system, for tests and the host's batch mode: input injected
// at screen points, keys and commands; the queue pumped until idle; the virtual clock advanced
// through the timers in order; message boxes answered from a queue; hooks that act when a window
// appears; screenshots.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/window_api.h"

namespace platform::automation {

// Stops a pump whose handlers keep posting to each other forever.
constexpr int kDefaultPumpLimit = 100000;

// Dispatches (with TranslateMessage) everything queued, painting and due timers included, until
// nothing is left; returns how many messages were dispatched. A WM_QUIT stays pending.
int PumpUntilIdle(int limit = kDefaultPumpLimit);

// Moves the virtual clock on by `milliseconds`, stopping at each timer's due time in turn so that
// every timer fires as often and in the order it would in real time. On the real clock, pumps for
// that long instead.
void AdvanceClock(DWORD milliseconds);

// Mouse input at a screen point, delivered to the capture window or the window under the point
// (which becomes active when it is not). Each call pumps until idle. False when no window takes it.
bool MouseDown(POINT screen);
bool MouseMove(POINT screen);
bool MouseUp(POINT screen);
// Press and release queued together, then pumped. A MouseDown alone is a press held still.
bool Tap(POINT screen);

// The same input queued without pumping, for a front-end that runs its own loop.
bool PostMouseInput(UINT message, POINT screen);
bool PostKeyInput(UINT message, UINT virtualKey);

// Keys to the focus window (else the active window): WM_KEYDOWN, its WM_CHAR, WM_KEYUP.
bool PressKey(UINT virtualKey);
bool TypeText(std::u16string_view text);
// Posts WM_COMMAND with the identifier and pumps.
bool SendCommand(HWND hwnd, WORD id);

// Composes what is pending and writes the screen as a PNG.
bool Screenshot(const std::filesystem::path& path, std::string* error = nullptr);

// A question the system asked: a message box or another prompt.
struct Prompt {
  std::u16string kind;  // "MessageBox", ...
  HWND owner = nullptr;
  std::u16string caption;
  std::u16string text;
  UINT style = 0;
};

// Queues the answer to the next prompt. With `expectedText`, the prompt's text must contain it,
// or the prompt counts as unexpected and the answer stays queued.
void QueueAnswer(int answer, std::u16string expectedText = {});
std::size_t PendingAnswers();
// The answer for a prompt: the queued one, or `fallback` after reporting the prompt as unexpected.
int Answer(const Prompt& prompt, int fallback);
// The answer to a message box of this style that a careful person gives when unsure: the one that
// changes nothing (OK, No, Abort or Cancel).
int CautiousAnswer(UINT style);
// Told about every prompt that had no matching answer (tests fail there); by default the prompt
// is written to the standard error stream.
void SetUnexpectedPromptHandler(std::function<void(const Prompt&)> handler);
// Every prompt asked since the last Reset, answered or not.
const std::vector<Prompt>& PromptLog();

// Queues the file a person picks in the next file chooser; an empty path cancels it. With `expectedTitle`, the chooser's
// title must contain it, or the choice stays queued.
void QueueFileChoice(std::u16string path, std::u16string expectedTitle = {});
std::size_t PendingFileChoices();
// The queued file for a file chooser (logged as a prompt of kind "FileChooser"); nothing, after
// reporting the prompt as unexpected, when no matching choice is queued.
std::optional<std::u16string> ChooseFile(const Prompt& prompt);

// Runs `action` once the queue is idle after a window of the class (without regard to case; empty
// for any) and title (empty for any) was created. A once-only hook is removed when it fires.
using HookId = int;
HookId OnWindowAppears(std::u16string className, std::u16string title, std::function<void(HWND)> action,
                       bool once = true);
void RemoveHook(HookId id);

// Forgets hooks, answers and the prompt log.
void Reset();

}  // namespace platform::automation
