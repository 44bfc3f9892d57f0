// Message maps: per class, a static array of entries tried in order (the first matching entry with
// a handler wins; entries without one are passed over), then the base class's map.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

class CWndBase;

using MessageHandler = LRESULT (CWndBase::*)(WPARAM, LPARAM);

enum class MapEntryKind : std::int32_t {
  kMessage = 0,
  kFirst = 1,  // the array's first element, never examined
  kEnd = 2,
  kCommand = 3,  // code is a command identifier (low word of WM_COMMAND's wParam)
};

struct MessageMapEntry {
  MapEntryKind kind;
  UINT code;
  MessageHandler handler;
};

struct MessageMap {
  const MessageMap* base;
  const MessageMapEntry* entries;
};

// A derived class's handler as a map entry's handler; it runs on objects of that class only.
template <typename Window>
MessageHandler MapHandler(LRESULT (Window::*handler)(WPARAM, LPARAM)) {
  return static_cast<MessageHandler>(handler);
}

inline MessageMapEntry MapFirst() { return {MapEntryKind::kFirst, 0, nullptr}; }
inline MessageMapEntry MapEnd() { return {MapEntryKind::kEnd, 0, nullptr}; }
template <typename Window>
MessageMapEntry OnMessage(UINT message, LRESULT (Window::*handler)(WPARAM, LPARAM)) {
  return {MapEntryKind::kMessage, message, handler ? MapHandler(handler) : nullptr};
}
template <typename Window>
MessageMapEntry OnCommandId(UINT id, LRESULT (Window::*handler)(WPARAM, LPARAM)) {
  return {MapEntryKind::kCommand, id, handler ? MapHandler(handler) : nullptr};
}

// The handler for a window message, from the most derived map to the root; null when none.
MessageHandler FindMessageHandler(const MessageMap* map, UINT message);
// The handler for a command identifier (command entries with a handler only); null when none.
MessageHandler FindCommandHandler(const MessageMap* map, UINT id);
