// A stream over one property's value: read from a copy taken when it was opened, written to the
// store on Commit.
#pragma once

#include <memory>
#include <string>

#include "platform/message_store/mapi_interfaces.h"
#include "platform/message_store/store_database.h"

namespace platform::message_store {

// A new stream with one reference for the caller.
IStream* NewPropertyStream(std::shared_ptr<StoreDatabase> db, std::int64_t object, ULONG tag, std::string data,
                           bool writable);

}  // namespace platform::message_store
