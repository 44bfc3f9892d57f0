// The client application's composer program, "\windows\TyrMC.exe": the read form's reply and forward
// commands write the hand-over file and start it with the file's path. It is this host program,
// installed into the device under that name and told apart by the name it was started under.
#pragma once

#include <span>
#include <string_view>

namespace mmsform_tool {

inline constexpr std::string_view kComposerProgramName = "TyrMC.exe";

// Links the running host program into the device's windows folder as the composer program, unless
// the link there already leads to it. Written under a temporary name and renamed.
void InstallComposerProgram();

// Reads the hand-over file that args[0] names (a device path), then either opens the compose form
// with its strings and keeps the new message in Drafts, or, for a text message, records the
// hand-over in the activity log. 0 when the message was kept or the hand-over recorded, 1 otherwise.
int RunComposerProgram(std::span<char* const> args);

}  // namespace mmsform_tool
