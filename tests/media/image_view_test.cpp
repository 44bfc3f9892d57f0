// The image view and the thumbnail windows: result codes, the decode box that follows the
// picture's orientation, GIF frames on their delays, SVG through the player, video through the
// engine, and the strip's selection by keys, taps and scrolling.
#include <memory>

#include "engines/dib_image.h"
#include "engines/image_encode.h"
#include "engines/media_engine_adapter.h"
#include "media_fixture.h"
#include "platform/automation/automation.h"
#include "platform/drm/drm_service.h"
#include "platform/kernel/clock.h"
#include "ui/image_view.h"
#include "ui/thumbnails.h"

namespace media_test {
namespace {

std::vector<WPARAM> g_commands;

LRESULT ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) g_commands.push_back(wParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A 1 x 1 GIF of two frames of 100 and 200 ms; with `loop`, a NETSCAPE2.0 loop for ever.
std::string TwoFrameGif(bool loop) {
  std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
  gif += std::string("\x00\x00\x00\xff\xff\xff", 6);
  if (loop) gif += std::string("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
  for (char delay : {'\x0a', '\x14'}) {
    gif += std::string("\x21\xf9\x04\x00", 4) + delay + std::string("\x00\x00\x00", 3);
    gif += std::string("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10);
    gif += std::string(delay == '\x0a' ? "\x02\x02\x44\x01\x00" : "\x02\x02\x4c\x01\x00", 5);
  }
  return gif + ";";
}

class ImageView : public MediaTest {
 protected:
  void SetUp() override {
    MediaTest::SetUp();
    platform::UseVirtualClock(true);
    WNDCLASSW info{};
    info.lpfnWndProc = ParentProc;
    info.lpszClassName = u"ImageViewTestParent";
    RegisterClassW(&info);
    m_parent = CreateWindowExW(0, u"ImageViewTestParent", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr,
                               nullptr, nullptr, nullptr);
    m_video = ULC_Global::GetGlobal()->InitVideoInstance();
    g_commands.clear();
  }
  void TearDown() override {
    m_view.reset();
    DestroyWindow(m_parent);
    MediaTest::TearDown();
    platform::UseVirtualClock(false);
  }
  CImageView& View(SvgPlayer* svg = nullptr) {
    m_view = std::make_unique<CImageView>(svg, m_video);
    EXPECT_TRUE(m_view->Create(m_parent, RECT{0, 0, 240, 320}, 10));
    return *m_view;
  }
  std::u16string PutJpeg(const std::string& name, LONG width, LONG height) {
    std::unique_ptr<DibImage, DibImageDeleter> image(CreateDibImage(width, height, 24));
    FillDibImage(image.get(), 40, 120, 200);
    std::u16string path = u"\\My Documents\\" + Wide(name);
    EXPECT_TRUE(EncodeImage(image.get(), path.c_str(), media_type::kNone, 90, nullptr, 0));
    return path;
  }

  HWND m_parent = nullptr;
  ULC_VideoEngine* m_video = nullptr;
  std::unique_ptr<CImageView> m_view;
};

TEST_F(ImageView, ResultCodes) {
  std::u16string jpeg = PutJpeg("p.jpg", 16, 16);
  struct Case {
    const char* what;
    std::u16string path;
    MediaType type;
    int result;
  } cases[] = {
      {"no path", u"", 0x10001, -1},
      {"no kind", jpeg, 0xFFFF0001, -5},
      {"unknown picture subtype", jpeg, 0x1FFFE, -5},
      {"refused subtype", jpeg, 0x1FFFD, -7},
      {"undecodable picture", PutBytes("bad.jpg", "not a picture"), 0x10001, -2},
      {"undecodable GIF", PutBytes("bad.gif", "GIF89a"), 0x10002, -2},
      {"SVG the player cannot open", PutBytes("bad.svg", "<svg"), 0x10006, -3},
      {"unknown video subtype", Put("h264-qvga-aac.mp4"), 0x4FFFE, -5},
      {"video the view does not play", Put("h264-qvga-aac.mp4"), 0x40002, -6},
      {"video the engine cannot load", Put("truncated-3000.mp4"), 0x40001, -3},
      {"picture", jpeg, 0x10001, 0},
  };
  SvgPlayer svg;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int result = 99;
    BOOL loaded = View(&svg).Load(c.path.c_str(), c.type, &result, FALSE, 0, 0);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(loaded, c.result == 0);
    EXPECT_EQ(m_view->lastResult(), c.result);
    if (c.result != 0) {
      EXPECT_EQ(m_view->picture(), nullptr);
    }
  }
}

TEST_F(ImageView, TheDecodeBoxFollowsThePicturesOrientation) {
  struct Case {
    LONG width, height, shownWidth, shownHeight;
  } cases[] = {{640, 480, 320, 240}, {480, 640, 240, 320}, {400, 400, 240, 240}, {100, 50, 100, 50}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    std::u16string path = PutJpeg("p.jpg", c.width, c.height);
    int result = 0;
    ASSERT_TRUE(View().Load(path.c_str(), 0x10001, &result, FALSE, 0, 0));
    ASSERT_NE(m_view->picture(), nullptr);
    EXPECT_EQ(m_view->picture()->header.biWidth, c.shownWidth);
    EXPECT_EQ(m_view->picture()->header.biHeight, c.shownHeight);
  }
}

TEST_F(ImageView, ANonLoopingGifStopsOnItsLastFrame) {
  std::u16string path = PutBytes("two.gif", TwoFrameGif(false));
  int result = 0;
  ASSERT_TRUE(View().Load(path.c_str(), 0x10002, &result, FALSE, 0, 0));
  EXPECT_EQ(m_view->nextFrame(), 1);
  m_view->Play();
  EXPECT_TRUE(m_view->playing());
  platform::automation::AdvanceClock(90);
  EXPECT_EQ(m_view->nextFrame(), 1);  // the first frame's 100 ms are not over
  platform::automation::AdvanceClock(20);
  EXPECT_EQ(m_view->nextFrame(), 2);
  platform::automation::AdvanceClock(300);
  EXPECT_FALSE(m_view->playing());
  EXPECT_EQ(m_view->nextFrame(), 2);
}

TEST_F(ImageView, ALoopingGifStartsAgain) {
  std::u16string path = PutBytes("loop.gif", TwoFrameGif(true));
  int result = 0;
  ASSERT_TRUE(View().Load(path.c_str(), 0x10002, &result, FALSE, 0, 0));
  m_view->Play();
  platform::automation::AdvanceClock(330);  // 100 + 200 ms, then into the first frame again
  EXPECT_TRUE(m_view->playing());
  EXPECT_EQ(m_view->nextFrame(), 1);
}

TEST_F(ImageView, AGifThumbnailShowsItsFirstFrameAndNeverStartsTheTimer) {
  std::u16string path = PutBytes("two.gif", TwoFrameGif(false));
  int result = 0;
  ASSERT_TRUE(View().Load(path.c_str(), 0x10002, &result, TRUE, 0, 0));
  ASSERT_NE(m_view->picture(), nullptr);
  m_view->Play();
  EXPECT_FALSE(m_view->playing());
  platform::automation::AdvanceClock(500);
  EXPECT_EQ(m_view->nextFrame(), 0);
}

TEST_F(ImageView, VideoShowsItsStillAndPlaysThroughTheEngine) {
  std::u16string path = Put("h264-qvga-aac.mp4");
  int result = 0;
  ASSERT_TRUE(View().Load(path.c_str(), 0x40001, &result, FALSE, 7, 0));
  ASSERT_NE(m_view->picture(), nullptr);
  EXPECT_EQ(m_view->picture()->header.biWidth, 320);  // a landscape box on a portrait screen
  EXPECT_EQ(Video_GetState(m_video), engine_state::kLoading);
  m_view->Play();
  EXPECT_TRUE(m_view->playing());
  EXPECT_EQ(Video_GetState(m_video), engine_state::kPlaying);
  platform::automation::AdvanceClock(1000);
  // The screen as a person would see it, for looking at (build/media-pictures).
  std::filesystem::create_directories(test_support::BinaryPath("media-pictures"));
  EXPECT_TRUE(platform::automation::Screenshot(test_support::BinaryPath("media-pictures/video-playing.png")));
  platform::automation::AdvanceClock(1600);
  EXPECT_FALSE(m_view->playing());  // the engine's end reached the view
  EXPECT_EQ(Video_GetState(m_video), engine_state::kIdle);
}

using ProtectedVideo = ImageView;

TEST_F(ProtectedVideo, AForwardLockedVideoPlaysThroughTheEngineWithoutAStill) {
  const std::u16string path = PutProtectedVideo("locked", 0);
  int result = -100;
  ASSERT_TRUE(View().Load(path.c_str(), 0x40001, &result, FALSE, 7, 0));
  EXPECT_EQ(result, image_view_result::kLoaded);
  // Only the engine shows protected content, while it plays.
  EXPECT_EQ(m_view->picture(), nullptr);
  m_view->Play();
  EXPECT_TRUE(m_view->playing());
  EXPECT_EQ(Video_GetState(m_video), engine_state::kPlaying);
  EXPECT_EQ(m_view->lastResult(), image_view_result::kLoaded);
  platform::automation::AdvanceClock(3000);
  EXPECT_FALSE(m_view->playing());
}

TEST_F(ProtectedVideo, AProtectedVideoWhoseLastPlayWasSpentIsRefusedAtPlayTime) {
  const std::u16string path = PutProtectedVideo("once", 1);
  int result = -100;
  ASSERT_TRUE(View().Load(path.c_str(), 0x40001, &result, FALSE, 7, 0));
  EXPECT_EQ(result, image_view_result::kLoaded);
  ASSERT_EQ(Video_GetState(m_video), engine_state::kLoading);
  // Meanwhile the one play is spent elsewhere (another player of the same file).
  ASSERT_EQ(FileDrmCommitRights(path.c_str(), kDrmRightPlay), S_OK);
  m_view->Play();
  EXPECT_EQ(m_view->lastResult(), image_view_result::kRefused);
  EXPECT_FALSE(m_view->playing());
  EXPECT_EQ(m_view->picture(), nullptr);
  EXPECT_NE(Video_GetState(m_video), engine_state::kPlaying);
  // Once refused, the video cannot be loaded again either.
  EXPECT_FALSE(View().Load(path.c_str(), 0x40001, &result, FALSE, 7, 0));
  EXPECT_EQ(result, image_view_result::kPlayerFailed);
}

TEST_F(ProtectedVideo, EachStartOfACountedProtectedVideoSpendsOnePlay) {
  const std::u16string path = PutProtectedVideo("twice", 2);
  int result = -100;
  for (int play = 0; play < 2; ++play) {
    SCOPED_TRACE(play);
    ASSERT_TRUE(View().Load(path.c_str(), 0x40001, &result, FALSE, 7, 0));
    m_view->Play();
    EXPECT_TRUE(m_view->playing());
    EXPECT_EQ(m_view->lastResult(), image_view_result::kLoaded);
    m_view->Stop();
  }
  EXPECT_TRUE(FAILED(FileDrmVerifyRights(nullptr, path.c_str(), kDrmRightPlay, 0, nullptr)));
  EXPECT_FALSE(View().Load(path.c_str(), 0x40001, &result, FALSE, 7, 0));
}

TEST_F(ImageView, VideoThumbnailsLoadNothingIntoTheEngine) {
  int result = 0;
  ASSERT_TRUE(View().Load(Put("mpeg4-odd-161x97.mp4").c_str(), 0x40001, &result, TRUE, 0, 0));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(m_view->picture()->header.biWidth, 161);
  EXPECT_EQ(Video_GetState(m_video), engine_state::kIdle);
  // A video with sound only gives no still: success in thumbnail mode, with its own code.
  ASSERT_TRUE(View().Load(Put("amrnb-audio-only.3gp").c_str(), 0x40005, &result, TRUE, 0, 0));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(m_view->picture(), nullptr);
}

TEST_F(ImageView, SvgPlaysThroughThePlayer) {
  SvgPlayer svg;
  int result = 0;
  ASSERT_TRUE(View(&svg).Load(Put("shapes.svg").c_str(), 0x10006, &result, FALSE, 0, 0));
  ASSERT_NE(m_view->picture(), nullptr);
  // 176 x 144 is landscape: the box is 320 x 240, which the drawing fills to 294 x 240.
  EXPECT_EQ(m_view->picture()->header.biWidth, 294);
  EXPECT_EQ(m_view->picture()->header.biHeight, 240);
  EXPECT_TRUE(svg.isOpen());
  m_view->Play();
  EXPECT_TRUE(svg.playing());
  EXPECT_EQ(svg.framesDelivered(), 1);
  std::filesystem::create_directories(test_support::BinaryPath("media-pictures"));
  EXPECT_TRUE(platform::automation::Screenshot(test_support::BinaryPath("media-pictures/svg-playing.png")));
  m_view->Stop();
  EXPECT_FALSE(svg.playing());
  // In thumbnail mode the player is not opened.
  ASSERT_TRUE(View(&svg).Load(Put("flower.svgz").c_str(), 0x10006, &result, TRUE, 0, 0));
  EXPECT_FALSE(svg.isOpen());
}

TEST_F(ImageView, ThumbnailStripSelectsByKeysTapsAndScrolling) {
  CThumbnailStrip strip(m_video);
  ASSERT_TRUE(strip.Create(m_parent, RECT{0, 0, 80, 130}, 20, 60));
  std::u16string jpeg = PutJpeg("p.jpg", 64, 48);
  std::u16string gif = PutBytes("two.gif", TwoFrameGif(false));
  std::u16string video = Put("h263-qcif-amrnb.3gp");
  for (auto [path, type] : {std::pair{jpeg, 0x10001u}, {gif, 0x10002u}, {video, 0x40005u}, {jpeg, 0x10001u}}) {
    ASSERT_GE(strip.Add(path.c_str(), type), 0);
  }
  ASSERT_EQ(strip.count(), 4);
  EXPECT_EQ(strip.selection(), 0);
  EXPECT_EQ(SendMessageW(strip.GetHandle(), kGetDialogCode, 0, 0), 1);
  EXPECT_EQ(SendMessageW(strip.cell(0)->GetHandle(), kGetDialogCode, 0, 0), 1);
  EXPECT_NE(strip.cell(2)->view().picture(), nullptr);  // the video's still
  for (int i = 0; i < 3; ++i) SendMessageW(strip.GetHandle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(strip.selection(), 3);
  EXPECT_EQ(strip.firstVisible(), 2);  // two cells fit: the selection scrolled into view
  EXPECT_TRUE(strip.cell(3)->selected());
  EXPECT_FALSE(strip.cell(0)->selected());
  SendMessageW(strip.GetHandle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(strip.selection(), 3);
  SendMessageW(strip.GetHandle(), WM_VSCROLL, 0 /* line up */, 0);
  EXPECT_EQ(strip.firstVisible(), 1);
  // A tap on the cell now at the top selects it.
  SendMessageW(strip.cell(1)->GetHandle(), WM_LBUTTONDOWN, 0, 0);
  EXPECT_EQ(strip.selection(), 1);
  platform::automation::PumpUntilIdle();
  ASSERT_FALSE(g_commands.empty());
  EXPECT_EQ(LOWORD(g_commands.back()), 20);
  EXPECT_EQ(HIWORD(g_commands.back()), kThumbnailSelectionChanged);
}

}  // namespace
}  // namespace media_test
