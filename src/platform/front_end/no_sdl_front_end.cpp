// The front-end of a build without SDL2: there is no live window to show.
#include "platform/front_end/front_end.h"

namespace platform::front_end {

bool IsAvailable() { return false; }

void SetKeyFilter(KeyFilter) {}

int RunLiveWindow(const std::string&, std::string* error) {
  if (error) {
    *error = "this build has no live window (SDL2 was not found)";
  }
  return -1;
}

}  // namespace platform::front_end
