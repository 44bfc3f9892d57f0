// Splitting a textual content type such as "text/plain; charset=utf-8; name=\"a.txt\"" into its
// media type and one parameter's value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mm1 {

// The media type without parameters, with surrounding blanks removed.
std::string ContentTypeWithoutParameters(std::string_view contentType);

// The value of the parameter `name` (compared without regard to case), unquoted; nothing when the
// content type does not carry it.
std::optional<std::string> ContentTypeParameter(std::string_view contentType, std::string_view name);

}  // namespace mm1
