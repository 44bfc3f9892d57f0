#include "device_writing.h"

#include "forms/message_import.h"
#include "platform/com/com_ptr.h"
#include "platform/kernel/device.h"
#include "platform/kernel/storage_problem.h"
#include "platform/kernel/temporary_files.h"
#include "platform/message_store/message_store.h"

namespace mmsform_tool {

void CleanUpBeforeWriting(IMsgStore* store) {
  if (platform::IsReadOnlyFolder(platform::DeviceRoot())) return;
  platform::RemoveStaleTemporaryFiles();
  ComPtr<IMsgStore> opened;
  if (store == nullptr && platform::OpenMessageStore(opened.Receive()) == S_OK) store = opened.Get();
  if (store != nullptr) RemoveUnclaimedDataFiles(store);
}

void CleanUpTemporaryFiles() {
  if (!platform::IsReadOnlyFolder(platform::DeviceRoot())) platform::RemoveStaleTemporaryFiles();
}

std::string StorageCause(unsigned long error) {
  std::string plain = platform::DeviceStorageProblem(error);
  return plain.empty() ? plain : ": " + plain;
}

}  // namespace mmsform_tool
