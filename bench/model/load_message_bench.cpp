// Loading a 600 KB message of 20 parts (a presentation, pictures and UTF-8 text) into the model:
// every part file written, text converted to UTF-16, slides built. Side by side with writing the same
// bytes into as many files with plain open/write/close calls, the floor any loader stands on.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "mm1/file_io.h"
#include "mm1/message_writer.h"
#include "interleaved_run.h"
#include "scratch_device.h"
#include "presentation/message_loading.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSlides = 10;  // a picture and a text on each: 20 parts
constexpr std::size_t kMessageBytes = 600 * 1024;

struct Fixture {
  bench::ScratchDevice device{"model"};
  fs::path root = device.Root();
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;  // name, bytes of each part

  Fixture() {
    fs::create_directories(root / "source");
    fs::create_directories(root / "device" / "parts");
    std::mt19937 random(7);
    std::string smil = "<smil><head><layout><root-layout width=\"176\" height=\"144\"/>"
                       "<region id=\"Image\" left=\"0\" top=\"0\" width=\"176\" height=\"100\"/>"
                       "<region id=\"Text\" left=\"0\" top=\"100\" width=\"176\" height=\"44\"/>"
                       "</layout></head><body>";
    std::size_t textBytes = 2 * 1024;
    std::size_t pictureBytes = (kMessageBytes - kSlides * textBytes) / kSlides;
    mm1::MessageWriter writer;
    for (std::size_t i = 0; i < kSlides; ++i) {
      std::string picture = "picture" + std::to_string(i) + ".jpg";
      std::string text = "text" + std::to_string(i) + ".txt";
      std::vector<std::uint8_t> pictureData(pictureBytes);
      for (auto& byte : pictureData) byte = static_cast<std::uint8_t>(random());
      std::string words;
      while (words.size() < textBytes) words += "Grüße aus Köln, 東京 und Zürich.\n";
      files.push_back({picture, pictureData});
      files.push_back({text, std::vector<std::uint8_t>(words.begin(), words.end())});
      smil += "<par dur=\"3000ms\"><img src=\"" + picture + "\" region=\"Image\"/><text src=\"" + text +
              "\" region=\"Text\"/></par>";
    }
    smil += "</body></smil>";
    for (const auto& [name, data] : files) {
      if (!mm1::WriteFileAtomically(root / "source" / name, data)) std::abort();
      mm1::PartRecord record;
      record.folder = root / "source";
      record.fileName = name;
      record.contentType = name.ends_with(".jpg") ? "image/jpeg" : "text/plain;charset=utf-8";
      if (!writer.AddPart(record)) std::abort();
    }
    files.push_back({"mms.smil", std::vector<std::uint8_t>(smil.begin(), smil.end())});
    if (!mm1::WriteFileAtomically(root / "source" / "mms.smil", files.back().second)) std::abort();
    if (!writer.SetPresentation(root / "source" / "mms.smil", "mms.smil")) std::abort();
    if (!writer.Write(root / "device" / "message.mms")) std::abort();
  }
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

// Each round starts from an empty folder, so that both sides create their files afresh; both use the
// same folder, since the cost of creating files depends on where the file system puts them.
void EmptyFolder(benchmark::State& state, const fs::path& folder) {
  state.PauseTiming();
  fs::remove_all(folder);
  fs::create_directories(folder);
  state.ResumeTiming();
}

void LoadIntoModel(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  fs::path folder = fixture.root / "device" / "parts";
  for (auto _ : state) {
    MessageModel model;
    if (LoadMessage(model, u"\\message.mms", u"\\parts\\", false) != 20 || model.slides.size() != kSlides) {
      state.SkipWithError("the message did not load");
      break;
    }
    EmptyFolder(state, folder);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMessageBytes));
}

void PlainWrites(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  fs::path folder = fixture.root / "device" / "parts";
  for (auto _ : state) {
    for (const auto& [name, data] : fixture.files) {
      fs::path path = folder / name;
      int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      bool written = fd >= 0 && mm1::WriteAll(fd, data);
      if (fd >= 0) ::close(fd);
      if (!written) {
        state.SkipWithError("cannot write");
        return;
      }
    }
    EmptyFolder(state, folder);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMessageBytes));
}

// File creation cost drifts as the file system's free inodes change, so both sides run in several
// rounds in random order and the medians are compared.
BENCHMARK(PlainWrites)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->Repetitions(8)->ReportAggregatesOnly();
BENCHMARK(LoadIntoModel)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->Repetitions(8)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) { return bench::RunInterleaved(argc, argv); }
