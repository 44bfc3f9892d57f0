#include "device_writing.h"

#include "forms/message_import.h"
#include "platform/com_ptr.h"
#include "platform/device.h"
#include "platform/message_store/message_store.h"
#include "platform/storage_problem.h"
#include "platform/temporary_files.h"

namespace mmsform_tool {

void CleanUpBeforeWriting(IMsgStore* store) {
  if (platform::IsReadOnlyFolder(platform::DeviceRoot())) return;
  platform::RemoveStaleTemporaryFiles();
  ComPtr<IMsgStore> opened;
  if (store == nullptr && platform::OpenMessageStore(opened.Receive()) == S_OK) store = opened.Get();
  if (store != nullptr) RemoveUnclaimedDataFiles(store);
}

std::string StorageCause(unsigned long error) {
  std::string plain = platform::DeviceStorageProblem(error);
  return plain.empty() ? plain : ": " + plain;
}

}  // namespace mmsform_tool
