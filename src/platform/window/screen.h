// The screen: the device's 24-bit framebuffer, its size and density, into which the windows are
// composed, and the part of it that needs repainting.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/gdi/surface.h"

namespace platform::window {

struct ScreenGeometry {
  int width = 240;
  int height = 320;
  int dpi = 96;
};

// The geometry in use: set by ConfigureScreen, else read once from the device's settings.
ScreenGeometry CurrentScreen();
// Replaces the framebuffer with a white one of the given geometry (invalid values are refused).
bool ConfigureScreen(const ScreenGeometry& geometry);
// Forgets ConfigureScreen's geometry: the device's settings apply again, on a fresh framebuffer.
void ResetScreen();
// The framebuffer (top-down rows); created on first use.
std::shared_ptr<gdi::Surface> Framebuffer();

// The part of the screen waiting to be composed again (screen coordinates; empty when none).
void AddDirty(const RECT& area);
RECT TakeDirty();
bool HasDirty();
// Counts changes to the framebuffer's pixels, so that a front-end knows when to show a new frame.
std::uint64_t FrameGeneration();
void NoteFrameChanged();

// Writes the framebuffer as it stands as a PNG file; false with a reason on failure.
bool WriteScreenPng(const std::filesystem::path& path, std::string* error = nullptr);

// Layout values given for 96 dots per inch, scaled to the screen's density: (v * d + 95) / 96.
int ScaleForDensity(int value);

}  // namespace platform::window
