#include "forms/message_import.h"

#include <algorithm>
#include <set>
#include <span>
#include <vector>

#include "forms/message_binding.h"
#include "mm1/pdu_decoder.h"
#include "model/device_file.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "config/settings.h"
#include "config/setting_numbers.h"
#include "platform/message_store/mapi_tags.h"
#include "platform/message_store/message_store.h"
#include "platform/kernel/storage_problem.h"
#include "platform/kernel/temporary_files.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace {

enum class StoredKind { kMessage, kNotification, kDeliveryReport, kReadReport, kNone };

StoredKind KindOf(std::uint8_t messageType) {
  switch (static_cast<mm1::MessageType>(messageType)) {
    case mm1::MessageType::kRetrieveConf:
    case mm1::MessageType::kSendReq:
      return StoredKind::kMessage;
    case mm1::MessageType::kNotificationInd:
      return StoredKind::kNotification;
    case mm1::MessageType::kDeliveryInd:
      return StoredKind::kDeliveryReport;
    case mm1::MessageType::kReadOrigInd:
    case mm1::MessageType::kReadRecInd:
      return StoredKind::kReadReport;
    default:
      return StoredKind::kNone;
  }
}

ComPtr<IMAPIFolder> OpenFolder(IMsgStore* store, ULONG folderTag) {
  SizedSPropTagArray<1> tags{1, {folderTag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  ComPtr<IMAPIFolder> folder;
  if (SUCCEEDED(store->GetProps(tags.get(), MAPI_UNICODE, &count, &values)) && values[0].ulPropTag == folderTag) {
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    HRESULT hr = store->OpenEntry(values[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[0].Value.bin.lpb),
                                  &IID_IMAPIFolder, MAPI_MODIFY, &kind, object.Receive());
    if (SUCCEEDED(hr) && kind == MAPI_FOLDER) folder = ComPtr<IMAPIFolder>(static_cast<IMAPIFolder*>(object.Detach()));
  }
  MAPIFreeBuffer(values);
  return folder;
}

bool StoreKind(MessageBinding& binding, StoredKind kind, const mm1::Pdu& pdu) {
  switch (kind) {
    case StoredKind::kMessage:
      return binding.StoreHeader(pdu);
    case StoredKind::kNotification:
      return binding.StoreNotification(pdu);
    case StoredKind::kDeliveryReport:
      return binding.StoreDeliveryReport(pdu) && binding.SetSizeFromFile(0) > 0;
    case StoredKind::kReadReport:
      return binding.StoreReadReport(pdu) && binding.SetSizeFromFile(0) > 0;
    case StoredKind::kNone:
      break;
  }
  return false;
}

ImportResult Failure(std::string error) { return ImportResult{false, {}, std::move(error)}; }

// Why a store or file operation of the import failed, in plain words.
std::string Cause(const platform::StoreTransaction& transaction, DWORD fileError) {
  std::string plain = platform::DeviceStorageProblem(fileError);
  return plain.empty() ? transaction.Problem() : plain;
}

// Writes the data file under a temporary name beside it, flushed, and renames it into place: the
// real name only ever holds a whole file. *error gets the Win32 error of a failure.
bool WriteDataFile(const CString& dataFile, std::string_view bytes, DWORD* error) {
  std::u16string temporary = std::u16string(dataFile.View()) + platform::Utf8ToUtf16(platform::TemporarySuffix());
  bool written = false;
  {
    ScopedFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
      *error = GetLastError();
      return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
      DWORD count = 0;
      auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
      if (!WriteFile(file.Get(), bytes.data() + done, piece, &count, nullptr) || count == 0) break;
      done += count;
    }
    written = done == bytes.size() && FlushFileBuffers(file.Get());
    if (!written) *error = GetLastError();
  }
  if (written && !MoveFileExW(temporary.c_str(), dataFile, MOVEFILE_REPLACE_EXISTING)) {
    *error = GetLastError();
    written = false;
  }
  if (!written) DeleteFileW(temporary.c_str());
  return written;
}

}  // namespace

