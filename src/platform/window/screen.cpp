#include "platform/window/screen.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/gdi/device_context.h"
#include "platform/gdi/png_file.h"
#include "platform/kernel/device.h"

namespace platform::window {
namespace {

// Screens this system draws: from a watch face to a tablet.
constexpr int kMinScreenSide = 16;
constexpr int kMaxScreenSide = 4096;
constexpr int kMinDpi = 48;
constexpr int kMaxDpi = 640;

struct ScreenState {
  std::optional<ScreenGeometry> geometry;
  std::shared_ptr<gdi::Surface> framebuffer;
  RECT dirty{};
  std::uint64_t generation = 0;
};

ScreenState& State() {
  static ScreenState state;
  return state;
}

bool IsValid(const ScreenGeometry& g) {
  return g.width >= kMinScreenSide && g.width <= kMaxScreenSide && g.height >= kMinScreenSide &&
         g.height <= kMaxScreenSide && g.dpi >= kMinDpi && g.dpi <= kMaxDpi;
}

void NewFramebuffer(ScreenState& state) {
  const ScreenGeometry& g = *state.geometry;
  state.framebuffer = std::make_shared<gdi::Surface>(g.width, g.height, false, false);
  state.framebuffer->Fill(state.framebuffer->Bounds(), RGB(255, 255, 255));
  state.dirty = state.framebuffer->Bounds();
  ++state.generation;
}

}  // namespace

ScreenGeometry CurrentScreen() {
  ScreenState& state = State();
  if (!state.geometry) {
    platform::DeviceSettings settings = platform::ReadDeviceSettings();
    ScreenGeometry read{settings.screenWidth, settings.screenHeight, settings.dpi};
    state.geometry = IsValid(read) ? read : ScreenGeometry{};
  }
  return *state.geometry;
}

bool ConfigureScreen(const ScreenGeometry& geometry) {
  if (!IsValid(geometry)) {
    return false;
  }
  ScreenState& state = State();
  state.geometry = geometry;
  NewFramebuffer(state);
  return true;
}

void ResetScreen() {
  ScreenState& state = State();
  state.geometry.reset();
  CurrentScreen();
  NewFramebuffer(state);
}

std::shared_ptr<gdi::Surface> Framebuffer() {
  ScreenState& state = State();
  if (!state.framebuffer) {
    CurrentScreen();
    NewFramebuffer(state);
  }
  return state.framebuffer;
}

void AddDirty(const RECT& area) {
  ScreenState& state = State();
  RECT bounds = Framebuffer()->Bounds();
  RECT clipped = gdi::Intersect(area, bounds);
  if (gdi::IsEmpty(clipped)) {
    return;
  }
  if (gdi::IsEmpty(state.dirty)) {
    state.dirty = clipped;
    return;
  }
  state.dirty = {std::min(state.dirty.left, clipped.left), std::min(state.dirty.top, clipped.top),
                 std::max(state.dirty.right, clipped.right), std::max(state.dirty.bottom, clipped.bottom)};
}

RECT TakeDirty() { return std::exchange(State().dirty, RECT{0, 0, 0, 0}); }

bool HasDirty() { return !gdi::IsEmpty(State().dirty); }

std::uint64_t FrameGeneration() { return State().generation; }

void NoteFrameChanged() { ++State().generation; }

bool WriteScreenPng(const std::filesystem::path& path, std::string* error) {
  return gdi::WritePng(*Framebuffer(), path, error);
}

int ScaleForDensity(int value) { return (value * CurrentScreen().dpi + 95) / 96; }

}  // namespace platform::window
