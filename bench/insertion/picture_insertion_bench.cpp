// A 4000 x 3000 camera photo put into a message with DefaultResolution 2: the composer's copy into
// the part folder (the protection test, the size read, the decode scaled into 640 x 480, the JPEG
// at quality 90 under a temporary name, the rename) and the room the message has left, side by side
// in the same run with what `mmsform picture resize PHOTO OUT 640 480` does in process (the size
// read and the resize into the same box). The ratio of the two medians is the pipeline's overhead.
//
//   bench_insertion [--benchmark_repetitions=N]   the photo from MMSFORM_BENCH_DIR or ../shared/bench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/image_convert.h"
#include "engines/image_fit.h"
#include "engines/image_info.h"
#include "engines/picture_type.h"
#include "forms/picture_insertion.h"
#include "model/message_model.h"
#include "platform/kernel/device.h"
#include "scratch_device.h"
#include "platform/kernel/file_api.h"
#include "transport/mms_global.h"

namespace {

namespace fs = std::filesystem;

constexpr const char16_t* kPhoto = u"\\My Documents\\My Pictures\\photo_4000x3000.jpg";
constexpr const char16_t* kPartFolder = u"\\Temp\\parts\\";
constexpr const char16_t* kCopy = u"\\Temp\\parts\\photo_4000x3000.jpg";
constexpr const char16_t* kResized = u"\\Temp\\resized.jpg";

fs::path BenchPhoto() {
  const char* folder = std::getenv("MMSFORM_BENCH_DIR");
  return fs::path(folder != nullptr ? folder : "/work/shared/bench") / "photo_4000x3000.jpg";
}

fs::path Host(std::u16string_view devicePath) {
  std::optional<fs::path> host = platform::HostPath(devicePath);
  if (!host) std::abort();
  return *host;
}

struct Fixture {
  bench::ScratchDevice device{"insertion"};
  MessageModel model;

  Fixture() {
    fs::create_directories(Host(u"\\My Documents\\My Pictures"));
    fs::create_directories(Host(kPartFolder));
    if (!fs::exists(BenchPhoto())) std::abort();
    fs::copy_file(BenchPhoto(), Host(kPhoto), fs::copy_options::overwrite_existing);
    SetConfigValue(numeric_setting::kDefaultResolution, 2, FALSE);
    model.partFolder = CString(kPartFolder);
    model.slides.push_back(NewSlide());
  }
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

void BM_InsertPhotoIntoMessage(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  for (auto _ : state) {
    if (!WritePictureCopy(kPhoto, kCopy, GetDefaultResolution())) state.SkipWithError("the copy failed");
    benchmark::DoNotOptimize(PictureBudget(fixture.model, fixture.model.slides.front()));
    state.PauseTiming();
    DeleteFileW(kCopy);
    state.ResumeTiming();
  }
}

void BM_PictureCommandResize(benchmark::State& state) {
  TheFixture();
  for (auto _ : state) {
    SIZE size{};
    const MediaType type = ResolvePictureType(kPhoto, media_type::kNone);
    if (!GetImageInfo(kPhoto, &size, nullptr, type) || !ResizeImageFile(kPhoto, kResized, 640, 480, 90)) {
      state.SkipWithError("the resize failed");
    }
    state.PauseTiming();
    DeleteFileW(kResized);
    state.ResumeTiming();
  }
}

BENCHMARK(BM_InsertPhotoIntoMessage)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PictureCommandResize)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
