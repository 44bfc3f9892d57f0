// Repainting a full 480 x 640 screen of windows with text and bitmaps: the cost of one frame when
// everything on the screen went stale (a slide change, a rotation).
#include <benchmark/benchmark.h>

#include "cmd_window_scene.h"
#include "platform/automation/automation.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"
#include "scratch_device.h"

namespace {

void FullScreenRepaint(benchmark::State& state, platform::window::ScreenGeometry screen) {
  bench::ScratchDevice device("window", platform::RegistrySeed::kEmpty);
  platform::window::ResetWindowSystem();
  platform::window::ConfigureScreen(screen);
  mmsform_tool::CreateDemoScene();
  platform::automation::PumpUntilIdle();
  for (auto _ : state) {
    InvalidateRect(nullptr, nullptr, TRUE);
    platform::window::PaintDirtyAreas();
  }
  platform::window::ResetWindowSystem();
}

BENCHMARK_CAPTURE(FullScreenRepaint, screen_480x640, platform::window::ScreenGeometry{480, 640, 192})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FullScreenRepaint, screen_240x320, platform::window::ScreenGeometry{240, 320, 96})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
