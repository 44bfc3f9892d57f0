// The DRM message ("application/vnd.oma.drm.message") of OMA DRM 1.0: a MIME multipart whose first
// line is the boundary delimiter. Forward-lock carries one part, the content; combined delivery
// carries the rights object ("application/vnd.oma.drm.rights+xml") first and then the content.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::drm {

struct DrmMessage {
  std::optional<std::string> rightsXml;
  std::string contentType;  // without parameters
  std::string contentId;    // without angle brackets, may be empty
  std::string content;      // decoded (binary or base64 transfer encoding)
};

// Nothing, with *error, for anything but one content part with at most one rights part before it.
std::optional<DrmMessage> ParseDrmMessage(std::string_view body, std::string* error);

// Base64 as MIME writes it: line breaks and blanks between groups are allowed.
std::optional<std::string> DecodeBase64(std::string_view text);

}  // namespace platform::drm
