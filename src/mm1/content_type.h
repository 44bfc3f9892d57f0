// Content types with their parameters, in the WSP binary forms (WAP-230-WSP section 8.4.2.24) and
// as text ("text/plain;charset=utf_8;name=a.txt").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mm1/result.h"
#include "mm1/wsp_cursor.h"
#include "mm1/wsp_writer.h"

namespace mm1 {

struct WspParameter {
  std::string name;                   // lower case for well-known tokens, as sent otherwise
  std::string value;                  // the value as text (a charset by its IANA name)
  std::optional<std::uint64_t> number;  // the value as sent when it is numeric (a charset's MIBenum)
  std::optional<std::uint8_t> token;  // the well-known token it came with; nothing for a textual name
  bool operator==(const WspParameter&) const = default;
};

struct ContentType {
  std::string mediaType;                            // "image/jpeg"; empty when not given
  std::optional<std::uint32_t> unassignedCode;      // a well-known code we cannot name, kept for re-encoding
  std::vector<WspParameter> parameters;

  const WspParameter* Find(std::string_view name) const;
  // The charset parameter's MIBenum, when there is one we can tell.
  std::optional<std::uint32_t> Charset() const;
  bool IsMultipart() const;
  bool operator==(const ContentType&) const = default;
};

// Content-type-value = Constrained-media | Content-general-form
Result<ContentType> ReadContentType(WspCursor& cursor);
Status WriteContentType(WspWriter& writer, const ContentType& type);

// Parameter = Typed-parameter | Untyped-parameter; shared with Content-Disposition.
Result<WspParameter> ReadParameter(WspCursor& cursor);
Status WriteParameter(WspWriter& writer, const WspParameter& parameter);

// The text form a part record carries: "type;name=value;..." with the charset named as the module's
// content-type table spells it.
std::string ContentTypeText(const ContentType& type);
// Reads the text form (any charset name CharsetFromName knows; blanks around items are ignored).
ContentType ParseContentTypeText(std::string_view text);

}  // namespace mm1
