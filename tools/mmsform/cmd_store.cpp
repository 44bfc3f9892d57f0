// mmsform store: the device's message store from the command line. import puts an MMS file into a
// folder as the kind of message its PDU type says; list shows the stored messages; show prints every
// property of one; export writes its MMS file back out.
#include <cstdio>
#include <string>

#include "command.h"
#include "device_writing.h"
#include "forms/message_binding.h"
#include "forms/message_import.h"
#include "forms/store_properties.h"
#include "json_writer.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/pdu_decoder.h"
#include "model/device_file.h"
#include "platform/kernel/file_api.h"
#include "platform/message_store/message_store.h"
#include "platform/text/text_conversion.h"
#include "store_listing.h"
#include "transport/mms_global.h"

namespace mmsform_tool {
namespace {

constexpr int kFailure = 1;
constexpr int kUsageError = 2;

int RunImport(std::span<char* const> args) {
  std::string folderName = "Inbox";
  if (args.size() == 3 && std::string_view(args[1]) == "--folder") folderName = args[2];
  const platform::StandardFolder* folder = FolderNamed(folderName);
  if ((args.size() != 1 && args.size() != 3) || folder == nullptr) {
    std::fprintf(stderr, "usage: mmsform store import FILE.mms [--folder Inbox|Outbox|Drafts|\"Sent Items\"|\"Deleted Items\"]\n");
    return kUsageError;
  }
  auto bytes = mm1::ReadWholeFile(args[0], mm1::kMaxMessageFileBytes);
  if (!bytes) {
    std::fprintf(stderr, "mmsform store: %s\n", bytes.Failure().message.c_str());
    return kFailure;
  }
  OpenStore store;
  if (!store.Get()) {
    std::fprintf(stderr, "mmsform store: %s\n", store.Error().c_str());
    return kFailure;
  }
  CleanUpBeforeWriting(store.Get());
  std::string_view data(reinterpret_cast<const char*>(bytes.Value().data()), bytes.Value().size());
  ImportResult result = ImportMessageFile(data, folder->storeTag);
  if (!result.ok) {
    std::fprintf(stderr, "mmsform store: %s: %s\n", args[0], result.error.c_str());
    return kFailure;
  }
  std::printf("%s\n", HexOf(result.entryId).c_str());
  return 0;
}

// What is wrong with a message's data file, or nothing: a message whose body is there (not a
// notification) has a data file of at least the size recorded for it; a notification keeps its own.
std::optional<std::string> DataFileProblem(StoreMessage& message, const CString& dataFile) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(dataFile, &found);
  if (search == INVALID_HANDLE_VALUE) return "its data file is missing";
  FindClose(search);
  constexpr LONG kNotification = 3;
  if (message.State() != kNotification && found.nFileSizeHigh == 0 &&
      static_cast<std::int64_t>(found.nFileSizeLow) < message.Size()) {
    return "its data file is shorter than recorded (" + std::to_string(found.nFileSizeLow) + " of " +
           std::to_string(message.Size()) + " bytes)";
  }
  return std::nullopt;
}

int RunList(std::span<char* const> args) {
  bool asJson = args.size() == 1 && std::string_view(args[0]) == "--json";
  if (!args.empty() && !asJson) {
    std::fprintf(stderr, "usage: mmsform store list [--json]\n");
    return kUsageError;
  }
  OpenStore store;
  if (!store.Get()) {
    std::fprintf(stderr, "mmsform store: %s\n", store.Error().c_str());
    return kFailure;
  }
  JsonWriter json;
  json.BeginArray();
  for (const platform::StandardFolder& folder : platform::StandardFolders()) {
    std::string folderName = platform::Utf16ToUtf8(folder.name);
    ForEachMessage(store.Get(), folder, [&](const EntryId& id) {
      StoreMessage message(std::make_shared<const EntryId>(id));
      std::string from = message.SenderAddress().ToUtf8();
      std::string subject = message.Subject().ToUtf8();
      std::string messageClass = message.MessageClassText().ToUtf8();
      MessageBinding binding;
      std::optional<std::string> problem =
          LoadBinding(binding, message.Get(), nullptr, 5) ? DataFileProblem(message, binding.DataFile()) : std::optional<std::string>("it cannot be opened");
      if (problem) std::fprintf(stderr, "mmsform store: message %s: %s\n", HexOf(id).c_str(), problem->c_str());
      if (asJson) {
        json.BeginObject().Key("entry_id").String(HexOf(id)).Key("number").Int(MessageNumber(id));
        json.Key("folder").String(folderName).Key("state").Int(message.State()).Key("class").String(messageClass);
        json.Key("from").String(from).Key("subject").String(subject).Key("size").Int(message.Size());
        json.Key("date").Int(message.Date());
        if (problem) json.Key("problem").String(*problem);
        json.EndObject();
      } else {
        std::printf("%s\t%u\t%s\t%d\t%s\t%s\t%s\t%d\t%d\n", HexOf(id).c_str(), MessageNumber(id), folderName.c_str(),
                    message.State(), messageClass.c_str(), from.c_str(), subject.c_str(), message.Size(),
                    message.Date());
      }
    });
  }
  json.EndArray();
  if (asJson) std::printf("%s\n", json.Text().c_str());
  return 0;
}

void PrintValue(const SPropValue& value) {
  std::printf("0x%08X\t", value.ulPropTag);
  switch (PROP_TYPE(value.ulPropTag)) {
    case PT_LONG:
      std::printf("%d\n", value.Value.l);
      break;
    case PT_BOOLEAN:
      std::printf("%s\n", value.Value.b ? "true" : "false");
      break;
    case PT_SYSTIME:
      std::printf("filetime %llu\n", static_cast<unsigned long long>(value.Value.ft.dwHighDateTime) << 32 |
                                         value.Value.ft.dwLowDateTime);
      break;
    case PT_UNICODE:
      std::printf("\"%s\"\n", platform::Utf16ToUtf8(value.Value.lpszW ? value.Value.lpszW : u"").c_str());
      break;
    case PT_BINARY:
      std::printf("%s\n", HexOf(std::string_view(reinterpret_cast<const char*>(value.Value.bin.lpb), value.Value.bin.cb)).c_str());
      break;
    default:
      std::printf("(type 0x%04X)\n", PROP_TYPE(value.ulPropTag));
  }
}

// The slides the message plays, as its binding loads them from the data file.
void PrintSlides(StoreMessage& message) {
  MessageBinding binding;
  MessageModel* model = LoadBinding(binding, message.Get(), nullptr, 5) ? binding.Model() : nullptr;
  if (model == nullptr) {
    std::printf("slides: none (no message body)\n");
    return;
  }
  std::printf("slides: %zu, attachments: %d\n", model->slides.size(), model->attachmentCount);
  int number = 1;
  for (const Slide& slide : model->slides) {
    std::printf("  slide %d  %u ms", number++, static_cast<unsigned>(slide.duration));
    for (const auto& [kind, ref] : {std::pair{"image", &slide.image}, std::pair{"text", &slide.text},
                                    std::pair{"audio", &slide.audio}, std::pair{"video", &slide.video}}) {
      if (*ref && (*ref)->part != nullptr) std::printf("  %s %s", kind, (*ref)->part->fileName.ToUtf8().c_str());
    }
    std::printf("\n");
  }
}

int RunShow(std::span<char* const> args) {
  auto id = args.size() == 1 ? EntryIdFromHex(args[0]) : std::nullopt;
  if (!id) {
    std::fprintf(stderr, "usage: mmsform store show ENTRY-ID\n");
    return kUsageError;
  }
  OpenStore store;
  StoreMessage message(std::make_shared<const EntryId>(*id));
  if (!message.IsOpen()) {
    std::fprintf(stderr, "mmsform store: no message %s%s\n", args[0], store.Get() ? "" : (": " + store.Error()).c_str());
    return kFailure;
  }
  ULONG count = 0;
  LPSPropValue values = nullptr;
  if (FAILED(message.Get()->GetProps(nullptr, MAPI_UNICODE, &count, &values))) return kFailure;
  for (ULONG i = 0; i < count; ++i) PrintValue(values[i]);
  MAPIFreeBuffer(values);
  PrintSlides(message);
  return 0;
}

int RunExport(std::span<char* const> args) {
  auto id = args.size() == 2 ? EntryIdFromHex(args[0]) : std::nullopt;
  if (!id) {
    std::fprintf(stderr, "usage: mmsform store export ENTRY-ID OUT.mms\n");
    return kUsageError;
  }
  OpenStore store;
  StoreMessage message(std::make_shared<const EntryId>(*id));
  MessageBinding binding;
  if (!message.IsOpen() || !LoadBinding(binding, message.Get(), nullptr, 5)) {
    std::fprintf(stderr, "mmsform store: no message %s\n", args[0]);
    return kFailure;
  }
  if (auto problem = DataFileProblem(message, binding.DataFile())) {
    std::fprintf(stderr, "mmsform store: message %s cannot be exported: %s\n", args[0], problem->c_str());
    return kFailure;
  }
  FileReadResult data = ReadDeviceFile(binding.DataFile().View(), mm1::kMaxMessageFileBytes);
  if (data.status != FileReadStatus::kOk) {
    std::fprintf(stderr, "mmsform store: the message has no readable data file\n");
    return kFailure;
  }
  auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(data.bytes.data()), data.bytes.size());
  if (auto decoded = mm1::DecodePdu(bytes); !decoded) {
    std::fprintf(stderr, "mmsform store: message %s cannot be exported: its data file does not decode (%s at offset %zu)\n",
                 args[0], decoded.Failure().message.c_str(), static_cast<std::size_t>(decoded.Failure().offset));
    return kFailure;
  }
  if (mm1::Status written = mm1::WriteFileAtomically(args[1], bytes); !written) {
    std::fprintf(stderr, "mmsform store: %s\n", written.Failure().message.c_str());
    return kFailure;
  }
  return 0;
}

int RunStore(std::span<char* const> args) {
  std::string_view sub = args.empty() ? "" : args[0];
  auto rest = args.empty() ? args : args.subspan(1);
  if (sub == "import") return RunImport(rest);
  if (sub == "list") return RunList(rest);
  if (sub == "show") return RunShow(rest);
  if (sub == "export") return RunExport(rest);
  std::fprintf(stderr, "usage: mmsform store import|list|show|export ...\n");
  return kUsageError;
}

const Command kStore("store",
                     "store import FILE.mms [--folder NAME] | list [--json] | show ID | export ID OUT.mms   the message store",
                     RunStore);

}  // namespace
}  // namespace mmsform_tool
