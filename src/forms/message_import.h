// Putting a received MMS file into the message store: a new store message of the kind its PDU type
// says (retrieved message, notification, delivery report or read report) with the file as its data
// file. Used by the host program and by tests.
#pragma once

#include <string>
#include <string_view>

#include "forms/store_message.h"

struct ImportResult {
  bool ok = false;
  EntryId entryId;
  std::string error;
};

// Stores the MMS file `bytes` in the folder whose entry identifier the store keeps under folderTag.
// On failure nothing is left behind: no store message and no data file.
ImportResult ImportMessageFile(std::string_view bytes, ULONG folderTag);
