// A composer that saves one stored message again and again: `save_loop_child ENTRY_ID VERSIONS
// SAVES` (MMSFORM_DEVICE names the device). Save number i writes version v = i % VERSIONS: every
// text part of the model says "Version v" followed by v × 12 000 letters, so that the data file
// grows and shrinks between saves, then the subject becomes "Version v". The kill tests stop it at
// random moments and look at what it left.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "forms/message_binding.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/temporary_files.h"
#include "platform/message_store/message_store.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace {

std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    if (std::sscanf(std::string(hex.substr(i, 2)).c_str(), "%2x", &value) != 1) return std::nullopt;
    bytes += static_cast<char>(value);
  }
  return bytes;
}

std::u16string VersionText(int version) {
  return u"Version " + platform::Utf8ToUtf16(std::to_string(version)) + u" " +
         std::u16string(static_cast<std::size_t>(version) * 12000, u'Ж');
}

// Rewrites every text part of the model as the version's text, UTF-16 with its mark as the model
// keeps texts.
bool WriteVersion(MessageModel& model, const CString& partFolder, int version) {
  std::u16string text = VersionText(version);
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  for (const MediaPart& part : model.parts) {
    if (part.type != media_type::kPlainText) continue;
    CString path = partFolder + part.fileName.View();
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    if (!ok) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const char* root = std::getenv("MMSFORM_DEVICE");
  auto id = argc == 4 ? FromHex(argv[1]) : std::nullopt;
  int versions = argc == 4 ? std::atoi(argv[2]) : 0;
  int saves = argc == 4 ? std::atoi(argv[3]) : 0;
  if (root == nullptr || !id || versions <= 0 || saves <= 0) {
    std::fprintf(stderr, "usage: MMSFORM_DEVICE=DIR save_loop_child ENTRY_ID VERSIONS SAVES\n");
    return 2;
  }
  std::string error;
  if (!platform::OpenDevice(root, platform::RegistrySeed::kFactory, &error)) {
    std::fprintf(stderr, "save_loop_child: %s\n", error.c_str());
    return 1;
  }
  platform::RemoveStaleTemporaryFiles();
  ComPtr<IMsgStore> store;
  if (platform::OpenMessageStore(store.Receive(), &error) != S_OK) {
    std::fprintf(stderr, "save_loop_child: %s\n", error.c_str());
    return 1;
  }
  ULC_Global::GetGlobal()->messageStore = store.Get();
  int status = 0;
  {
    StoreMessage message(std::make_shared<const EntryId>(*id));
    MessageBinding binding;
    MessageModel* model = LoadBinding(binding, message.Get(), nullptr, 5) ? binding.Model() : nullptr;
    if (model == nullptr) {
      std::fprintf(stderr, "save_loop_child: the message does not load\n");
      status = 1;
    }
    for (int i = 0; status == 0 && i < saves; ++i) {
      int version = i % versions;
      std::u16string subject = u"Version " + platform::Utf8ToUtf16(std::to_string(version));
      if (!WriteVersion(*model, binding.PartFolder(), version) || !binding.SaveModel() ||
          !binding.Message().SetSubject(subject)) {
        std::fprintf(stderr, "save_loop_child: save %d failed\n", i);
        status = 1;
      }
    }
  }
  ULC_Global::GetGlobal()->messageStore = nullptr;
  store = ComPtr<IMsgStore>();
  platform::CloseDevice();
  return status;
}
