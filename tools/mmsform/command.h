// The host program's subcommands. Each cmd_*.cpp registers its own with a static Command object, so
// that adding a subcommand touches no other file.
#pragma once

#include <span>
#include <string_view>

namespace mmsform_tool {

// Arguments after the subcommand's name. Returns the process exit status.
using CommandFunction = int (*)(std::span<char* const> args);

struct Command {
  Command(std::string_view name, std::string_view usage, CommandFunction run);
  std::string_view name;
  std::string_view usage;
  CommandFunction run;
};

}  // namespace mmsform_tool
