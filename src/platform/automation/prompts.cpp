// Questions asked by the system (message boxes) answered from a queue: headless runs say in
// advance what a person would have answered, and a question nobody expected is reported.
#include <cstdio>
#include <deque>

#include "platform/automation/automation.h"
#include "platform/automation/automation_reset.h"
#include "platform/text/text_conversion.h"

namespace platform::automation {
namespace {

struct QueuedAnswer {
  int answer;
  std::u16string expectedText;
};

struct QueuedFile {
  std::u16string path;
  std::u16string expectedTitle;
};

struct PromptState {
  std::deque<QueuedAnswer> answers;
  std::deque<QueuedFile> files;
  std::vector<Prompt> log;
  std::function<void(const Prompt&)> unexpected;
};

PromptState& Prompts() {
  static PromptState state;
  return state;
}

void ReportToStandardError(const Prompt& prompt) {
  std::fprintf(stderr, "unexpected %s: [%s] %s\n", platform::Utf16ToUtf8(prompt.kind).c_str(),
               platform::Utf16ToUtf8(prompt.caption).c_str(), platform::Utf16ToUtf8(prompt.text).c_str());
}

}  // namespace

int CautiousAnswer(UINT style) {
  switch (style & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDCANCEL;
  }
}

void QueueAnswer(int answer, std::u16string expectedText) {
  Prompts().answers.push_back({answer, std::move(expectedText)});
}

std::size_t PendingAnswers() { return Prompts().answers.size(); }

namespace {

void ReportUnexpected(const PromptState& state, const Prompt& prompt) {
  if (state.unexpected) {
    state.unexpected(prompt);
  } else {
    ReportToStandardError(prompt);
  }
}

}  // namespace

int Answer(const Prompt& prompt, int fallback) {
  PromptState& state = Prompts();
  state.log.push_back(prompt);
  if (!state.answers.empty()) {
    const QueuedAnswer& next = state.answers.front();
    if (next.expectedText.empty() || prompt.text.find(next.expectedText) != std::u16string::npos) {
      int answer = next.answer;
      state.answers.pop_front();
      return answer;
    }
  }
  ReportUnexpected(state, prompt);
  return fallback;
}

void QueueFileChoice(std::u16string path, std::u16string expectedTitle) {
  Prompts().files.push_back({std::move(path), std::move(expectedTitle)});
}

std::size_t PendingFileChoices() { return Prompts().files.size(); }

std::optional<std::u16string> ChooseFile(const Prompt& prompt) {
  PromptState& state = Prompts();
  state.log.push_back(prompt);
  if (!state.files.empty()) {
    const QueuedFile& next = state.files.front();
    if (next.expectedTitle.empty() || prompt.caption.find(next.expectedTitle) != std::u16string::npos) {
      std::u16string path = next.path;
      state.files.pop_front();
      return path;
    }
  }
  ReportUnexpected(state, prompt);
  return std::nullopt;
}

void SetUnexpectedPromptHandler(std::function<void(const Prompt&)> handler) {
  Prompts().unexpected = std::move(handler);
}

const std::vector<Prompt>& PromptLog() { return Prompts().log; }

void ResetPrompts() {
  PromptState& state = Prompts();
  state.answers.clear();
  state.files.clear();
  state.log.clear();
}

}  // namespace platform::automation
