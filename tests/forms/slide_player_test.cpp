// The slide player and its presentation window on the virtual clock: the messages the read view
// hears and when, media started and ended at their times, a scrolling text holding its slide, and
// the idle pause after a tap.
#include "forms/slide_player.h"

#include <string>
#include <vector>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "support/test_device.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

struct Heard {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD at;
};

std::vector<Heard> g_heard;

bool IsPlayerMessage(UINT message) {
  return (message >= 1225 && message <= 1230) || message == 1297 || message == 1323;
}

LRESULT ReadViewProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsPlayerMessage(message)) {
    g_heard.push_back(Heard{message, wParam, lParam, GetTickCount()});
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A 24-bit bottom-up BMP of one colour.
std::string SolidBmp(int width, int height) {
  const int row = (width * 3 + 3) & ~3;
  const std::uint32_t size = 54 + static_cast<std::uint32_t>(row * height);
  std::string bmp(size, '\0');
  auto put32 = [&](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  bmp[26] = 1;
  bmp[28] = 24;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) bmp[54 + y * row + x * 3 + 2] = '\xC0';
  }
  return bmp;
}

// UTF-16LE after FF FE, as the loader writes text parts.
std::string TextPart(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

class SlidePlayerTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    g_heard.clear();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    std::filesystem::create_directories(m_device.Host(u"\\My Documents\\parts"));
    WNDCLASSW readView{};
    readView.lpfnWndProc = &ReadViewProcedure;
    readView.lpszClassName = u"PlayerTestReadView";
    RegisterClassW(&readView);
    m_view = CreateWindowExW(0, u"PlayerTestReadView", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                             nullptr, nullptr);
    m_model.partFolder = CString(u"\\My Documents\\parts\\");
    m_model.layout.width = 240;
    m_model.layout.height = 280;
    m_model.layout.regions = {LayoutRegion{RegionKind::kImage, 0, 0, 240, 140, RegionFit::kMeet},
                              LayoutRegion{RegionKind::kText, 0, 140, 240, 280, RegionFit::kHidden}};
  }
  void TearDown() override {
    m_player.reset();
    DestroyWindow(m_view);
    ULC_Global::GetGlobal()->UnloadEngineModule();
    UiTest::TearDown();
  }

  MediaPart* Part(const std::string& name, const std::string& bytes, MediaType type) {
    test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\parts\\" + std::u16string(name.begin(), name.end())),
                                 bytes);
    MediaPart part;
    part.type = type;
    part.fileName = CString(std::u16string(name.begin(), name.end()));
    m_model.parts.push_back(part);
    return &m_model.parts.back();
  }
  Slide& AddSlide(DWORD duration) {
    Slide slide;
    slide.duration = duration;
    m_model.slides.push_back(slide);
    return m_model.slides.back();
  }
  CSlidePlayer& Load() {
    m_player = std::make_unique<CSlidePlayer>();
    EXPECT_TRUE(m_player->Load(m_view, RECT{0, 0, 240, 280}, &m_model, 0));
    return *m_player;
  }
  std::vector<UINT> Heard(UINT first, UINT second) const {
    std::vector<UINT> heard;
    for (const auto& entry : g_heard) {
      if (entry.message == first || entry.message == second) heard.push_back(entry.message);
    }
    return heard;
  }
  const struct Heard* First(UINT message, WPARAM wParam) const {
    for (const auto& entry : g_heard) {
      if (entry.message == message && entry.wParam == wParam) return &entry;
    }
    return nullptr;
  }
  CPresentationWindow& Window() { return *m_player->Window(); }

  HWND m_view = nullptr;
  MessageModel m_model;
  std::unique_ptr<CSlidePlayer> m_player;
};

TEST_F(SlidePlayerTest, ThreeSlidesOfTwoSecondsEndAfterSixSecondsWithTheEndThenTheStop) {
  for (int i = 0; i < 3; ++i) AddSlide(2000);
  CSlidePlayer& player = Load();
  EXPECT_EQ(player.Total(), 6000u);
  EXPECT_EQ(player.DisplayState(), slide_player::kDisplayLoaded);
  const DWORD start = GetTickCount();
  player.Play(false);
  EXPECT_EQ(player.State(), slide_player::kPlaying);
  EXPECT_EQ(player.DisplayState(), slide_player::kDisplayShowing);
  // The backlight is held exactly while playing.
  EXPECT_TRUE(player.HoldsBacklight());
  platform::automation::AdvanceClock(5970);
  EXPECT_TRUE(Heard(1323, 1225).empty());
  platform::automation::AdvanceClock(200);
  ASSERT_EQ(Heard(1323, 1225), (std::vector<UINT>{1323, 1225}));
  const auto* end = First(1323, 6000);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(end->lParam, 6000);
  EXPECT_GE(end->at - start, 6000u);
  EXPECT_LE(end->at - start, 6030u);
  // Each slide was shown in turn at its start, and its media were announced first.
  for (WPARAM slide = 0; slide < 3; ++slide) {
    const auto* shown = First(1228, slide);
    ASSERT_NE(shown, nullptr) << slide;
    EXPECT_GE(shown->at - start, 2000u * slide);
    EXPECT_LE(shown->at - start, 2000u * slide + 30);
    EXPECT_NE(First(1230, slide), nullptr);
  }
  EXPECT_EQ(player.State(), slide_player::kStopped);
  EXPECT_EQ(player.DisplayState(), slide_player::kDisplayStopped);
  EXPECT_FALSE(player.HoldsBacklight());
  // Nothing runs on after the end.
  const std::size_t count = g_heard.size();
  platform::automation::AdvanceClock(1000);
  EXPECT_EQ(g_heard.size(), count);
}

