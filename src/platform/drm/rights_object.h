// The rights object of OMA DRM 1.0 (ODRL in XML): the content it applies to, the key (separate
// delivery only) and the display and play permissions with their use counts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::drm {

struct Permission {
  bool granted = false;
  int count = -1;  // uses left; -1 without a count constraint
};

struct RightsObject {
  std::string uid;                // the content URI, "cid:..."
  std::optional<std::string> key;  // the content key, when the rights carry one
  Permission display;
  Permission play;
};

std::optional<RightsObject> ParseRightsObject(std::string_view xml, std::string* error);

}  // namespace platform::drm
