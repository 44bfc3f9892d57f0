// mmsform templates list | add NAME FROM.mms [--preview PICTURE] [--replace] | remove NAME
// The compose form's templates in the device's template folder: listed as JSON lines (the custom
// entry, which starts an empty message, included), stored from a message file with a preview
// made from a picture, and deleted with their files.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "command.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device_file.h"
#include "device_writing.h"
#include "forms/template_store.h"
#include "json_writer.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"
#include "transport/resource_module.h"

namespace mmsform_tool {
namespace {

constexpr int kUsage = 2;
constexpr UINT kCustomName = 40359;

int Usage() {
  std::fprintf(stderr,
               "usage: mmsform templates list\n"
               "       mmsform templates add NAME FROM.mms [--preview PICTURE] [--replace]\n"
               "       mmsform templates remove NAME\n");
  return kUsage;
}

std::string Utf8(const CString& text) { return platform::Utf16ToUtf8(text.View()); }

bool Exists(const CString& path) { return !path.IsEmpty() && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// The store as the compose form opens it: the template folder, its index for the language.
bool OpenStore(TemplateStore& store) {
  const CString folder = GetFolderSetting(folder_setting::kTemplatePath);
  CString withSlash = folder;
  if (withSlash.IsEmpty() || withSlash[withSlash.GetLength() - 1] != u'\\') withSlash += u'\\';
  if (!store.Open(folder, transport::LoadResourceString(kCustomName), TemplateIndexName(withSlash.View()))) {
    std::fprintf(stderr, "mmsform templates: the index in %s cannot be written%s\n", Utf8(withSlash).c_str(),
                 StorageCause().c_str());
    return false;
  }
  return true;
}

int List() {
  TemplateStore store;
  if (!OpenStore(store)) return 1;
  for (const TemplateEntry& entry : store.Entries()) {
    JsonWriter json;
    json.BeginObject().Key("name").String(Utf8(entry.name)).Key("custom").Bool(entry.flag == 1);
    json.Key("message").String(Utf8(entry.messageFile)).Key("message_exists").Bool(Exists(entry.messageFile));
    json.Key("preview").String(Utf8(entry.previewFile)).Key("preview_exists").Bool(Exists(entry.previewFile));
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
  }
  return 0;
}

int Add(std::span<char* const> args) {
  if (args.size() < 2) return Usage();
  std::optional<std::filesystem::path> preview;
  bool replace = false;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string option = args[i];
    if (option == "--preview" && i + 1 < args.size()) {
      preview = args[++i];
    } else if (option == "--replace") {
      replace = true;
    } else {
      return Usage();
    }
  }
  const std::u16string name = platform::Utf8ToUtf16(args[0]);
  if (name.empty()) return Usage();
  std::error_code error;
  if (!std::filesystem::is_regular_file(args[1], error)) {
    std::fprintf(stderr, "mmsform templates: %s: no such file\n", args[1]);
    return 1;
  }
  CleanUpBeforeWriting();
  TemplateStore store;
  if (!OpenStore(store)) return 1;
  if (store.Find(name) != nullptr && !replace) {
    std::fprintf(stderr, "mmsform templates: a template named '%s' exists (--replace replaces it)\n", args[0]);
    return 1;
  }
  const DeviceInput message(args[1]);
  std::optional<DeviceInput> picture;
  if (preview) picture.emplace(*preview);
  if (!store.Add(name, message.path(), picture ? picture->path() : nullptr, 0)) {
    std::fprintf(stderr, "mmsform templates: the template cannot be stored%s\n", StorageCause().c_str());
    return 1;
  }
  const TemplateEntry* added = store.Find(name);
  JsonWriter json;
  json.BeginObject().Key("name").String(args[0]).Key("message").String(Utf8(added->messageFile));
  json.Key("preview").String(Utf8(added->previewFile)).EndObject();
  std::printf("%s\n", json.Text().c_str());
  return 0;
}

int Remove(const char* nameText) {
  const std::u16string name = platform::Utf8ToUtf16(nameText);
  CleanUpBeforeWriting();
  TemplateStore store;
  if (!OpenStore(store)) return 1;
  const TemplateEntry* entry = store.Find(name);
  if (entry == nullptr || entry->flag == 1) {
    std::fprintf(stderr, "mmsform templates: no template named '%s'\n", nameText);
    return 1;
  }
  if (!store.Remove(name)) {
    std::fprintf(stderr, "mmsform templates: the index cannot be written%s\n", StorageCause().c_str());
    return 1;
  }
  return 0;
}

int RunTemplates(std::span<char* const> args) {
  const std::string verb = args.empty() ? "" : args[0];
  if (verb == "list" && args.size() == 1) return List();
  if (verb == "add") return Add(args.subspan(1));
  if (verb == "remove" && args.size() == 2) return Remove(args[1]);
  return Usage();
}

const Command kTemplates("templates",
                         "templates list | add NAME FROM.mms [--preview PICTURE] [--replace] | remove NAME   the compose form's templates",
                         RunTemplates);

}  // namespace
}  // namespace mmsform_tool
