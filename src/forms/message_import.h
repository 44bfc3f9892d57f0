// Putting a received MMS file into the message store: a new store message of the kind its PDU type
// says (retrieved message, notification, delivery report or read report) with the file as its data
// file. Used by the host program and by tests.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>
#include <string>
#include <string_view>

#include "forms/store_message.h"

struct ImportResult {
  bool ok = false;
  EntryId entryId;
  std::string error;
};

// Stores the MMS file `bytes` in the folder whose entry identifier the store keeps under folderTag.
// On failure nothing is left behind: no store message and no data file; the error says why (the
// device folder full or read-only, when that is the cause).
ImportResult ImportMessageFile(std::string_view bytes, ULONG folderTag);

// The entry identifiers of every message in the store's standard folders; nothing when the store
// cannot be read.
std::optional<std::vector<EntryId>> StoredMessages(IMsgStore* store);

// Removes the data files of the content folder that no message of the store claims: what an import
// killed half way left. Runs under the store's write lock, so that no import is half way meanwhile.
// Returns how many were removed.
std::size_t RemoveUnclaimedDataFiles(IMsgStore* store);
