#include "platform/resources/resource_string.h"

#include "platform/resources/resource_api.h"
#include "platform/window/window_api.h"

namespace platform::resources {

std::u16string LoadStringResource(UINT id) {
  constexpr int kStep = 256;
  std::u16string buffer(kStep, u'\0');
  for (;;) {
    const int size = static_cast<int>(buffer.size());
    const int length = LoadStringW(nullptr, id, buffer.data(), size);
    if (length <= 0) {
      MessageBoxW(nullptr, u"Error Load string", u"Error", MB_OK);
      return {};
    }
    // A text that fills the buffer to within one character may have been cut: try a larger one.
    if (length < size - 1) {
      buffer.resize(static_cast<std::size_t>(length));
      return buffer;
    }
    buffer.assign(buffer.size() + kStep, u'\0');
  }
}

}  // namespace platform::resources
