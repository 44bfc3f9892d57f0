// The message store as the host program's commands see it: the store opened for the command, entry
// identifiers written as hex, the standard folders by name, and the messages of a folder.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "forms/store_message.h"
#include "platform/com/com_ptr.h"
#include "platform/message_store/message_store.h"

namespace mmsform_tool {

// The device's store, made the transport's store while the object lives.
class OpenStore {
 public:
  OpenStore();
  ~OpenStore();
  OpenStore(const OpenStore&) = delete;
  OpenStore& operator=(const OpenStore&) = delete;
  // Null when the store could not be opened; Error() says why.
  IMsgStore* Get() const { return m_store.Get(); }
  const std::string& Error() const { return m_error; }

 private:
  ComPtr<IMsgStore> m_store;
  std::string m_error;
};

std::string HexOf(std::string_view bytes);
// Nothing for an odd length, an empty text or a character that is no hex digit.
std::optional<EntryId> EntryIdFromHex(std::string_view hex);

// A standard folder by its name, without regard to case; null for any other name.
const platform::StandardFolder* FolderNamed(std::string_view name);

// The binary property `tag` of a store object (an entry identifier), empty when it has none.
EntryId BinaryPropertyOf(IMAPIProp* object, ULONG tag);

// The standard folder that holds the message now, or null when it is in none or is gone.
const platform::StandardFolder* FolderHolding(IMsgStore* store, const EntryId& message);

// Calls `each` with the entry identifier of every message of the folder, in the folder's order.
void ForEachMessage(IMsgStore* store, const platform::StandardFolder& folder,
                    const std::function<void(const EntryId&)>& each);

}  // namespace mmsform_tool
