// Reads arbitrary bytes as a DRM message. What it accepts has one content part of a plain media
// type, no larger than the message, and a rights part only when it says so; the rights text it
// carries goes through the rights object reader the way an install does.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/drm/drm_message.h"
#include "platform/drm/rights_object.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto message = platform::drm::ParseDrmMessage(body, &error);
  if (!message) {
    Check(!error.empty());
    return 0;
  }
  Check(!message->contentType.empty() && !message->contentType.starts_with("application/vnd.oma.drm"));
  Check(message->contentType.find(';') == std::string::npos);
  Check(message->content.size() <= size && message->contentId.size() <= size);
  if (message->rightsXml) {
    Check(message->rightsXml->size() + message->content.size() <= size);
    std::string rightsError;
    auto rights = platform::drm::ParseRightsObject(*message->rightsXml, &rightsError);
    Check(rights ? !rights->uid.empty() : !rightsError.empty());
  }
  return 0;
}
