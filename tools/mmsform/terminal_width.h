// How many terminal columns a UTF-8 text takes, for tables that line up: East Asian wide
// characters and emoji take two, combining marks none, other characters one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mmsform_tool {

std::size_t TerminalWidth(std::string_view utf8);

// The text followed by spaces up to `columns`; a wider text is returned as it is.
std::string PaddedToColumns(const std::string& utf8, std::size_t columns);

}  // namespace mmsform_tool
