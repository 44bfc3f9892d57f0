// mmsform: the host program. Opens the device ($MMSFORM_DEVICE, else the default device folder) and
// runs one subcommand.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command.h"
#include "composer_program.h"
#include "platform/kernel/device.h"

namespace mmsform_tool {
namespace {

std::vector<const Command*>& Commands() {
  static std::vector<const Command*> commands;
  return commands;
}

void PrintUsage() {
  std::fprintf(stderr, "usage: mmsform COMMAND [ARGS]\n\ncommands:\n");
  for (const Command* command : Commands()) {
    std::fprintf(stderr, "  %.*s\n", static_cast<int>(command->usage.size()), command->usage.data());
  }
}

}  // namespace

Command::Command(std::string_view name, std::string_view usage, CommandFunction run)
    : name(name), usage(usage), run(run) {
  Commands().push_back(this);
}

}  // namespace mmsform_tool

int main(int argc, char** argv) {
  using namespace mmsform_tool;
  // Started as the device's composer program, by the read form's reply or forward.
  const bool asComposerProgram = argc > 0 && std::string_view(argv[0]).ends_with(kComposerProgramName);
  if (asComposerProgram) {
    std::string error;
    if (!platform::OpenDevice(platform::DefaultDeviceRoot(), platform::RegistrySeed::kFactory, &error)) {
      std::fprintf(stderr, "TyrMC.exe: cannot open the device: %s\n", error.c_str());
      return 1;
    }
    const int status = RunComposerProgram(std::span<char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
    platform::CloseDevice();
    return status;
  }
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
    PrintUsage();
    return argc < 2 ? 2 : 0;
  }
  std::string error;
  if (!platform::OpenDevice(platform::DefaultDeviceRoot(), platform::RegistrySeed::kFactory, &error)) {
    std::fprintf(stderr, "mmsform: cannot open the device: %s\n", error.c_str());
    return 1;
  }
  InstallComposerProgram();
  for (const Command* command : Commands()) {
    if (command->name == argv[1]) {
      int status = command->run(std::span<char* const>(argv + 2, static_cast<std::size_t>(argc - 2)));
      platform::CloseDevice();
      return status;
    }
  }
  std::fprintf(stderr, "mmsform: unknown command '%s'\n\n", argv[1]);
  PrintUsage();
  return 2;
}
