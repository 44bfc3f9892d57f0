#include "ui/grid_keys.h"

#include "platform/window/messages.h"

std::optional<int> GridKeyTarget(UINT key, int selection, int columns) {
  switch (key) {
    case VK_LEFT: return selection - 1;
    case VK_RIGHT: return selection + 1;
    case VK_UP: return selection - columns;
    case VK_DOWN: return selection + columns;
    default: return std::nullopt;
  }
}
