// The options of `mmsform compose`, read in the order given: what opens the form, the steps a
// person takes in it (in order), the answers to its questions, and how it ends.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mmsform_tool {

struct ComposeStep {
  enum class Kind { kTo, kCc, kBcc, kSubject, kSlide, kText, kPicture, kAudio, kVideo, kAttach, kDuration };
  Kind kind;
  std::string value;
};

enum class ComposeEnd { kLeave, kSave, kSend };

struct ComposeOptions {
  std::vector<ComposeStep> steps;
  // The opening: none for a new message, else the mode and the stored message or file it names.
  std::optional<unsigned> mode;
  std::string source;
  std::string create;  // "PV", "AU", "VC", "VR" or "AT"
  std::string import;  // a file the host's message carries as an attachment
  std::vector<int> answers;
  // The template the chooser of a new message takes; without one it takes the custom entry.
  std::optional<std::string> templateName;
  ComposeEnd end = ComposeEnd::kLeave;
  // Instead of ending: the checks the send flow makes are run and printed, and nothing is kept.
  bool check = false;
  std::string out;
  std::string pngDir;
  std::string screen;
};

// False with a reason for an unknown option, a missing value or options that exclude each other.
bool ParseComposeOptions(std::span<char* const> args, ComposeOptions* options, std::string* error);

}  // namespace mmsform_tool
