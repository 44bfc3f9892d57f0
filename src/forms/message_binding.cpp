#include "forms/message_binding.h"

#include <array>

#include "config/message_time.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/media_lengths.h"
#include "forms/store_properties.h"
#include "mm1/mm1_library.h"
#include "model/drm_handling.h"
#include "model/message_saving.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/temporary_files.h"
#include "platform/text/text_conversion.h"
#include "presentation/message_loading.h"
#include "transport/mms_global.h"

namespace {

using namespace store_property;

constexpr std::array<ULONG, 30> kCopyTable = {
    kMessageSize,  kState,        kFlags,         kSenderAddress, kSenderEmailAddress, kToList,
    kCcList,       kBccList,      kToAddresses,   kCcAddresses,   kBccAddresses,       kSubject,
    kMessageClass, kHeaderText7,  kHeaderText5,   kDeliveryReport, kReadReport,        kAbsoluteExpiry,
    kOptionFlag1A, kOptionFlag1B, kMessageStatus, kOptionMessageClass, kOptionPriority, kOptionSenderVisibility,
    kHeaderText12, kOptionSentDate, kOptionExpiry, kOption23,     kOption24,           kOption25,
};

constexpr ULONG kFolderTags[] = {0x35E00102, 0x83EA0102, 0x81060102, 0x35E20102,
                                 0x83EB0102, 0x81040102, 0x35E40102, 0x35E30102};

constexpr DWORD kComposeVerbMask = 0xFFFF;
constexpr DWORD kReadVerb = 5;

void EnsureFolder(const CString& folder) {
  if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(folder, nullptr);
}

// Deletes the folder's files and subfolders, then the folder.
void RemoveTree(const CString& folder) {
  WIN32_FIND_DATAW found{};
  CString pattern = folder + u"*";
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::u16string_view name(found.cFileName);
      if (name == u"." || name == u"..") continue;
      CString path = folder + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + u"\\");
      } else {
        DeleteFileW(path);
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  CString withoutSlash = folder.Left(folder.GetLength() - 1);
  RemoveDirectoryW(withoutSlash);
}

LONG Now() { return static_cast<LONG>(config::MessageTimeNow()); }

}  // namespace

