// The message whose objects `mmsform objects` lists or saves: an MMS file loaded into a work folder
// of the device (the message store is left alone), or a stored message by its entry identifier,
// loaded as the read form loads it.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "forms/message_binding.h"
#include "model/message_model.h"
#include "platform/message_store/mapi_interfaces.h"

namespace mmsform_tool {

class ObjectSource {
 public:
  // A host file that exists is read as an MMS file; anything else is taken as a hexadecimal
  // entry identifier. *error says why nothing loaded.
  static std::unique_ptr<ObjectSource> Open(const std::string& target, std::string* error);
  ~ObjectSource();
  ObjectSource(const ObjectSource&) = delete;
  ObjectSource& operator=(const ObjectSource&) = delete;

  MessageModel* Model() { return m_model; }

 private:
  ObjectSource() = default;
  bool LoadFile(const std::filesystem::path& file, std::string* error);
  bool LoadStored(const std::string& hex, std::string* error);

  std::filesystem::path m_workFolder;  // host folder of a loaded file; removed at the end
  MessageModel m_fileModel;
  ComPtr<IMsgStore> m_store;
  std::unique_ptr<MessageBinding> m_binding;
  ComPtr<IMessage> m_message;
  MessageModel* m_model = nullptr;
};

}  // namespace mmsform_tool
