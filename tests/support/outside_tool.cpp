#include "support/outside_tool.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace test_support {

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::optional<std::string> ToolOutput(const std::string& tool, const std::string& package, const std::string& arguments) {
  if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) != 0) {
    ADD_FAILURE() << tool << " is not installed (Debian package " << package << ", listed in scripts/packages.txt)";
    return std::nullopt;
  }
  FILE* pipe = popen((tool + " " + arguments + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot start " << tool;
    return std::nullopt;
  }
  std::string output;
  char chunk[65536];
  for (size_t got; (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, got);
  int status = pclose(pipe);
  if (status != 0) {
    ADD_FAILURE() << tool << " " << arguments << " failed with status " << status;
    return std::nullopt;
  }
  return output;
}

}  // namespace test_support
