// Saving a composed message of 9 slides and 600 KB through its binding, as the composer does when it
// keeps or sends a message: the SMIL presentation, the texts as UTF-8, the MM1 data file written
// under a temporary name and renamed, the recorded size, and the header properties the composer
// writes with it (recipients, subject, send options, dates). Side by side, in the same run, with
// writing the same bytes into as many files the same safe way: a temporary name, a flush to storage,
// a rename. Each side runs in several rounds in random order and the medians are compared.
#include <benchmark/benchmark.h>
#include <fcntl.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "forms/message_binding.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/message_writer.h"
#include "mm1/pdu_decoder.h"
#include "interleaved_run.h"
#include "scratch_device.h"
#include "platform/message_store/message_store.h"
#include "transport/mms_global.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSlides = 9;
constexpr std::size_t kMessageBytes = 600 * 1024;
const char* const kTexts[] = {"Hello from the slide. ", "Привет со слайда. ", "来自幻灯片的问候。",
                              "مرحبا من الشريحة. ", "Emoji 😀🎉👍 ", "Ελληνικά κείμενα. ",
                              "日本語のテキスト。", "עברית על השקופית. ", "¡Adiós y gracias! "};

struct Fixture {
  bench::ScratchDevice device{"compose"};
  ComPtr<IMsgStore> store;
  ComPtr<IMessage> message;
  MessageBinding binding;
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> written;  // what one save writes

  Fixture() {
    if (platform::OpenMessageStore(store.Receive()) != S_OK) std::abort();
    ULC_Global::GetGlobal()->messageStore = store.Get();
    ComposeMessage();
    RecordWhatASaveWrites();
  }
  ~Fixture() {
    message = ComPtr<IMessage>();
    ULC_Global::GetGlobal()->messageStore = nullptr;
    store = ComPtr<IMsgStore>();
  }

