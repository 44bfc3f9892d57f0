#include "reliability/device_checks.h"

#include <set>

#include "forms/message_binding.h"
#include "forms/message_import.h"
#include "mm1/pdu_decoder.h"
#include "model/device_file.h"
#include "platform/com/com_ptr.h"
#include "platform/internal/sqlite_database.h"
#include "platform/kernel/device.h"
#include "platform/kernel/temporary_files.h"
#include "platform/message_store/message_store.h"
#include "platform/registry/factory_registry.h"
#include "platform/registry/regedit_file.h"
#include "platform/registry/registry.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

void CheckIntegrity(const fs::path& file, DeviceCheck& check) {
  std::error_code error;
  if (!fs::exists(file, error)) return;
  std::string reason;
  auto db = platform::internal::SqliteDatabase::Open(file, &reason);
  if (!db) {
    check.problems.push_back(file.filename().string() + " does not open: " + reason);
    return;
  }
  auto query = db->Prepare("PRAGMA integrity_check");
  std::string answer = query.Step() ? query.Text(0) : db->LastError();
  if (answer != "ok") check.problems.push_back(file.filename().string() + ": " + answer);
}

void CheckFactoryValues(DeviceCheck& check) {
  auto parsed = platform::ParseRegeditText(platform::FactoryRegistryText());
  std::size_t missing = 0;
  for (const platform::RegeditEntry& entry : parsed.entries) {
    if (!entry.value) continue;
    HKEY root = entry.root == platform::RegeditRoot::kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    HKEY key = nullptr;
    DWORD size = 0;
    bool found = RegOpenKeyExW(root, entry.keyPath.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS &&
                 RegQueryValueExW(key, entry.value->name.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    if (key != nullptr) RegCloseKey(key);
    if (!found) ++missing;
  }
  if (missing > 0) check.problems.push_back(std::to_string(missing) + " factory values are missing");
}

void CheckMessages(const fs::path& root, Leftovers leftovers, DeviceCheck& check) {
  ComPtr<IMsgStore> store;
  std::string error;
  std::error_code fsError;
  if (!fs::exists(root / "message_store.db", fsError)) return;
  if (platform::OpenMessageStore(store.Receive(), &error) != S_OK) {
    check.problems.push_back("the store does not open: " + error);
    return;
  }
  ULC_Global::GetGlobal()->messageStore = store.Get();
  if (leftovers == Leftovers::kAfterCleanUp) RemoveUnclaimedDataFiles(store.Get());
  std::set<std::string> claimed;
  fs::path contentFolder;
  auto messages = StoredMessages(store.Get());
  if (!messages) check.problems.push_back("the store's folders cannot be read");
  for (const EntryId& id : messages.value_or(std::vector<EntryId>{})) {
    ++check.messages;
    check.entryIds.push_back(Hex(id));
    StoreMessage message(std::make_shared<const EntryId>(id));
    MessageBinding binding;
    if (!message.IsOpen() || !LoadBinding(binding, message.Get(), nullptr, 5)) {
      check.problems.push_back("message " + Hex(id) + " does not open");
      continue;
    }
    FileReadResult data = ReadDeviceFile(binding.DataFile().View(), 64u << 20);
    auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(data.bytes.data()), data.bytes.size());
    if (data.status != FileReadStatus::kOk || !mm1::DecodePdu(bytes)) {
      check.problems.push_back("message " + Hex(id) + " has no whole data file");
    }
    if (auto host = platform::HostPath(binding.DataFile().View())) {
      claimed.insert(host->filename().string());
      contentFolder = host->parent_path();
    }
  }
  ULC_Global::GetGlobal()->messageStore = nullptr;
  if (leftovers == Leftovers::kIgnored || contentFolder.empty()) return;
  for (const auto& entry : fs::directory_iterator(contentFolder, fsError)) {
    std::string name = entry.path().filename().string();
    if (name.ends_with(".dat") && claimed.count(name) == 0) check.problems.push_back("unclaimed data file " + name);
  }
}

}  // namespace

std::vector<fs::path> TemporaryLeftovers(const fs::path& root) {
  std::vector<fs::path> found;
  std::error_code error;
  for (auto entry = fs::recursive_directory_iterator(root, error); !error && entry != fs::recursive_directory_iterator();
       entry.increment(error)) {
    std::string name = entry->path().filename().string();
    if (name.find(".tmp-") != std::string::npos || name.starts_with("inspect-")) found.push_back(entry->path());
  }
  return found;
}

DeviceCheck CheckDevice(const fs::path& root, Leftovers leftovers) {
  DeviceCheck check;
  CheckIntegrity(root / "registry.db", check);
  CheckIntegrity(root / "message_store.db", check);
  std::string error;
  check.opened = platform::OpenDevice(root, platform::RegistrySeed::kFactory, &error);
  if (!check.opened) {
    check.problems.push_back("the device does not open: " + error);
    return check;
  }
  CheckFactoryValues(check);
  if (leftovers == Leftovers::kAfterCleanUp) platform::RemoveStaleTemporaryFiles();
  CheckMessages(root, leftovers, check);
  platform::CloseDevice();
  if (leftovers != Leftovers::kIgnored) {
    for (const fs::path& path : TemporaryLeftovers(root)) check.problems.push_back("left behind: " + path.string());
  }
  return check;
}

}  // namespace reliability