ImportResult ImportMessageFile(std::string_view bytes, ULONG folderTag) {
  auto data = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  auto pdu = mm1::DecodePdu(data);
  if (!pdu) {
    return Failure("not an MMS message: " + pdu.Failure().message + " at offset " +
                   std::to_string(pdu.Failure().offset));
  }
  StoredKind kind = KindOf(pdu.Value().messageType);
  if (kind == StoredKind::kNone) {
    std::string_view name = mm1::MessageTypeName(pdu.Value().messageType);
    return Failure("a " + std::string(name.empty() ? "PDU of unknown type" : name) +
                   " is not a message the store keeps");
  }
  IMsgStore* store = ULC_Global::GetGlobal()->messageStore;
  if (store == nullptr) return Failure("no message store is open");
  // The store's write lock is held from the new message's row to the commit, the data file's
  // writing included: other processes see the whole message or none of it, and a process killed
  // half way leaves at most a data file that no message claims, which the next writer removes.
  platform::StoreTransaction transaction(store);
  if (!transaction.ok()) return Failure("cannot store the message: " + Cause(transaction, 0));
  ComPtr<IMAPIFolder> folder = OpenFolder(store, folderTag);
  if (!folder) return Failure("the store has no such folder");
  ComPtr<IMessage> message;
  if (FAILED(folder->CreateMessage(&IID_IMessage, 0, message.Receive()))) {
    return Failure("cannot create a message: " + Cause(transaction, 0));
  }
  MessageBinding binding;
  if (!LoadBinding(binding, message.Get(), nullptr, 5)) return Failure("cannot create a message: " + Cause(transaction, 0));
  CString dataFile = binding.DataFile();
  CString folderPath = binding.ContentFolder();
  if (GetFileAttributesW(folderPath) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(folderPath, nullptr);
  DWORD fileError = 0;
  if (!WriteDataFile(dataFile, bytes, &fileError)) {
    return Failure("cannot write the data file: " + Cause(transaction, fileError));
  }
  if (!StoreKind(binding, kind, pdu.Value()) || !transaction.Commit()) {
    std::string cause = Cause(transaction, 0);
    DeleteFileW(dataFile);
    return Failure("cannot store the message: " + cause);
  }
  return ImportResult{true, binding.Identifier(), {}};
}

std::optional<std::vector<EntryId>> StoredMessages(IMsgStore* store) {
  std::vector<EntryId> ids;
  for (const platform::StandardFolder& standard : platform::StandardFolders()) {
    ComPtr<IMAPIFolder> folder = OpenFolder(store, standard.storeTag);
    ComPtr<IMAPITable> table;
    if (!folder || FAILED(folder->GetContentsTable(0, table.Receive()))) return std::nullopt;
    for (;;) {
      LPSRowSet rows = nullptr;
      if (FAILED(table->QueryRows(64, 0, &rows))) {
        FreeProws(rows);
        return std::nullopt;
      }
      bool done = rows->cRows == 0;
      for (ULONG i = 0; i < rows->cRows; ++i) {
        const SPropValue& id = (&rows->aRow[0])[i].lpProps[0];
        if (id.ulPropTag == PR_ENTRYID) ids.emplace_back(reinterpret_cast<const char*>(id.Value.bin.lpb), id.Value.bin.cb);
      }
      FreeProws(rows);
      if (done) break;
    }
  }
  return ids;
}

std::size_t RemoveUnclaimedDataFiles(IMsgStore* store) {
  platform::StoreTransaction transaction(store);
  if (!transaction.ok()) return 0;
  auto messages = StoredMessages(store);
  if (!messages) return 0;
  std::set<WORD> claimed;
  for (const EntryId& id : *messages) claimed.insert(MessageNumber(id));
  CString contentFolder = GetFolderSetting(folder_setting::kUAContentsPath);
  std::u16string pattern = std::u16string(contentFolder.View()) + u"*.dat";
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  std::vector<std::u16string> unclaimed;
  do {
    std::u16string_view name(found.cFileName);
    if (name.size() <= 4 || !platform::EqualsNoCase(name.substr(name.size() - 4), u".dat")) continue;
    std::u16string_view digits = name.substr(0, name.size() - 4);
    bool numbered = !digits.empty() && digits.size() <= 5 &&
                    std::all_of(digits.begin(), digits.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
    if (!numbered || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    unsigned number = 0;
    for (char16_t c : digits) number = number * 10 + static_cast<unsigned>(c - u'0');
    if (number > 0xFFFF || claimed.count(static_cast<WORD>(number)) == 0) unclaimed.emplace_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  for (const std::u16string& name : unclaimed) DeleteFileW((std::u16string(contentFolder.View()) + name).c_str());
  return unclaimed.size();
}
