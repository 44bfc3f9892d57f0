// Opening a received message of 20 parts (ten camera photos, ten UTF-8 texts, a presentation) in the
// read form: from MMSForm_CreateReadForm to the first slide drawn, side by side with each piece of
// work it cannot avoid, timed alone in the same run: loading the message into the model, decoding
// the first photo at its region's size, one full repaint of the screen. Also moving to the next
// slide and drawing it at 480x640, and the time line's drift over a 60 s message on the real clock.
//
//   bench_read --benchmark_filter=-Drift     the open and the slide change
//   bench_read --benchmark_filter=Drift      the 60 s real-clock run alone
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engines/image_decode.h"
#include "forms/form_interface.h"
#include "forms/form_provider.h"
#include "forms/message_binding.h"
#include "forms/message_import.h"
#include "forms/read_view.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/message_writer.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/controls/control_classes.h"
#include "platform/message_store/message_store.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"
#include "photo_message.h"
#include "scratch_device.h"
#include "transport/mms_global.h"

namespace {

using bench::Clock;
using bench::kLargeScreen;
using bench::kSmallScreen;
using bench::Seconds;

constexpr std::size_t kSlides = bench::kPhotoSlides;
constexpr std::size_t kTextBytes = 2 * 1024;

// A device with a message store and two messages in its Inbox: the 20-part message with slides of
// 3 s, and one of the same photos with one-line texts and slides of 6 s (60 s in all) for the
// drift run.
class Device {
 public:
  Device() {
    std::string error;
    if (platform::OpenMessageStore(m_store.Receive(), &error) != S_OK) {
      std::fprintf(stderr, "bench_read: %s\n", error.c_str());
      std::exit(1);
    }
    ULC_Global::GetGlobal()->messageStore = m_store.Get();
    m_message = bench::StorePhotoMessage(m_store.Get(), m_device.Root(), 3000, kTextBytes, PR_INBOX_FOLDER_ENTRYID);
    // One line of text a slide: a text that scrolls holds its slide until it was read, which
    // would measure the scrolling rather than the time line.
    m_sixtySeconds = bench::StorePhotoMessage(m_store.Get(), m_device.Root(), 6000, 1, PR_INBOX_FOLDER_ENTRYID);
    MMSForm_Init();
  }
  ~Device() {
    MMSForm_Uninit();
    platform::window::ResetWindowSystem();
    m_message.message.Reset();
    m_sixtySeconds.message.Reset();
    ULC_Global::GetGlobal()->messageStore = nullptr;
    m_store.Reset();
  }

  IMessage* Message() { return m_message.message.Get(); }
  IMessage* SixtySeconds() { return m_sixtySeconds.message.Get(); }
  std::size_t MessageBytes() const { return m_message.bytes; }

  // A fresh window system on `screen`, with the client application's main window and the host's.
  void UseScreen(const platform::window::ScreenGeometry& screen) { m_host = bench::UseScreen(screen); }
  HWND Host() const { return m_host; }

 private:
  bench::ScratchDevice m_device{"read"};
  ComPtr<IMsgStore> m_store;
  bench::StoredMessage m_message;
  bench::StoredMessage m_sixtySeconds;
  HWND m_host = nullptr;
};

// Made and ended in main, so that the module is let go while the libraries it loaded still stand.
Device* g_device = nullptr;

Device& TheDevice() { return *g_device; }

bool ReadMessage(IMessage* message, const std::function<void(CReadView*, Clock::duration)>& whileOpen) {
  return bench::ReadMessage(message, TheDevice().Host(), whileOpen);
}

void OpenToFirstSlide(benchmark::State& state, platform::window::ScreenGeometry screen) {
  platform::UseVirtualClock(true);
  TheDevice().UseScreen(screen);
  for (auto _ : state) {
    Clock::duration took{};
    if (!ReadMessage(TheDevice().Message(), [&](CReadView*, Clock::duration d) { took = d; })) {
      state.SkipWithError("the first slide was not shown");
      return;
    }
    state.SetIterationTime(Seconds(took));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheDevice().MessageBytes()));
}

// Loading the stored message into the model as the read form does: data file read, part files
// written, texts converted, slides built. The part folder goes again with the binding, untimed.
void LoadIntoModel(benchmark::State& state) {
  for (auto _ : state) {
    auto binding = std::make_unique<MessageBinding>();
    const Clock::time_point start = Clock::now();
    const bool loaded = LoadBinding(*binding, TheDevice().Message(), nullptr, kHostVerbRead) && binding->Model() &&
                        binding->Model()->slides.size() == kSlides;
    state.SetIterationTime(Seconds(Clock::now() - start));
    if (!loaded) {
      state.SkipWithError("the message did not load");
      return;
    }
  }
}