WORD MessageNumber(std::string_view entryId) {
  WORD crc = 0;
  for (std::size_t i = 0; i < entryId.size(); ++i) {
    BYTE byte = i + 4 >= entryId.size() ? 0 : static_cast<BYTE>(entryId[i]);
    crc ^= static_cast<WORD>(byte << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<WORD>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
  }
  return crc;
}

std::optional<ULONG> CopyTableTag(int key) {
  if (key < 0 || key >= static_cast<int>(kCopyTable.size())) return std::nullopt;
  return kCopyTable[static_cast<std::size_t>(key)];
}

MessageModel* MessageBinding::Model() {
  constexpr LONG kNotDownloaded = 3;
  if (Message().State() == kNotDownloaded) return nullptr;
  if (!m_model) {
    auto model = std::make_unique<MessageModel>();
    if (LoadMessage(*model, DataFile().View(), PartFolder().View(), true, EngineMediaLengths()) < 0) return nullptr;
    m_model = std::move(model);
  }
  return m_model.get();
}

MessageModel* MessageBinding::ModelForComposing() {
  constexpr LONG kNotDownloaded = 3;
  if (!m_model && Message().State() != kNotDownloaded && !DataFileSize()) {
    auto model = std::make_unique<MessageModel>();
    model->partFolder = PartFolder();
    m_model = std::move(model);
  }
  return Model();
}

// The data file is written under a temporary name and then renamed over the old one, so that it
// only ever holds a whole message. The recorded size is kept from exceeding the file's at every
// moment, since a size larger than the file marks a damaged data file: a smaller message is recorded
// before its file takes the old one's place, a larger one after.
bool MessageBinding::SaveModel() {
  if (!m_model) return false;
  CString dataFile = DataFile();
  CString temporary = dataFile + platform::Utf8ToUtf16(platform::TemporarySuffix());
  WIN32_FIND_DATAW found{};
  HANDLE search = SaveMessage(*m_model, PartFolder().View(), temporary.View()) ? FindFirstFileW(temporary, &found)
                                                                                 : INVALID_HANDLE_VALUE;
  if (search == INVALID_HANDLE_VALUE) {
    DeleteFileW(temporary);
    return false;
  }
  FindClose(search);
  LONG recorded = Message().Size();
  auto size = static_cast<LONG>(found.nFileSizeLow);
  bool shrinks = size < recorded;
  if ((shrinks && !Message().SetSize(size)) || !MoveFileExW(temporary, dataFile, MOVEFILE_REPLACE_EXISTING)) {
    if (shrinks) Message().SetSize(recorded);
    DeleteFileW(temporary);
    return false;
  }
  SetSizeFromFile(0);
  return true;
}

void MessageBinding::DropModel() { m_model.reset(); }

CString MessageBinding::FileName(LPCWSTR format) const {
  CString name;
  name.Format(format, m_contentFolder.GetString(), static_cast<int>(MessageNumber(*m_entryId)));
  return name;
}

CString MessageBinding::DataFile() const { return FileName(u"%s%d.dat"); }

CString MessageBinding::TempDataFile() const {
  EnsureFolder(m_contentFolder + u"Temp");
  return FileName(u"%sTemp\\%d.dat");
}

CString MessageBinding::PartFolder() const {
  CString folder = FileName(u"%s%d");
  EnsureFolder(folder);
  return folder + u"\\";
}

std::optional<DWORD> MessageBinding::DataFileSize() const {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(DataFile(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  return found.nFileSizeLow;
}

bool MessageBinding::HasLockedObjects() const {
  auto file = platform::HostPath(DataFile().View());
  if (GetConfigValue(numeric_setting::kIsSupportDrm) != 0) {
    CString folder = GetFolderSetting(folder_setting::kDRMTempFolder);
    EnsureFolder(folder.Left(folder.GetLength() - 1));
    auto hostFolder = platform::HostPath(folder.View());
    auto reader = file && hostFolder ? mm1::OpenMessage(*file) : mm1::Result<mm1::ReadHandle>(mm1::Error{"no file"});
    bool locked = false;
    for (std::size_t i = 0; reader && !locked && i < reader.Value()->PartCount(); ++i) {
      auto part = reader.Value()->Part(i, *hostFolder);
      if (!part) continue;
      CString path = folder + CString::FromUtf8(part.Value().fileName).View();
      int status = DrmStatus(path, 1, nullptr);
      // A DRM message not yet unwrapped (a body never opened) is no protected file to the DRM service,
      // yet neither forward-lock nor combined delivery may travel.
      locked = part.Value().forwardLocked || status == kDrmForwardRefused || status == kDrmLocked;
    }
    if (hostFolder) {
      RemoveTree(folder);
      EnsureFolder(folder.Left(folder.GetLength() - 1));
    }
    return locked;
  }
  if (GetConfigValue(numeric_setting::kEnabledrmfl) != 0) {
    auto reader = file ? mm1::OpenMessage(*file) : mm1::Result<mm1::ReadHandle>(mm1::Error{"no file"});
    return reader && reader.Value()->IsForwardLocked();
  }
  return false;
}

StoreMessage& MessageBinding::Message() {
  if (!m_message) m_message = std::make_unique<StoreMessage>(m_entryId);
  return *m_message;
}

std::optional<ULONG> MessageBinding::FolderKind() {
  EntryId parent = Message().ParentEntryId();
  IMsgStore* store = ULC_Global::GetGlobal()->messageStore;
  if (parent.empty() || store == nullptr) return std::nullopt;
  SizedSPropTagArray<std::size(kFolderTags)> tags{};
  std::copy(std::begin(kFolderTags), std::end(kFolderTags), tags.aulPropTag);
  ULONG count = 0;
  LPSPropValue values = nullptr;
  std::optional<ULONG> kind;
  if (SUCCEEDED(store->GetProps(tags.get(), MAPI_UNICODE, &count, &values))) {
    for (ULONG i = 0; i < count && !kind; ++i) {
      const SPropValue& value = values[i];
      if (value.ulPropTag != kFolderTags[i] || value.Value.bin.cb != parent.size()) continue;
      if (std::string_view(reinterpret_cast<const char*>(value.Value.bin.lpb), value.Value.bin.cb) == parent) {
        kind = kFolderTags[i];
      }
    }
  }
  MAPIFreeBuffer(values);
  return kind;
}

bool MessageBinding::ExceedsSendSize() {
  return mm1_config_get_default()->maxMessageSize < static_cast<DWORD>(Message().Size());
}

bool MessageBinding::ExceedsReceiveSize() {
  const mm1::Mm1Config* config = mm1_config_get_default();
  if (config->receiveLimitType == 1 && GetConfigValue(numeric_setting::kRecvSizeLimitType) != 0) return false;
  return static_cast<DWORD>(Message().Size()) > config->maxReceiveSize;
}

bool MessageBinding::IsExpired() {
  StoreMessage& message = Message();
  LONG expiry = message.Long(kOptionExpiry);
  // An expiry of 0 stands for the longest the relay allows, not for "already expired".
  if (expiry == 0) return false;
  LONGLONG limit = message.Bool(kAbsoluteExpiry) ? expiry : static_cast<LONGLONG>(message.Long(kOptionSentDate)) + expiry;
  return config::MessageTimeNow() > limit;
}

LONG MessageBinding::SetSizeFromFile(LONG size) {
  if (size == 0) size = static_cast<LONG>(DataFileSize().value_or(1000));
  Message().SetSize(size);
  return size;
}

bool MessageBinding::CopySendOptions(MessageBinding& source) {
  constexpr int kKeys[] = {15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
  return CopyProperties(source, kKeys, static_cast<int>(std::size(kKeys)));
}

bool MessageBinding::CopyProperties(MessageBinding& source, const int* keys, int count) {
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    if (auto tag = CopyTableTag(keys[i])) ok = Message().CopyFrom(source.Message(), *tag) && ok;
  }
  return ok;
}

void MessageBinding::ReadOptions(config::SendOptions& options) { options = Message().ReadSendOptions(); }

bool MessageBinding::WriteOptions(const config::SendOptions& options) { return Message().WriteSendOptions(options); }

bool MessageBinding::SetDatesNow() {
  LONG now = Now();
  return Message().SetDate(now) && Message().SetDeliveryTime(now);
}

ComPtr<IMessage> MessageBinding::ReopenMessage() const {
  StoreMessage reopened(m_entryId);
  if (!reopened.IsOpen()) return ComPtr<IMessage>();
  reopened.Get()->AddRef();
  return ComPtr<IMessage>(reopened.Get());
}

void MessageBinding::RemovePartFolder() {
  if (m_contentFolder.IsEmpty() || m_entryId->empty()) return;
  CString folder = FileName(u"%s%d");
  if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) return;
  RemoveTree(folder + u"\\");
}

bool LoadBinding(MessageBinding& binding, IMessage* message, LPCWSTR folder, DWORD verb) {
  if (message == nullptr) return false;
  SizedSPropTagArray<1> tags{1, {kEntryId}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  HRESULT hr = message->GetProps(tags.get(), MAPI_UNICODE, &count, &values);
  bool found = SUCCEEDED(hr) && count == 1 && values[0].ulPropTag == kEntryId && values[0].Value.bin.cb > 0;
  EntryId id = found ? EntryId(reinterpret_cast<const char*>(values[0].Value.bin.lpb), values[0].Value.bin.cb) : EntryId();
  MAPIFreeBuffer(values);

  binding.m_model.reset();
  binding.m_message.reset();
  binding.m_entryId = std::make_shared<const EntryId>();
  binding.m_contentFolder.Empty();
  if (!found) return false;
  binding.m_entryId = std::make_shared<const EntryId>(std::move(id));
  binding.m_contentFolder = folder ? CString(folder) : GetFolderSetting(folder_setting::kUAContentsPath);
  if ((verb & kComposeVerbMask) == kReadVerb) return true;

  StoreMessage& store = binding.Message();
  bool prepared = store.SetMessageStatus(0) && store.SetState(message_state::kRetrieved) &&
                  store.SetBool(kHeaderFlag4, FALSE) && store.SetLong(kHeaderValue9, 0) &&
                  store.SetLong(kHeaderValueA, 0) &&
                  store.SetMessageClassText(GetConfigString(string_setting::kMMSClassName).View());
  if (!prepared) {
    binding.m_message.reset();
    binding.m_entryId = std::make_shared<const EntryId>();
    binding.m_contentFolder.Empty();
  }
  return prepared;
}
