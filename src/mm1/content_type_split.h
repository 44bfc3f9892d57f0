// Splitting a textual content type such as "text/plain; charset=utf-8; name=\"a.txt\"" into its
// media type and its parameters.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mm1 {

// The media type without parameters, with surrounding blanks removed.
std::string ContentTypeWithoutParameters(std::string_view contentType);

// The value of the parameter `name` (compared without regard to case), unquoted; nothing when the
// content type does not carry it.
std::optional<std::string> ContentTypeParameter(std::string_view contentType, std::string_view name);

// Every "name=value" parameter in order, names and values without surrounding blanks, values
// unquoted. Items without "=" are left out.
std::vector<std::pair<std::string, std::string>> ContentTypeParameters(std::string_view contentType);

// The split the module asks the library for: the media type without parameters, and the value of
// the parameter `parameterName` when one is named and present.
struct SplitContentType {
  std::string mediaType;
  std::optional<std::string> parameterValue;
};
SplitContentType SplitContentTypeText(std::string_view contentType, std::string_view parameterName);

}  // namespace mm1
