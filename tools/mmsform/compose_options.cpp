#include "compose_options.h"

#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "platform/window/window_styles.h"

namespace mmsform_tool {
namespace {

using Kind = ComposeStep::Kind;

const std::map<std::string_view, Kind>& StepOptions() {
  static const std::map<std::string_view, Kind> kOptions{
      {"--to", Kind::kTo},           {"--cc", Kind::kCc},         {"--bcc", Kind::kBcc},
      {"--subject", Kind::kSubject}, {"--text", Kind::kText},     {"--picture", Kind::kPicture},
      {"--audio", Kind::kAudio},     {"--video", Kind::kVideo},   {"--attach", Kind::kAttach},
      {"--duration", Kind::kDuration}};
  return kOptions;
}

const std::map<std::string_view, unsigned>& ModeOptions() {
  static const std::map<std::string_view, unsigned> kModes{
      {"--reply", 1}, {"--reply-all", 2}, {"--forward", 4}, {"--reopen", 5}};
  return kModes;
}

std::optional<int> AnswerNamed(std::string_view name) {
  if (name == "yes") return IDYES;
  if (name == "no") return IDNO;
  if (name == "cancel") return IDCANCEL;
  if (name == "ok") return IDOK;
  // A chooser (contacts, appointments and tasks) takes the number of the row it lists.
  if (name.empty() || name.size() > 3 || name.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  return std::stoi(std::string(name));
}

bool IsCreationSwitch(std::string_view name) {
  return name == "PV" || name == "AU" || name == "VC" || name == "VR" || name == "AT";
}

bool IsWholeSeconds(std::string_view text) {
  if (text.empty() || text.size() > 6) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool ParseComposeOptions(std::span<char* const> args, ComposeOptions* options, std::string* error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool hasValue = i + 1 < args.size();
    auto fail = [&](std::string why) {
      *error = std::move(why);
      return false;
    };
    if (auto step = StepOptions().find(arg); step != StepOptions().end()) {
      if (!hasValue) return fail(std::string(arg) + " needs a value");
      const std::string value = args[++i];
      if (step->second == Kind::kDuration && !IsWholeSeconds(value)) {
        return fail("--duration takes whole seconds, not '" + value + "'");
      }
      options->steps.push_back({step->second, value});
    } else if (arg == "--slide") {
      options->steps.push_back({Kind::kSlide, {}});
    } else if (auto mode = ModeOptions().find(arg); mode != ModeOptions().end()) {
      if (!hasValue) return fail(std::string(arg) + " needs an entry identifier or a message file");
      if (options->mode) return fail("only one of --reply, --reply-all, --forward and --reopen");
      options->mode = mode->second;
      options->source = args[++i];
    } else if (arg == "--create" && hasValue) {
      options->create = args[++i];
      if (!IsCreationSwitch(options->create)) return fail("--create takes PV, AU, VC, VR or AT");
    } else if (arg == "--import" && hasValue) {
      options->import = args[++i];
    } else if (arg == "--template") {
      if (!hasValue) return fail("--template needs a template's name");
      if (options->templateName) return fail("only one --template");
      options->templateName = args[++i];
    } else if (arg == "--answer" && hasValue) {
      const std::optional<int> answer = AnswerNamed(args[++i]);
      if (!answer) return fail("--answer takes yes, no, cancel, ok or a chooser's row number");
      options->answers.push_back(*answer);
    } else if (arg == "--save" || arg == "--send") {
      if (options->end != ComposeEnd::kLeave) return fail("only one of --save and --send");
      options->end = arg == "--save" ? ComposeEnd::kSave : ComposeEnd::kSend;
    } else if (arg == "--check") {
      options->check = true;
    } else if (arg == "--out" && hasValue) {
      options->out = args[++i];
    } else if (arg == "--png" && hasValue) {
      options->pngDir = args[++i];
    } else if (arg == "--screen" && hasValue) {
      options->screen = args[++i];
    } else {
      return fail("unknown option '" + std::string(arg) + "'");
    }
  }
  if (options->check && options->end != ComposeEnd::kLeave) {
    *error = "--check saves and sends nothing: leave out --save and --send";
    return false;
  }
  if (!options->out.empty() && options->end == ComposeEnd::kLeave) {
    *error = "--out needs --save or --send";
    return false;
  }
  return true;
}

}  // namespace mmsform_tool
