// Opening a stored message of 20 parts (ten camera photos, ten UTF-8 texts, a presentation) in the
// compose form, as a host reopens a draft (mode 5): from MMSForm_CreateComposeForm to the first
// paint of the composer with the first slide's photo shown. Beside it, in the same run and
// interleaved at random, the read form's open of the same message to its first slide drawn plus
// one more write of the message's parts into a folder, which is the work a reopen adds (it looks
// for locked objects by writing the parts out). Compare the medians:
//
//   bench_compose_open --benchmark_repetitions=8
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "forms/compose_form.h"
#include "forms/composer_frame.h"
#include "forms/form_provider.h"
#include "forms/message_binding.h"
#include "mm1/message_reader.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/device.h"
#include "platform/window/window_system.h"
#include "interleaved_run.h"
#include "photo_message.h"
#include "scratch_device.h"
#include "transport/mms_global.h"

namespace {

namespace fs = std::filesystem;
using bench::Clock;
using bench::Seconds;

constexpr DWORD kReopen = 5;
constexpr std::size_t kTextBytes = 2 * 1024;

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "bench_compose_open: %s\n", why.c_str());
  std::exit(1);
}

// A device with the message in Drafts, and where its data file lies.
class Device {
 public:
  Device() {
    std::string error;
    if (platform::OpenMessageStore(m_store.Receive(), &error) != S_OK) Fail(error);
    ULC_Global::GetGlobal()->messageStore = m_store.Get();
    m_message = bench::StorePhotoMessage(m_store.Get(), m_device.Root(), 3000, kTextBytes, PR_DRAFTS_FOLDER_ENTRYID);
    MessageBinding binding;
    if (!LoadBinding(binding, m_message.message.Get(), nullptr, kReopen)) Fail("the stored message does not load");
    const auto dataFile = platform::HostPath(binding.DataFile().View());
    if (!dataFile) Fail("no data file");
    m_dataFile = *dataFile;
    m_partCopies = m_device.Root() / "part-copies";
    MMSForm_Init();
  }
  ~Device() {
    MMSForm_Uninit();
    platform::window::ResetWindowSystem();
    m_message.message.Reset();
    ULC_Global::GetGlobal()->messageStore = nullptr;
    m_store.Reset();
  }

  IMessage* Message() { return m_message.message.Get(); }
  std::size_t MessageBytes() const { return m_message.bytes; }
  const fs::path& DataFile() const { return m_dataFile; }
  const fs::path& PartCopies() const { return m_partCopies; }
  void UseScreen(const platform::window::ScreenGeometry& screen) { m_host = bench::UseScreen(screen); }
  HWND Host() const { return m_host; }

 private:
  bench::ScratchDevice m_device{"compose-open"};
  ComPtr<IMsgStore> m_store;
  bench::StoredMessage m_message;
  fs::path m_dataFile;
  fs::path m_partCopies;
  HWND m_host = nullptr;
};

Device* g_device = nullptr;

Device& TheDevice() { return *g_device; }

// True when the composer is on screen with the first slide's photo in its visual item.
bool FirstSlideShown(IMMSForm* form) {
  CComposerFrame* frame = form ? static_cast<CComposeForm*>(form)->Frame() : nullptr;
  return frame && frame->IsWindow() && IsWindowVisible(frame->GetHandle()) && frame->Editor() &&
         frame->Editor()->Current() == 0 && frame->VisualItem() && frame->VisualItem()->HasPicture();
}

void ComposeOpenToFirstPaint(benchmark::State& state, platform::window::ScreenGeometry screen) {
  platform::UseVirtualClock(true);
  TheDevice().UseScreen(screen);
  for (auto _ : state) {
    bench::NullHost host;
    IMMSForm* form = nullptr;
    const Clock::time_point start = Clock::now();
    const HRESULT hr = MMSForm_CreateComposeForm(&host, TheDevice().Message(), kReopen, nullptr, nullptr,
                                                 TheDevice().Host(), 0, &form, u"IPM.MMS");
    platform::automation::PumpUntilIdle();
    platform::window::PaintDirtyAreas();
    const Clock::duration took = Clock::now() - start;
    const bool shown = SUCCEEDED(hr) && FirstSlideShown(form);
    if (form) {
      form->Close();
      form->Release();
    }
    platform::automation::PumpUntilIdle();
    if (!shown) {
      state.SkipWithError("the first slide was not shown");
      return;
    }
    state.SetIterationTime(Seconds(took));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheDevice().MessageBytes()));
}

// Every part of the stored data file written once into a folder of its own.
bool WriteParts(const fs::path& dataFile, const fs::path& folder) {
  auto reader = mm1::MessageReader::Open(dataFile);
  if (!reader) return false;
  for (std::size_t i = 0; i < reader.Value().PartCount(); ++i) {
    if (!reader.Value().Part(i, folder)) return false;
  }
  return true;
}

void ReadOpenPlusPartWrite(benchmark::State& state, platform::window::ScreenGeometry screen) {
  platform::UseVirtualClock(true);
  TheDevice().UseScreen(screen);
  for (auto _ : state) {
    Clock::duration read{};
    if (!bench::ReadMessage(TheDevice().Message(), TheDevice().Host(),
                            [&](CReadView*, Clock::duration took) { read = took; })) {
      state.SkipWithError("the first slide was not shown");
      return;
    }
    std::error_code ignored;
    fs::remove_all(TheDevice().PartCopies(), ignored);
    fs::create_directories(TheDevice().PartCopies());
    const Clock::time_point start = Clock::now();
    const bool written = WriteParts(TheDevice().DataFile(), TheDevice().PartCopies());
    const Clock::duration write = Clock::now() - start;
    if (!written) {
      state.SkipWithError("the parts were not written");
      return;
    }
    state.SetIterationTime(Seconds(read + write));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheDevice().MessageBytes()));
}

BENCHMARK_CAPTURE(ReadOpenPlusPartWrite, screen_240x320, bench::kSmallScreen)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(8)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(ComposeOpenToFirstPaint, screen_240x320, bench::kSmallScreen)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(8)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(ReadOpenPlusPartWrite, screen_480x640, bench::kLargeScreen)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(8)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(ComposeOpenToFirstPaint, screen_480x640, bench::kLargeScreen)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(8)
    ->ReportAggregatesOnly();

}  // namespace

// The device is made and ended around the run, so that the module is let go while the libraries
// it loaded still stand.
int main(int argc, char** argv) {
  return bench::RunInterleaved(argc, argv, [] { g_device = new Device; }, [] { delete g_device; });
}