// The first photo decoded at the size of its region on the screen.
void DecodeFirstPhoto(benchmark::State& state, platform::window::ScreenGeometry screen) {
  platform::UseVirtualClock(true);
  TheDevice().UseScreen(screen);
  CString path;
  SIZE box{};
  ReadMessage(TheDevice().Message(), [&](CReadView* view, Clock::duration) {
    const RECT region = view->Player().Window()->Regions().picture;
    box = {region.right - region.left, region.bottom - region.top};
  });
  MessageBinding binding;
  if (!LoadBinding(binding, TheDevice().Message(), nullptr, kHostVerbRead) || !binding.Model() ||
      binding.Model()->slides.empty() || !binding.Model()->slides.front().image ||
      !binding.Model()->slides.front().image->part || box.cx <= 0) {
    state.SkipWithError("no first photo");
    return;
  }
  const MediaPart& photo = *binding.Model()->slides.front().image->part;
  path = binding.Model()->partFolder;
  path += photo.fileName.View();
  for (auto _ : state) {
    SIZE size = box;
    DibImage* image = DecodeImage(path, &size, photo.type, 0);
    if (!image) {
      state.SkipWithError("the photo did not decode");
      return;
    }
    FreeDibImage(image);
  }
  state.counters["box_w"] = static_cast<double>(box.cx);
  state.counters["box_h"] = static_cast<double>(box.cy);
}

// One full repaint of the screen with the first slide open.
void FullRepaint(benchmark::State& state, platform::window::ScreenGeometry screen) {
  platform::UseVirtualClock(true);
  TheDevice().UseScreen(screen);
  const bool shown = ReadMessage(TheDevice().Message(), [&](CReadView*, Clock::duration) {
    for (auto _ : state) {
      InvalidateRect(nullptr, nullptr, TRUE);
      platform::window::PaintDirtyAreas();
    }
  });
  if (!shown) state.SkipWithError("the first slide was not shown");
}

// The next-slide command with playback paused: the slide changed and drawn. After the last slide
// the view goes back to the first one untimed.
void NextSlide(benchmark::State& state, platform::window::ScreenGeometry screen) {
  platform::UseVirtualClock(true);
  TheDevice().UseScreen(screen);
  bool moved = true;
  const bool shown = ReadMessage(TheDevice().Message(), [&](CReadView* view, Clock::duration) {
    const HWND dialog = view->GetHandle();
    SendMessageW(dialog, WM_COMMAND, kPauseCommand, 0);
    platform::automation::PumpUntilIdle();
    for (auto _ : state) {
      const int before = view->CurrentSlide();
      if (before + 1 >= view->SlideCount()) {
        state.PauseTiming();
        while (view->CurrentSlide() > 0) {
          SendMessageW(dialog, WM_COMMAND, kPreviousCommand, 0);
          platform::automation::PumpUntilIdle();
        }
        platform::window::PaintDirtyAreas();
        state.ResumeTiming();
        continue;
      }
      SendMessageW(dialog, WM_COMMAND, kNextCommand, 0);
      platform::automation::PumpUntilIdle();
      platform::window::PaintDirtyAreas();
      moved = moved && view->CurrentSlide() == before + 1;
    }
  });
  if (!shown || !moved) state.SkipWithError("the slides did not move");
}

// The 60 s message played on the real clock: how far each later slide change and the end stray from
// the presentation's times, measured from the first slide change (at 6 s), so that neither the
// open nor the moment this loop first looks counts. Each change is seen once its slide is drawn;
// the end is seen as it comes, so a slow first drawing makes the end look early, never late.
void Drift(benchmark::State& state) {
  constexpr long kSlideMs = 6000;
  platform::UseVirtualClock(false);
  TheDevice().UseScreen(kSmallScreen);
  for (auto _ : state) {
    std::vector<DWORD> changes;  // tick of each slide change seen, from slide 2 on
    DWORD end = 0;
    const bool shown = ReadMessage(TheDevice().SixtySeconds(), [&](CReadView* view, Clock::duration) {
      const DWORD opened = GetTickCount();
      int slide = view->CurrentSlide();
      while (!view->Ended() && GetTickCount() - opened < 70000) {
        platform::automation::AdvanceClock(1);
        if (view->CurrentSlide() != slide && !view->Ended()) {
          slide = view->CurrentSlide();
          changes.push_back(GetTickCount());
        }
      }
      end = GetTickCount();
    });
    if (!shown || changes.size() != kSlides - 1) {
      state.SkipWithError("the message did not play through its slides");
      return;
    }
    long worst = 0;
    for (std::size_t i = 1; i < changes.size(); ++i) {
      worst = std::max(worst, std::labs(static_cast<long>(changes[i] - changes[0]) - static_cast<long>(i) * kSlideMs));
    }
    state.counters["worst_slide_drift_ms"] = static_cast<double>(worst);
    state.counters["end_drift_ms"] =
        static_cast<double>(static_cast<long>(end - changes[0]) - static_cast<long>(kSlides - 1) * kSlideMs);
  }
}

BENCHMARK_CAPTURE(OpenToFirstSlide, screen_240x320, kSmallScreen)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LoadIntoModel)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeFirstPhoto, screen_240x320, kSmallScreen)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FullRepaint, screen_240x320, kSmallScreen)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenToFirstSlide, screen_480x640, kLargeScreen)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeFirstPhoto, screen_480x640, kLargeScreen)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FullRepaint, screen_480x640, kLargeScreen)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(NextSlide, screen_480x640, kLargeScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(Drift)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  g_device = new Device;
  benchmark::RunSpecifiedBenchmarks();
  delete g_device;
  benchmark::Shutdown();
  return 0;
}
