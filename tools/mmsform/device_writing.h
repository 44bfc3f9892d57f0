// What a command does before it first writes to the device, and how it says why a write failed.
#pragma once

#include <string>

#include "platform/message_store/mapi_interfaces.h"

namespace mmsform_tool {

// Removes what commands killed half way left on the device: temporary files and work folders of
// processes that no longer run, and data files of imports that never committed. `store` is the
// open store when the command has one, else the store is opened for the clean-up. Reading commands
// never call this, so that they work on a read-only or full device.
void CleanUpBeforeWriting(IMsgStore* store = nullptr);

// The part of that clean-up a command needs when all it writes is its own temporary file, renamed
// into place at the end (a picture written out): the temporary files of processes that no longer
// run. The store's data files are left to the commands that write the store.
void CleanUpTemporaryFiles();

// ": the device folder ... is full" (or "... is read-only") when that is why a device write failed
// with the Win32 error `error`; empty otherwise.
std::string StorageCause(unsigned long error = 0);

}  // namespace mmsform_tool
