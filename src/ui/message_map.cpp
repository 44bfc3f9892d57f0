#include "ui/message_map.h"

namespace {

// Maps chain to their bases; a chain deeper than this is a broken map, not a class tree.
constexpr int kMaxMapDepth = 64;

template <typename Matches>
MessageHandler Find(const MessageMap* map, Matches matches) {
  for (int depth = 0; map && depth < kMaxMapDepth; ++depth, map = map->base) {
    if (!map->entries) continue;
    for (const MessageMapEntry* entry = map->entries + 1; entry->kind != MapEntryKind::kEnd; ++entry) {
      if (entry->handler && matches(*entry)) return entry->handler;
    }
  }
  return nullptr;
}

}  // namespace

MessageHandler FindMessageHandler(const MessageMap* map, UINT message) {
  return Find(map, [message](const MessageMapEntry& e) { return e.kind != MapEntryKind::kCommand && e.code == message; });
}

MessageHandler FindCommandHandler(const MessageMap* map, UINT id) {
  return Find(map, [id](const MessageMapEntry& e) { return e.kind == MapEntryKind::kCommand && e.code == id; });
}
