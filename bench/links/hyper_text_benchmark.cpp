// The hypertext control laying out and painting a 2,000-word text with 100 links on a 480 x 640
// screen: links found, text wrapped, every visible line drawn into the control's buffer and onto
// the screen. The aim is one 60 Hz frame (16.7 ms).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"
#include "scratch_device.h"
#include "text_view_scene.h"

namespace {

std::u16string TwoThousandWords() {
  static const char16_t* const kWords[] = {u"the", u"photos", u"from", u"Saturday", u"are", u"here,", u"meet",
                                           u"at", u"station", u"tomorrow", u"n\u00E4hd\u00E4\u00E4n", u"kiitos"};
  static const char16_t* const kLinks[] = {u"www.example.com/photos", u"+358401234567", u"anna@example.co.uk",
                                           u"https://tickets.example.org/?id=4711"};
  std::u16string text;
  for (int word = 0; word < 2000; ++word) {
    text += (word % 20 == 19) ? kLinks[(word / 20) % 4] : kWords[word % 12];
    text += (word % 15 == 14) ? u"\r\n" : u" ";
  }
  return text;
}

void LayOutAndPaint(benchmark::State& state) {
  bench::ScratchDevice device("hypertext");
  platform::UseVirtualClock(true);
  platform::window::ResetWindowSystem();
  platform::window::ConfigureScreen(platform::window::ScreenGeometry{480, 640, 192});
  const std::u16string text = TwoThousandWords();
  {
    mmsform_tool::TextViewScene scene;
    std::string error;
    if (!scene.Open(text, 0x2000, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    CHyperTextCtrl& control = scene.Control();
    DWORD first[3];
    DWORD second[3];
    for (auto _ : state) {
      control.SetText(text.c_str(), 480, 640, 0, first, second);
      platform::window::PaintDirtyAreas();
    }
    state.counters["links"] = static_cast<double>(control.Links().Links().size());
    state.counters["lines"] = static_cast<double>(control.Layout().Lines().size());
  }
  platform::window::ResetWindowSystem();
}

BENCHMARK(LayOutAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
