#include "object_source.h"

#include <cstdio>

#include "config/settings.h"
#include "device_writing.h"
#include "engines/media_lengths.h"
#include "forms/form_interface.h"
#include "platform/kernel/device.h"
#include "platform/kernel/temporary_files.h"
#include "platform/message_store/message_store.h"
#include "platform/text/text_conversion.h"
#include "presentation/message_loading.h"
#include "transport/mms_global.h"

namespace mmsform_tool {
namespace {

namespace fs = std::filesystem;

std::optional<EntryId> FromHex(std::string_view hex) {
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
  EntryId bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    if (std::sscanf(std::string(hex.substr(i, 2)).c_str(), "%2x", &value) != 1) return std::nullopt;
    bytes.push_back(static_cast<char>(value));
  }
  return bytes;
}

}  // namespace

std::unique_ptr<ObjectSource> ObjectSource::Open(const std::string& target, std::string* error) {
  std::unique_ptr<ObjectSource> source(new ObjectSource());
  std::error_code fsError;
  const bool loaded =
      fs::is_regular_file(target, fsError) ? source->LoadFile(target, error) : source->LoadStored(target, error);
  return loaded ? std::move(source) : nullptr;
}

ObjectSource::~ObjectSource() {
  m_model = nullptr;
  m_binding.reset();
  m_message.Reset();
  ULC_Global::GetGlobal()->messageStore = nullptr;
  m_store.Reset();
  std::error_code ignored;
  if (!m_workFolder.empty()) fs::remove_all(m_workFolder, ignored);
}

bool ObjectSource::LoadFile(const fs::path& file, std::string* error) {
  // A work folder of this process and call: a later command removes it once this process is gone.
  const std::u16string work = u"\\Temp\\objects" + platform::Utf8ToUtf16(platform::TemporarySuffix());
  const auto hostWork = platform::HostPath(work);
  std::error_code fsError;
  if (!hostWork || !fs::create_directories(*hostWork / "parts", fsError)) {
    *error = "cannot make a temporary folder on the device" + StorageCause();
    return false;
  }
  m_workFolder = *hostWork;
  fs::copy_file(file, *hostWork / "message.mms", fsError);
  if (fsError) {
    const std::string cause = StorageCause();
    *error = file.string() + ": " + (cause.empty() ? fsError.message() : cause.substr(2));
    return false;
  }
  if (LoadMessage(m_fileModel, work + u"\\message.mms", work + u"\\parts\\", false, EngineMediaLengths()) < 0) {
    *error = file.string() + ": the message does not load" + StorageCause();
    return false;
  }
  m_model = &m_fileModel;
  return true;
}

bool ObjectSource::LoadStored(const std::string& hex, std::string* error) {
  const std::optional<EntryId> entryId = FromHex(hex);
  if (!entryId) {
    *error = "no such file, and '" + hex + "' is no entry identifier";
    return false;
  }
  if (platform::OpenMessageStore(m_store.Receive(), error) != S_OK) return false;
  ULC_Global::GetGlobal()->messageStore = m_store.Get();
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  EntryId id = *entryId;
  if (FAILED(m_store->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(id.data()), nullptr,
                                MAPI_MODIFY, &kind, object.Receive())) ||
      kind != MAPI_MESSAGE) {
    *error = "no stored message '" + hex + "'";
    return false;
  }
  m_message = ComPtr<IMessage>(static_cast<IMessage*>(object.Detach()));
  m_binding = std::make_unique<MessageBinding>();
  if (!LoadBinding(*m_binding, m_message.Get(), GetFolderSetting(6).GetString(), kHostVerbRead) ||
      (m_model = m_binding->Model()) == nullptr) {
    *error = "the stored message '" + hex + "' has no body to load" + StorageCause();
    return false;
  }
  return true;
}

}  // namespace mmsform_tool
