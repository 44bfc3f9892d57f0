// Comparing a drawn screen with its reference picture: the mean channel difference and the share
// of pixels that changed a lot, with the limits the golden tests allow.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/automation/automation.h"
#include "platform/gdi/png_file.h"
#include "platform/gdi/surface.h"

namespace ui_test {

// Font rasterisers of other versions may shade a few edge pixels differently; anything more is a
// change in the drawing.
constexpr double kMaxMeanDifference = 1.5;
constexpr double kMaxChangedShare = 0.005;
constexpr int kChangedThreshold = 64;

struct Difference {
  double mean = 0;
  double changedShare = 0;
};

inline Difference Compare(const platform::gdi::Surface& a, const platform::gdi::Surface& b) {
  long long total = 0;
  long long changed = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      COLORREF p = a.Pixel(x, y);
      COLORREF q = b.Pixel(x, y);
      int worst = 0;
      for (int shift : {0, 8, 16}) {
        int diff = std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF));
        total += diff;
        worst = std::max(worst, diff);
      }
      changed += worst > kChangedThreshold;
    }
  }
  const double pixels = static_cast<double>(a.Width()) * a.Height();
  return {static_cast<double>(total) / (pixels * 3), static_cast<double>(changed) / pixels};
}

// Compares the picture `name` drawn into `drawn` with the reference of that name in `references`;
// with MMSFORM_UPDATE_GOLDEN set the drawn picture first becomes the reference.
inline ::testing::AssertionResult MatchesReference(const std::filesystem::path& drawn,
                                                   const std::filesystem::path& references, const std::string& name) {
  if (std::getenv("MMSFORM_UPDATE_GOLDEN")) {
    std::filesystem::create_directories(references);
    std::filesystem::copy_file(drawn / name, references / name, std::filesystem::copy_options::overwrite_existing);
  }
  std::string error;
  auto expected = platform::gdi::ReadPng(references / name, &error);
  if (!expected) {
    return ::testing::AssertionFailure() << (references / name).string() << ": " << error;
  }
  auto actual = platform::gdi::ReadPng(drawn / name, &error);
  if (!actual) {
    return ::testing::AssertionFailure() << (drawn / name).string() << ": " << error;
  }
  if (actual->Width() != expected->Width() || actual->Height() != expected->Height()) {
    return ::testing::AssertionFailure() << name << " is " << actual->Width() << "x" << actual->Height()
                                         << ", its reference " << expected->Width() << "x" << expected->Height();
  }
  const Difference d = Compare(*actual, *expected);
  if (d.mean > kMaxMeanDifference || d.changedShare > kMaxChangedShare) {
    return ::testing::AssertionFailure() << name << " differs from its reference (mean " << d.mean
                                         << ", changed share " << d.changedShare << "): see " << (drawn / name).string();
  }
  return ::testing::AssertionSuccess();
}

// Writes the screen as it is now to `drawn`/`name` and compares it with its reference.
inline ::testing::AssertionResult ScreenMatchesReference(const std::filesystem::path& drawn,
                                                         const std::filesystem::path& references,
                                                         const std::string& name) {
  std::string error;
  if (!platform::automation::Screenshot(drawn / name, &error)) {
    return ::testing::AssertionFailure() << "the screen could not be written as " << name << ": " << error;
  }
  return MatchesReference(drawn, references, name);
}

}  // namespace ui_test
