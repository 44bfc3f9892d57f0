// Outside tools the tests compare against (djpeg, exiftool, pamscale). A test that needs one fails,
// naming the package to install, when the tool is missing: a missing oracle is not a pass.
#pragma once

#include <optional>
#include <string>

namespace test_support {

// The standard output of `tool arguments` run by the shell; nothing, with a test failure, when the
// tool is not installed or exits with an error.
std::optional<std::string> ToolOutput(const std::string& tool, const std::string& package, const std::string& arguments);

// A host path quoted for the shell.
std::string ShellQuoted(const std::string& text);

}  // namespace test_support
