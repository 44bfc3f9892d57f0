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
#include "platform/clock.h"
#include "platform/controls/control_classes.h"
#include "platform/message_store/message_store.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"
#include "scratch_device.h"
#include "transport/mms_global.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr platform::window::ScreenGeometry kSmallScreen{240, 320, 96};
constexpr platform::window::ScreenGeometry kLargeScreen{480, 640, 192};

// Camera photos of 43 to 88 KB from the corpus, one a slide.
constexpr const char* kPhotos[] = {"fujifilm-finepix40i.jpg", "kodak-dc210.jpg",        "kodak-dc240.jpg",
                                   "olympus-c960.jpg",        "olympus-d320l-noexif.jpg", "ricoh-rdc5300.jpg",
                                   "sanyo-vpc-g250.jpg",      "sony-cybershot.jpg",       "sony-dsc-d700.jpg",
                                   "fujifilm-finepix40i.jpg"};
constexpr std::size_t kSlides = std::size(kPhotos);
constexpr std::size_t kTextBytes = 2 * 1024;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct NullHost : IFormHost {
  HRESULT FormClosed(IMMSForm*, IMessage*, DWORD) override { return S_OK; }
  HRESULT HostSlot1() override { return S_OK; }
  HRESULT HostSlot2() override { return S_OK; }
  HRESULT FormAction(IMMSForm*, IMessage*, DWORD, DWORD) override { return S_OK; }
};

LRESULT QuietProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow(LPCWSTR className) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &QuietProcedure;
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, className, u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

// A device with a message store and two messages in its Inbox: the 20-part message with slides of
// 3 s, and one of the same photos with one-line texts and slides of 6 s (60 s in all) for the
// drift run.
class Device {
 public:
  Device() {
    std::string error;
    if (platform::OpenMessageStore(m_store.Receive(), &error) != S_OK) Fail(error);
    ULC_Global::GetGlobal()->messageStore = m_store.Get();
    m_message = Store(3000, kTextBytes);
    // One line of text a slide: a text that scrolls holds its slide until it was read, which
    // would measure the scrolling rather than the time line.
    m_sixtySeconds = Store(6000, 1);
    MMSForm_Init();
  }
  ~Device() {
    MMSForm_Uninit();
    platform::window::ResetWindowSystem();
    m_message.Reset();
    m_sixtySeconds.Reset();
    ULC_Global::GetGlobal()->messageStore = nullptr;
    m_store.Reset();
  }

  IMessage* Message() { return m_message.Get(); }
  IMessage* SixtySeconds() { return m_sixtySeconds.Get(); }
  std::size_t MessageBytes() const { return m_messageBytes; }

  // A fresh window system on `screen`, with the client application's main window and the host's.
  void UseScreen(const platform::window::ScreenGeometry& screen) {
    platform::window::ResetWindowSystem();
    platform::automation::Reset();
    platform::window::ConfigureScreen(screen);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    MakeWindow(u"Ppc_WndCls_MainFrme");
    m_host = MakeWindow(u"Inbox.MainWnd");
  }
  HWND Host() const { return m_host; }

 private:
  [[noreturn]] static void Fail(const std::string& why) {
    std::fprintf(stderr, "bench_read: %s\n", why.c_str());
    std::exit(1);
  }