TEST_F(SlidePlayerTest, AudioThatBeginsOneSecondInStartsOnTheFirstTickAtOrAfterIt) {
  Slide& slide = AddSlide(3000);
  MediaPart* sound = Part("tone.wav", test_support::ReadFileBytes(test_support::CorpusPath("media/pcm16-8k-mono.wav")),
                          TypeOfFile(u"tone.wav", false));
  SetReference(slide.audio, MediaRef{RegionKind::kImage, 1000, 0, sound, nullptr});
  CSlidePlayer& player = Load();
  player.Play(false);
  platform::automation::AdvanceClock(990);
  EXPECT_FALSE(Window().AudioPlaying());
  platform::automation::AdvanceClock(29);
  EXPECT_FALSE(Window().AudioPlaying());
  platform::automation::AdvanceClock(1);
  EXPECT_TRUE(Window().AudioPlaying());
  // Pausing pauses the sound with the time line; stopping stops it.
  player.Pause();
  EXPECT_EQ(player.DisplayState(), slide_player::kDisplayPaused);
  EXPECT_FALSE(player.HoldsBacklight());
  ASSERT_FALSE(g_heard.empty());
  EXPECT_EQ(g_heard.back().message, 1226u);
  player.Stop();
  EXPECT_FALSE(Window().AudioPlaying());
  EXPECT_EQ(player.DisplayState(), slide_player::kDisplayStopped);
}

TEST_F(SlidePlayerTest, APictureWithoutAnEndStaysToTheSlidesEndAndOneWithAnEarlierEndGoes) {
  MediaPart* picture = Part("red.bmp", SolidBmp(16, 8), TypeOfFile(u"red.bmp", false));
  SetReference(AddSlide(3000).image, MediaRef{RegionKind::kImage, 0, 0, picture, nullptr});
  SetReference(AddSlide(3000).image, MediaRef{RegionKind::kImage, 0, 1000, picture, nullptr});
  AddSlide(1000);
  CSlidePlayer& player = Load();
  player.Play(false);
  EXPECT_TRUE(Window().PictureShown());
  platform::automation::AdvanceClock(2970);
  EXPECT_TRUE(Window().PictureShown());
  EXPECT_EQ(player.CurrentSlide(), 0);
  platform::automation::AdvanceClock(60);
  EXPECT_EQ(player.CurrentSlide(), 1);
  EXPECT_EQ(player.StartTime(), 3000u);
  EXPECT_TRUE(Window().PictureShown());
  platform::automation::AdvanceClock(960);
  EXPECT_TRUE(Window().PictureShown());
  platform::automation::AdvanceClock(60);
  EXPECT_FALSE(Window().PictureShown());
  EXPECT_EQ(player.CurrentSlide(), 1);
}

TEST_F(SlidePlayerTest, AScrollingTextHoldsItsSlideUntilItsEndWasShown) {
  std::u16string text;
  for (int line = 1; line <= 40; ++line) text += u"Line " + std::u16string(1, u'A' + line % 26) + u"\r\n";
  MediaPart* part = Part("long.txt", TextPart(text), media_type::kPlainText);
  SetReference(AddSlide(2000).text, MediaRef{RegionKind::kText, 0, 0, part, nullptr});
  AddSlide(2000);
  CSlidePlayer& player = Load();
  player.Play(false);
  ASSERT_TRUE(Window().TextShown());
  ASSERT_FALSE(Window().TextView()->Control().IsDone());
  platform::automation::AdvanceClock(2500);
  EXPECT_EQ(First(1228, 1), nullptr);
  EXPECT_EQ(player.CurrentSlide(), 0);
  EXPECT_TRUE(Window().TextShown());
  // The progress stays at the slide's end while it holds.
  EXPECT_EQ(g_heard.back().message, 1227u);
  EXPECT_EQ(g_heard.back().wParam, 2000u);
  platform::automation::AdvanceClock(60000);
  const auto* next = First(1228, 1);
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(Window().TextView()->Control().IsDone() || !Window().TextShown());
}

