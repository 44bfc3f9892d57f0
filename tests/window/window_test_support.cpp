#include "window_test_support.h"

#include <cmath>
#include <map>

namespace window_test {
namespace {

std::map<UINT, Reaction>& Reactions() {
  static std::map<UINT, Reaction> reactions;
  return reactions;
}

LRESULT RecorderProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Log().push_back({hwnd, message, wParam, lParam});
  auto it = Reactions().find(message);
  if (it != Reactions().end()) {
    return it->second(hwnd, message, wParam, lParam);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

constexpr double kMaxMeanDifference = 1.5;
constexpr double kMaxChangedShare = 0.005;
constexpr int kChangedThreshold = 64;

}  // namespace

void ExpectLikeReference(const platform::gdi::Surface& actual, const platform::gdi::Surface& expected,
                         const std::filesystem::path& drawn) {
  ASSERT_EQ(actual.Width(), expected.Width()) << "see " << drawn;
  ASSERT_EQ(actual.Height(), expected.Height()) << "see " << drawn;
  long long total = 0;
  long long changed = 0;
  for (int y = 0; y < actual.Height(); ++y) {
    const BYTE* ra = actual.Row(y);
    const BYTE* rb = expected.Row(y);
    for (int x = 0; x < actual.Width() * 3; x += 3) {
      int worst = 0;
      for (int c = 0; c < 3; ++c) {
        int diff = std::abs(ra[x + c] - rb[x + c]);
        total += diff;
        worst = std::max(worst, diff);
      }
      changed += worst > kChangedThreshold;
    }
  }
  const double pixels = static_cast<double>(actual.Width()) * actual.Height();
  EXPECT_LE(static_cast<double>(total) / (pixels * 3), kMaxMeanDifference) << "see " << drawn;
  EXPECT_LE(static_cast<double>(changed) / pixels, kMaxChangedShare) << "see " << drawn;
}

const char16_t kRecorder[] = u"Recorder";

std::vector<Seen>& Log() {
  static std::vector<Seen> log;
  return log;
}

std::vector<Seen> LogOf(std::initializer_list<UINT> messages) {
  std::vector<Seen> out;
  for (const Seen& seen : Log()) {
    if (std::find(messages.begin(), messages.end(), seen.message) != messages.end()) {
      out.push_back(seen);
    }
  }
  return out;
}

void RegisterRecorder() {
  Log().clear();
  Reactions().clear();
  WNDCLASSW info{};
  info.lpfnWndProc = RecorderProcedure;
  info.cbWndExtra = 16;
  info.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
  info.lpszClassName = kRecorder;
  ASSERT_NE(RegisterClassW(&info), 0);
}

void ReactTo(UINT message, Reaction reaction) { Reactions()[message] = reaction; }

HWND MakeTop(const char16_t* title, RECT r, DWORD style) {
  return CreateWindowExW(0, kRecorder, title, style, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                         nullptr, nullptr, nullptr);
}

HWND MakeChild(HWND parent, RECT r, int id, DWORD style) {
  return CreateWindowExW(0, kRecorder, nullptr, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                         reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
}

}  // namespace window_test
