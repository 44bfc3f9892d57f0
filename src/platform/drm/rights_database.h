// The device's rights database: for each protected content URI its key, how it was delivered and the
// permissions left. Kept in SQLite in the device root.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/drm/rights_object.h"

namespace platform::drm {

enum class Delivery { kForwardLock = 1, kCombined = 2, kSeparate = 3 };

struct ContentRights {
  std::string uri;
  std::string key;  // empty while a separately delivered content waits for its rights
  Delivery delivery = Delivery::kForwardLock;
  bool rightsKnown = false;
  Permission display;
  Permission play;
};

// The database of the current device, opened on first use; null when it cannot be opened.
class RightsDatabase {
 public:
  static RightsDatabase* ForCurrentDevice();
  virtual ~RightsDatabase() = default;
  virtual std::optional<ContentRights> Find(const std::string& uri) = 0;
  virtual bool Store(const ContentRights& rights) = 0;
  // Counts one use of a counted permission; false when none is left.
  virtual bool ConsumeUse(const std::string& uri, bool play) = 0;
};

}  // namespace platform::drm