TEST_F(SlidePlayerTest, ATapPausesAndPlaybackResumesAfterTheIdleTime) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kPlayerIdleTime, 5000, FALSE));
  AddSlide(20000);
  CSlidePlayer& player = Load();
  player.Play(false);
  platform::automation::AdvanceClock(1000);
  const DWORD tapped = GetTickCount();
  ASSERT_TRUE(platform::automation::Tap(POINT{120, 200}));
  EXPECT_EQ(player.State(), slide_player::kPaused);
  EXPECT_TRUE(Window().IdleTimerRunning());
  const auto* paused = First(1226, Window().Position());
  ASSERT_NE(paused, nullptr);
  platform::automation::AdvanceClock(4990);
  EXPECT_EQ(player.State(), slide_player::kPaused);
  EXPECT_EQ(First(1297, 0), nullptr);
  platform::automation::AdvanceClock(20);
  EXPECT_EQ(player.State(), slide_player::kPlaying);
  const auto* resumed = First(1297, 0);
  ASSERT_NE(resumed, nullptr);
  EXPECT_EQ(resumed->at - tapped, 5000u);
  // The paused time does not count: the position goes on from where it stopped.
  platform::automation::AdvanceClock(300);
  EXPECT_GE(Window().Position(), 1290u);
  EXPECT_LE(Window().Position(), 1330u);
}

TEST_F(SlidePlayerTest, WithoutAnIdleTimeATapOnlyGoesOnToTheReadView) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kPlayerIdleTime, 0, FALSE));
  AddSlide(20000);
  CSlidePlayer& player = Load();
  player.Play(false);
  ASSERT_TRUE(platform::automation::Tap(POINT{120, 200}));
  EXPECT_EQ(player.State(), slide_player::kPlaying);
  EXPECT_FALSE(Window().IdleTimerRunning());
}

TEST_F(SlidePlayerTest, GoingPastTheLastSlideEndsThePlayback) {
  AddSlide(2000);
  AddSlide(2000);
  CSlidePlayer& player = Load();
  player.Play(false);
  player.GoTo(1, false);
  EXPECT_EQ(player.CurrentSlide(), 1);
  EXPECT_EQ(player.StartTime(), 2000u);
  EXPECT_EQ(player.State(), slide_player::kPlaying);
  player.GoTo(2, false);
  platform::automation::PumpUntilIdle();
  ASSERT_FALSE(g_heard.empty());
  EXPECT_EQ(g_heard.back().message, 1225u);
  EXPECT_EQ(g_heard.back().wParam, 4000u);
  // Shown only, a slide does not play: the time line stands still.
  player.Pause();
  player.GoTo(0, true);
  EXPECT_EQ(player.State(), slide_player::kStopped);
  const std::size_t count = g_heard.size();
  platform::automation::AdvanceClock(3000);
  EXPECT_EQ(g_heard.size(), count);
}

TEST_F(SlidePlayerTest, SlidesTooLongForTheMessagesAreHeldAtTheLongestTime) {
  AddSlide(0xFFFFFFFF);
  AddSlide(0xFFFFFFFF);
  CSlidePlayer& player = Load();
  EXPECT_EQ(player.Total(), 0x7FFFFFFFu);
  player.Play(false);
  platform::automation::AdvanceClock(90);
  EXPECT_EQ(player.CurrentSlide(), 0);
  EXPECT_EQ(Heard(1323, 1225), std::vector<UINT>{});
}

TEST_F(SlidePlayerTest, RegionsFollowTheLayoutScaledToTheRectangle) {
  const SlideRegions regions = FitRegions(m_model.layout, RECT{0, 0, 480, 560});
  EXPECT_EQ(regions.picture.right, 480);
  EXPECT_EQ(regions.picture.bottom, 280);
  EXPECT_EQ(regions.text.top, 280);
  EXPECT_EQ(regions.text.bottom, 560);
  // Without regions the picture goes above and the text below.
  const SlideRegions fallback = FitRegions(MessageLayout{}, RECT{0, 0, 240, 200});
  EXPECT_EQ(fallback.picture.bottom, 100);
  EXPECT_EQ(fallback.text.top, 100);
  // A region reaching outside the layout is cut to it.
  MessageLayout wide;
  wide.width = 100;
  wide.height = 100;
  wide.regions = {LayoutRegion{RegionKind::kText, -50, 50, 5000, 5000, RegionFit::kHidden}};
  const SlideRegions cut = FitRegions(wide, RECT{0, 0, 200, 200});
  EXPECT_EQ(cut.text.left, 0);
  EXPECT_EQ(cut.text.top, 100);
  EXPECT_EQ(cut.text.right, 200);
  EXPECT_EQ(cut.text.bottom, 200);
}

}  // namespace
}  // namespace ui_test