  ComPtr<IMessage> Store(int slideMs, std::size_t textBytes) {
    const fs::path source = m_device.Root() / ("source-" + std::to_string(slideMs));
    fs::create_directories(source);
    std::string smil = "<smil><head><layout><root-layout width=\"176\" height=\"144\"/>"
                       "<region id=\"Image\" left=\"0\" top=\"0\" width=\"176\" height=\"100\"/>"
                       "<region id=\"Text\" left=\"0\" top=\"100\" width=\"176\" height=\"44\"/>"
                       "</layout></head><body>";
    mm1::MessageWriter writer;
    for (std::size_t i = 0; i < kSlides; ++i) {
      const std::string picture = "photo" + std::to_string(i) + ".jpg";
      const std::string text = "text" + std::to_string(i) + ".txt";
      fs::copy_file(fs::path(MMSFORM_CORPUS_DIR) / "jpeg" / kPhotos[i], source / picture,
                    fs::copy_options::overwrite_existing);
      std::string words;
      while (words.size() < textBytes) words += "Grüße aus Köln, 東京 und Zürich. ";
      if (!mm1::WriteFileAtomically(source / text, std::vector<std::uint8_t>(words.begin(), words.end()))) {
        Fail("cannot write " + text);
      }
      for (const auto& [name, type] : {std::pair{picture, "image/jpeg"}, std::pair{text, "text/plain;charset=utf-8"}}) {
        mm1::PartRecord record;
        record.folder = source;
        record.fileName = name;
        record.contentType = type;
        if (!writer.AddPart(record)) Fail("cannot add " + name);
      }
      smil += "<par dur=\"" + std::to_string(slideMs) + "ms\"><img src=\"" + picture +
              "\" region=\"Image\"/><text src=\"" + text + "\" region=\"Text\"/></par>";
    }
    smil += "</body></smil>";
    if (!mm1::WriteFileAtomically(source / "mms.smil", std::vector<std::uint8_t>(smil.begin(), smil.end())) ||
        !writer.SetPresentation(source / "mms.smil", "mms.smil") || !writer.Write(source / "message.mms")) {
      Fail("cannot write the message");
    }
    auto bytes = mm1::ReadWholeFile(source / "message.mms", mm1::kMaxMessageFileBytes);
    if (!bytes) Fail(bytes.Failure().message);
    m_messageBytes = bytes.Value().size();
    const ImportResult imported = ImportMessageFile(
        std::string_view(reinterpret_cast<const char*>(bytes.Value().data()), bytes.Value().size()),
        PR_INBOX_FOLDER_ENTRYID);
    if (!imported.ok) Fail(imported.error);
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    EntryId id = imported.entryId;
    if (m_store->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(id.data()), nullptr,
                           MAPI_MODIFY, &kind, object.Receive()) != S_OK) {
      Fail("cannot open the stored message");
    }
    return ComPtr<IMessage>(static_cast<IMessage*>(object.Detach()));
  }

  bench::ScratchDevice m_device{"read"};
  ComPtr<IMsgStore> m_store;
  ComPtr<IMessage> m_message;
  ComPtr<IMessage> m_sixtySeconds;
  std::size_t m_messageBytes = 0;
  HWND m_host = nullptr;
};

// Made and ended in main, so that the module is let go while the libraries it loaded still stand.
Device* g_device = nullptr;

Device& TheDevice() { return *g_device; }

CReadView* ViewOf(HWND dialog) {
  return dynamic_cast<CReadView*>(reinterpret_cast<CWndBase*>(GetWindowLongW(dialog, GWL_USERDATA)));
}

// True when the view shows its first slide with the photo decoded and the text laid out.
bool FirstSlideShown(CReadView* view) {
  CPresentationWindow* window = view ? view->Player().Window() : nullptr;
  return window && view->CurrentSlide() == 0 && window->PictureShown() && window->TextShown();
}

// Opens `message` in the read form through the module's exports. Once the view's first slide is
// drawn, `whileOpen` gets the view and the time the open took; then the view is ended with Done
// and the form closed and released, as a host does it.
bool ReadMessage(IMessage* message, const std::function<void(CReadView*, Clock::duration)>& whileOpen) {
  bool shown = false;
  Clock::time_point start;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    platform::automation::PumpUntilIdle();
    platform::window::PaintDirtyAreas();
    const Clock::duration took = Clock::now() - start;
    CReadView* view = ViewOf(dialog);
    shown = FirstSlideShown(view);
    if (shown) whileOpen(view, took);
    PostMessageW(dialog, WM_COMMAND, 1, 0);
  });
  NullHost host;
  DWORD activateArg = 0;
  IMMSForm* form = nullptr;
  start = Clock::now();
  const HRESULT hr = MMSForm_CreateReadForm(&host, message, TheDevice().Host(), &activateArg, &form);
  platform::automation::PumpUntilIdle();
  if (SUCCEEDED(hr) && form) {
    form->Close();
    form->Release();
  }
  platform::automation::PumpUntilIdle();
  return SUCCEEDED(hr) && shown;
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
