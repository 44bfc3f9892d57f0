// Decoding a 600 KB message of 20 parts and writing its part files, side by side with writing the
// same bytes into 20 files with plain open/write/close calls. The ratio of the two is what the
// library costs over the file system's floor.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/pdu_encoder.h"

namespace {

constexpr std::size_t kPartCount = 20;
constexpr std::size_t kMessageBytes = 600 * 1024;

struct Fixture {
  std::filesystem::path root;
  std::filesystem::path message;
  std::vector<std::vector<std::uint8_t>> partData;
  std::vector<std::string> partNames;

  Fixture() {
    root = std::filesystem::temp_directory_path() / ("mmsform-bench-mm1-" + std::to_string(getpid()));
    std::filesystem::create_directories(root / "library");
    std::filesystem::create_directories(root / "plain");
    message = root / "message.mms";
    std::mt19937 random(42);
    mm1::Pdu pdu;
    pdu.messageType = static_cast<std::uint8_t>(mm1::MessageType::kRetrieveConf);
    pdu.transactionId = "bench";
    pdu.mmsVersion = "1.2";
    pdu.contentType = mm1::ContentType{"application/vnd.wap.multipart.mixed", std::nullopt, {}};
    pdu.multipart = true;
    for (std::size_t i = 0; i < kPartCount; ++i) {
      std::vector<std::uint8_t> data(kMessageBytes / kPartCount);
      for (auto& byte : data) byte = static_cast<std::uint8_t>(random());
      partData.push_back(std::move(data));
      partNames.push_back("picture" + std::to_string(i) + ".jpg");
    }
    for (std::size_t i = 0; i < kPartCount; ++i) {
      mm1::Part part;
      part.contentType.mediaType = "image/jpeg";
      part.contentLocation = partNames[i];
      part.contentId = "<" + partNames[i] + ">";
      part.data = partData[i];
      pdu.parts.push_back(std::move(part));
    }
    auto bytes = mm1::EncodePdu(pdu);
    if (!bytes || !mm1::WriteFileAtomically(message, bytes.Value())) std::abort();
  }
  ~Fixture() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
};

// Each round starts from an empty folder, so that both sides create their files afresh rather than
// truncating the last round's (which makes ext4 flush them and the timing follow the disk).
void EmptyFolder(benchmark::State& state, const std::filesystem::path& folder) {
  state.PauseTiming();
  for (const auto& entry : std::filesystem::directory_iterator(folder)) std::filesystem::remove(entry.path());
  state.ResumeTiming();
}

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

void DecodeAndWriteParts(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  auto folder = fixture.root / "library";
  for (auto _ : state) {
    auto reader = mm1::MessageReader::Open(fixture.message);
    if (!reader) state.SkipWithError("cannot open the message");
    for (std::size_t i = 0; reader && i < reader.Value().PartCount(); ++i) {
      if (!reader.Value().Part(i, folder)) state.SkipWithError("cannot write a part");
    }
    EmptyFolder(state, folder);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMessageBytes));
}

void PlainWrites(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  auto folder = fixture.root / "plain";
  for (auto _ : state) {
    for (std::size_t i = 0; i < kPartCount; ++i) {
      auto path = folder / fixture.partNames[i];
      int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (fd < 0 || !mm1::WriteAll(fd, fixture.partData[i])) state.SkipWithError("cannot write");
      ::close(fd);
    }
    EmptyFolder(state, folder);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMessageBytes));
}

BENCHMARK(PlainWrites)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(DecodeAndWriteParts)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