  // A data file of 9 slides (a picture and a text each, in several scripts), loaded into the model.
  void ComposeMessage() {
    SizedSPropTagArray<1> tags{1, {PR_DRAFTS_FOLDER_ENTRYID}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    ComPtr<IUnknown> folder;
    ULONG kind = 0;
    if (FAILED(store->GetProps(tags.get(), 0, &count, &values)) ||
        FAILED(store->OpenEntry(values[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[0].Value.bin.lpb), nullptr,
                                MAPI_MODIFY, &kind, folder.Receive()))) {
      std::abort();
    }
    MAPIFreeBuffer(values);
    if (FAILED(static_cast<IMAPIFolder*>(folder.Get())->CreateMessage(nullptr, 0, message.Receive())) ||
        !LoadBinding(binding, message.Get(), nullptr, 0)) {
      std::abort();
    }
    fs::path source = device.Root() / "source";
    fs::create_directories(source);
    std::mt19937 random(9);
    std::string smil = "<smil><head><layout><root-layout width=\"176\" height=\"144\"/>"
                       "<region id=\"Image\" left=\"0\" top=\"0\" width=\"176\" height=\"100\"/>"
                       "<region id=\"Text\" left=\"0\" top=\"100\" width=\"176\" height=\"44\"/>"
                       "</layout></head><body>";
    constexpr std::size_t kTextBytes = 3 * 1024;
    std::size_t pictureBytes = (kMessageBytes - kSlides * kTextBytes) / kSlides;
    mm1::MessageWriter writer;
    for (std::size_t i = 0; i < kSlides; ++i) {
      std::string picture = "picture" + std::to_string(i) + ".jpg";
      std::string text = "text" + std::to_string(i) + ".txt";
      std::vector<std::uint8_t> pictureData(pictureBytes);
      for (auto& byte : pictureData) byte = static_cast<std::uint8_t>(random());
      std::string words;
      while (words.size() < kTextBytes) words += kTexts[i];
      if (!mm1::WriteFileAtomically(source / picture, pictureData) ||
          !mm1::WriteFileAtomically(source / text, std::vector<std::uint8_t>(words.begin(), words.end()))) {
        std::abort();
      }
      for (const auto& [name, type] : {std::pair{picture, "image/jpeg"}, std::pair{text, "text/plain;charset=utf-8"}}) {
        mm1::PartRecord record;
        record.folder = source;
        record.fileName = name;
        record.contentType = type;
        if (!writer.AddPart(record)) std::abort();
      }
      smil += "<par dur=\"3000ms\"><img src=\"" + picture + "\" region=\"Image\"/><text src=\"" + text +
              "\" region=\"Text\"/></par>";
    }
    smil += "</body></smil>";
    if (!mm1::WriteFileAtomically(source / "mms.smil", std::vector<std::uint8_t>(smil.begin(), smil.end())) ||
        !writer.SetPresentation(source / "mms.smil", "mms.smil") ||
        !writer.Write(*platform::HostPath(binding.DataFile().View()))) {
      std::abort();
    }
    MessageModel* model = binding.Model();
    if (model == nullptr || model->slides.size() != kSlides) std::abort();
  }

  // The presentation, the UTF-8 texts and the data file, as one save leaves them.
  void RecordWhatASaveWrites() {
    if (!binding.SaveModel()) std::abort();
    fs::path dataFile = *platform::HostPath(binding.DataFile().View());
    auto smil = mm1::ReadWholeFile(*platform::HostPath(binding.PartFolder().View()) / "mms.smil", kMessageBytes);
    auto data = mm1::ReadWholeFile(dataFile, 2 * kMessageBytes);
    auto pdu = data ? mm1::DecodePdu(data.Value()) : mm1::Result<mm1::Pdu>(mm1::Error{"no data file"});
    if (!smil || !pdu) std::abort();
    written.push_back({"mms.smil", smil.Value()});
    for (const mm1::Part& part : pdu.Value().parts) {
      if (part.contentType.mediaType == "text/plain") {
        std::vector<std::uint8_t> text(part.data.begin(), part.data.end());
        written.push_back({part.contentLocation.value_or("text"), std::move(text)});
      }
    }
    written.push_back({"message.dat", data.Value()});
  }
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

std::int64_t Bytes(const Fixture& fixture) {
  std::size_t total = 0;
  for (const auto& [name, data] : fixture.written) total += data.size();
  return static_cast<std::int64_t>(total);
}

// What the composer writes when it keeps a message: the model, and the header with it.
bool SaveOnce(MessageBinding& binding, int round) {
  config::SendOptions options{128, 130, config::kShowSender, TRUE, round % 2, 0, 86400};
  return binding.SaveModel() &&
         binding.Message().SetRecipients(u"\"Ann\"<+49 171 5550100>;bob@example.org", u"+44 20 7946 0000", u"") &&
         binding.Message().SetSubject(round % 2 ? u"Nine slides" : u"Neun Folien") && binding.WriteOptions(options) &&
         binding.SetDatesNow();
}

void SaveComposedMessage(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  int round = 0;
  for (auto _ : state) {
    if (!SaveOnce(fixture.binding, ++round)) {
      state.SkipWithError("the message was not saved");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * Bytes(fixture));
}

bool WriteSafely(const fs::path& path, const std::vector<std::uint8_t>& data) {
  fs::path temporary = path;
  temporary += ".tmp";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  bool written = fd >= 0 && mm1::WriteAll(fd, data) && ::fsync(fd) == 0;
  if (fd >= 0) written = ::close(fd) == 0 && written;
  return written && ::rename(temporary.c_str(), path.c_str()) == 0;
}

void SafeWrites(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  fs::path folder = *platform::HostPath(fixture.binding.PartFolder().View()) / "plain";
  fs::create_directories(folder);
  for (auto _ : state) {
    for (const auto& [name, data] : fixture.written) {
      if (!WriteSafely(folder / name, data)) {
        state.SkipWithError("cannot write");
        return;
      }
    }
  }
  state.SetBytesProcessed(state.iterations() * Bytes(fixture));
}

BENCHMARK(SafeWrites)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->Repetitions(8)->ReportAggregatesOnly();
BENCHMARK(SaveComposedMessage)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->Repetitions(8)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) { return bench::RunInterleaved(argc, argv); }
