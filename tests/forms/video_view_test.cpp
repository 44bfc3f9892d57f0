// The video view over the real media engine: loading, playing with the device kept awake, the
// paused frame, stopping back to the first frame, the end told to the parent, a file the engine
// cannot open, what pauses it for each kind of engine, and the player dialog: what pauses it, and
// its two ways out, which leave the engine free.
#include "forms/video_view.h"

#include <cstring>

#include "engines/media_engine_adapter.h"
#include "forms/video_player_dialog.h"
#include "platform/controls/toolbar_api.h"
#include "save_fixture.h"
#include "support/outside_tool.h"
#include "ui/window_layout.h"

namespace save_test {
namespace {

std::vector<UINT>& ParentMessages() {
  static std::vector<UINT> messages;
  return messages;
}

LRESULT ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_VIDEO_VIEW_ENDED || message == WM_VIDEO_VIEW_MENU) ParentMessages().push_back(message);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A message that may pause a playing video, sent while the engine library reports `kind`.
struct PauseCase {
  const char* what;
  UINT message;
  WPARAM wParam;
  int32_t kind;
  bool pauses;
};

class VideoViewTest : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    ParentMessages().clear();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &ParentProcedure;
    windowClass.lpszClassName = u"VideoViewTestParent";
    RegisterClassW(&windowClass);
    m_parent = CreateWindowExW(0, u"VideoViewTestParent", u"Player", WS_POPUP | WS_VISIBLE, 0, 0, 240, 300, nullptr,
                               nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    m_view.reset();
    SetEngineKind(video_engine_type::kPlaysWithoutStill);
    DestroyWindow(m_parent);
    ULC_Global::GetGlobal()->UnloadEngineModule();
    SaveTest::TearDown();
  }
  CVideoView& MakeView() {
    m_view = std::make_unique<CVideoView>();
    m_view->SetIdleReset([this] { ++m_idleResets; });
    EXPECT_TRUE(m_view->Create(m_parent, RECT{0, 0, 240, 300}));
    return *m_view;
  }
  std::u16string PutVideo() {
    return Put(u"clip.3gp", test_support::ReadFileBytes(test_support::CorpusPath("media/h263-qcif-amrnb.3gp")));
  }
  bool HasButton(WORD command) {
    RECT rect{};
    return platform::controls::ToolbarButtonRect(m_view->Toolbar(), command, &rect);
  }
  int32_t EngineState() { return Video_GetState(m_view->Engine()); }
  // The kind the engine library reports, chosen through the shared video engine.
  static void SetEngineKind(int32_t kind) {
    Video_SetConfig(ULC_Global::GetGlobal()->InitVideoInstance(), engine_config::kEngineKind, kind);
  }

  HWND m_parent = nullptr;
  std::unique_ptr<CVideoView> m_view;
  int m_idleResets = 0;
};

TEST_F(VideoViewTest, APathThatDoesNotExistIsRefusedAndShowsNothing) {
  CVideoView& view = MakeView();
  EXPECT_FALSE(view.Load(u"\\My Documents\\none.3gp", m_parent, true));
  EXPECT_TRUE(view.LoadFailed());
  EXPECT_TRUE(view.ShowsNothing());
  EXPECT_EQ(view.Still(), nullptr);
}

TEST_F(VideoViewTest, WithoutAutoPlayTheFirstFrameIsShownAndPlayStartsTheVideoKeepingTheDeviceAwake) {
  CVideoView& view = MakeView();
  ASSERT_TRUE(view.Load(PutVideo().c_str(), m_parent, false));
  platform::automation::PumpUntilIdle();
  ASSERT_FALSE(view.LoadFailed());
  ASSERT_NE(view.Still(), nullptr);
  EXPECT_EQ(view.VideoSize().cx, 176);
  EXPECT_EQ(view.VideoSize().cy, 144);
  EXPECT_EQ(view.Duration(), 3000);
  EXPECT_TRUE(HasButton(kPlayCommand));
  EXPECT_FALSE(view.KeepAwakeRunning());

  SendMessageW(view.GetHandle(), WM_COMMAND, kPlayCommand, 0);
  EXPECT_EQ(EngineState(), engine_state::kPlaying);
  EXPECT_TRUE(HasButton(kPauseCommand));
  EXPECT_FALSE(HasButton(kPlayCommand));
  EXPECT_TRUE(view.KeepAwakeRunning());
  platform::automation::AdvanceClock(1000);
  EXPECT_GE(view.Position(), 900);
}

TEST_F(VideoViewTest, WhileAVideoPlaysTheIdleTimerIsResetEveryKeepAwakePeriod) {
  // Ten seconds of video, made by ffmpeg: the corpus's videos are all shorter than one period.
  const std::filesystem::path host = m_device.Host(std::u16string(kPartFolder) + u"long.mp4");
  ASSERT_TRUE(test_support::ToolOutput("ffmpeg", "ffmpeg",
                                       "-loglevel error -y -f lavfi -i testsrc=size=176x144:rate=10:duration=10 "
                                       "-c:v mpeg4 -f mp4 " + test_support::ShellQuoted(host.string())));
  CVideoView& view = MakeView();
  ASSERT_TRUE(view.Load((std::u16string(kPartFolder) + u"long.mp4").c_str(), m_parent, true));
  platform::automation::PumpUntilIdle();
  ASSERT_EQ(EngineState(), engine_state::kPlaying);
  platform::automation::AdvanceClock(4246);
  EXPECT_EQ(m_idleResets, 0);
  platform::automation::AdvanceClock(1);
  EXPECT_EQ(m_idleResets, 1);
  platform::automation::AdvanceClock(4247);
  EXPECT_EQ(m_idleResets, 2);
  SendMessageW(view.GetHandle(), WM_COMMAND, kPauseCommand, 0);
  platform::automation::AdvanceClock(5000);
  EXPECT_EQ(m_idleResets, 2);
}

TEST_F(VideoViewTest, PausingKeepsThePausedFrameAndStoppingShowsTheFirstFrameAgain) {
  CVideoView& view = MakeView();
  ASSERT_TRUE(view.Load(PutVideo().c_str(), m_parent, true));
  platform::automation::PumpUntilIdle();
  ASSERT_EQ(EngineState(), engine_state::kPlaying);
  platform::automation::AdvanceClock(1500);
  SendMessageW(view.GetHandle(), WM_COMMAND, kPauseCommand, 0);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(EngineState(), engine_state::kPaused);
  EXPECT_FALSE(view.KeepAwakeRunning());
  EXPECT_TRUE(HasButton(kPlayCommand));
  ASSERT_NE(view.PausedPicture(), nullptr);
  // The frame at 1.5 s is not the first frame.
  const std::size_t bytes = view.Still()->header.biSizeImage;
  EXPECT_TRUE(bytes != view.PausedPicture()->header.biSizeImage ||
              std::memcmp(DibPixels(view.Still()), DibPixels(view.PausedPicture()), bytes) != 0);

  SendMessageW(view.GetHandle(), WM_COMMAND, kVideoStopCommand, 0);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(EngineState(), engine_state::kIdle);
  EXPECT_EQ(view.PausedPicture(), nullptr);
  EXPECT_NE(view.Still(), nullptr);
  EXPECT_TRUE(HasButton(kPlayCommand));
  // Play after stop opens the file again and plays from the start.
  SendMessageW(view.GetHandle(), WM_COMMAND, kPlayCommand, 0);
  EXPECT_EQ(EngineState(), engine_state::kPlaying);
}

// The input panel coming up (setting 224) covers the video as losing the focus does; other
// settings, and a video that does not play, are left as they are. An engine of the kind that plays
// without stills (the library's own) is left to play on; the other kinds are paused.
TEST_F(VideoViewTest, TheInputPanelOrLostFocusPausesAPlayingVideoUnlessTheEnginePlaysWithoutStills) {
  const PauseCase cases[] = {
      {"input panel", WM_SETTINGCHANGE, 224, video_engine_type::kNeedsStill, true},
      {"lost focus", WM_KILLFOCUS, 0, video_engine_type::kNeedsStill, true},
      {"another setting", WM_SETTINGCHANGE, 0x2A, video_engine_type::kNeedsStill, false},
      {"the setting next to it", WM_SETTINGCHANGE, 225, video_engine_type::kNeedsStill, false},
      {"input panel, engine without stills", WM_SETTINGCHANGE, 224, video_engine_type::kPlaysWithoutStill, false},
      {"lost focus, engine without stills", WM_KILLFOCUS, 0, video_engine_type::kPlaysWithoutStill, false},
      {"lost focus, own player window", WM_KILLFOCUS, 0, video_engine_type::kOwnPlayer, true},
  };
  const std::u16string path = PutVideo();
  for (const PauseCase& each : cases) {
    SetEngineKind(each.kind);
    CVideoView& view = MakeView();
    ASSERT_TRUE(view.Load(path.c_str(), m_parent, true)) << each.what;
    platform::automation::PumpUntilIdle();
    ASSERT_EQ(EngineState(), engine_state::kPlaying) << each.what;
    SendMessageW(view.GetHandle(), each.message, each.wParam, 0);
    platform::automation::PumpUntilIdle();
    EXPECT_EQ(EngineState(), each.pauses ? engine_state::kPaused : engine_state::kPlaying) << each.what;
    EXPECT_EQ(view.KeepAwakeRunning(), !each.pauses) << each.what;
    EXPECT_EQ(HasButton(kPlayCommand), each.pauses) << each.what;
    EXPECT_EQ(view.PausedPicture() != nullptr, each.pauses) << each.what;
    if (each.pauses) {
      // A second notice finds nothing playing: a paused video stays paused, not resumed.
      SendMessageW(view.GetHandle(), WM_SETTINGCHANGE, 224, 0);
      platform::automation::PumpUntilIdle();
      EXPECT_EQ(EngineState(), engine_state::kPaused) << each.what;
    }
    SendMessageW(view.GetHandle(), WM_COMMAND, kVideoStopCommand, 0);
    m_view.reset();
  }
}

// The menu bar's close (-522) is passed on to the parent as 1294 only after its open (-521).
TEST_F(VideoViewTest, AMenuBarThatOpenedAndClosedIsToldToTheParentOnce) {
  CVideoView& view = MakeView();
  const auto notify = [&](int code) {
    NMHDR notice{};
    notice.hwndFrom = view.GetHandle();
    notice.code = static_cast<UINT>(code);
    SendMessageW(view.GetHandle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
    platform::automation::PumpUntilIdle();
  };
  notify(-522);
  EXPECT_TRUE(ParentMessages().empty());
  notify(-521);
  EXPECT_TRUE(ParentMessages().empty());
  notify(-522);
  EXPECT_EQ(ParentMessages(), std::vector<UINT>{WM_VIDEO_VIEW_MENU});
  notify(-522);
  notify(-400);
  EXPECT_EQ(ParentMessages(), std::vector<UINT>{WM_VIDEO_VIEW_MENU});
  EXPECT_EQ(WM_VIDEO_VIEW_MENU, 1294u);
}

TEST_F(VideoViewTest, TheEndReturnsToTheStillAndTellsTheParent) {
  CVideoView& view = MakeView();
  ASSERT_TRUE(view.Load(PutVideo().c_str(), m_parent, true));
  platform::automation::PumpUntilIdle();
  platform::automation::AdvanceClock(3500);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(EngineState(), engine_state::kIdle);
  EXPECT_FALSE(view.KeepAwakeRunning());
  EXPECT_TRUE(view.ShowsNothing());
  EXPECT_EQ(view.Progress()->Position(), 0);
  EXPECT_TRUE(HasButton(kPlayCommand));
  EXPECT_EQ(ParentMessages(), std::vector<UINT>{WM_VIDEO_VIEW_ENDED});
  EXPECT_EQ(m_idleResets, 0);  // three seconds are less than one keep-awake period
}

TEST_F(VideoViewTest, AFileTheEngineCannotOpenIsNotPlayedAndShowsItsNameOnWhite) {
  CVideoView& view = MakeView();
  ASSERT_TRUE(view.Load(Put(u"broken.3gp", std::string(4000, '\x5a')).c_str(), m_parent, true));
  platform::automation::PumpUntilIdle();
  EXPECT_TRUE(view.LoadFailed());
  EXPECT_NE(EngineState(), engine_state::kPlaying);
  EXPECT_FALSE(view.KeepAwakeRunning());
  SendMessageW(view.GetHandle(), WM_COMMAND, kPlayCommand, 0);
  EXPECT_NE(EngineState(), engine_state::kPlaying);
  const std::filesystem::path png = m_device.root() / "broken.png";
  ASSERT_TRUE(platform::automation::Screenshot(png));
  // The corner of the video area is white; the name is drawn in its middle.
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, 5, 5) & 0xFFFFFF, 0xFFFFFFu);
  ReleaseDC(nullptr, screen);
}

// The player dialog takes its owner's title and plays at once. Losing the focus or the mode pauses
// the video; so does losing the activation, except to an engine with a player window of its own,
// which takes the activation when it plays. An engine that plays without stills is left to play on.
TEST_F(VideoViewTest, ThePlayerDialogPausesWhenItLosesTheFocusTheModeOrTheActivation) {
  const PauseCase cases[] = {
      {"lost focus", WM_KILLFOCUS, 0, video_engine_type::kNeedsStill, true},
      {"cancelled mode", WM_CANCELMODE, 0, video_engine_type::kNeedsStill, true},
      {"deactivated", WM_ACTIVATE, WA_INACTIVE, video_engine_type::kNeedsStill, true},
      {"activated", WM_ACTIVATE, WA_ACTIVE, video_engine_type::kNeedsStill, false},
      {"deactivated by the engine's own player", WM_ACTIVATE, WA_INACTIVE, video_engine_type::kOwnPlayer, false},
      {"cancelled mode, own player", WM_CANCELMODE, 0, video_engine_type::kOwnPlayer, true},
      {"deactivated, engine without stills", WM_ACTIVATE, WA_INACTIVE, video_engine_type::kPlaysWithoutStill, false},
  };
  const std::u16string path = PutVideo();
  for (const PauseCase& each : cases) {
    SetEngineKind(each.kind);
    CVideoPlayerDialog dialog{CString(path)};
    bool checked = false;
    platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND window) {
      checked = true;
      EXPECT_EQ(Video_GetState(dialog.View().Engine()), engine_state::kPlaying) << each.what;
      WCHAR title[32] = {};
      GetWindowTextW(window, title, 32);
      EXPECT_EQ(std::u16string_view(title), u"Inbox") << each.what;
      SendMessageW(window, each.message, each.wParam, 0);
      platform::automation::PumpUntilIdle();
      EXPECT_EQ(Video_GetState(dialog.View().Engine()), each.pauses ? engine_state::kPaused : engine_state::kPlaying)
          << each.what;
      EXPECT_EQ(dialog.View().KeepAwakeRunning(), !each.pauses) << each.what;
      PostMessageW(window, WM_COMMAND, 1, 0);
    });
    EXPECT_TRUE(dialog.Run(m_owner)) << each.what;
    EXPECT_TRUE(checked) << each.what;
  }
}

// Done (command 1) and the close message of a closing form (1268) both end the dialog, and neither
// leaves the shared engine playing or holding the file, whether the video played or was paused.
// (Paused through the lost focus, which an engine that needs stills honours.)
TEST_F(VideoViewTest, DoneOrTheCloseMessageEndsThePlayerDialogAndReleasesTheEngine) {
  struct Case {
    const char* what;
    bool pauseFirst;
    bool done;  // otherwise closed by 1268, as when the form closes
  };
  const Case cases[] = {
      {"done while playing", false, true},
      {"done while paused", true, true},
      {"closed while playing", false, false},
      {"closed while paused", true, false},
  };
  const std::u16string path = PutVideo();
  SetEngineKind(video_engine_type::kNeedsStill);
  for (const Case& each : cases) {
    CVideoPlayerDialog dialog{CString(path)};
    int told = -1;
    platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND window) {
      EXPECT_EQ(Video_GetState(dialog.View().Engine()), engine_state::kPlaying) << each.what;
      if (each.pauseFirst) {
        SendMessageW(window, WM_KILLFOCUS, 0, 0);
        platform::automation::PumpUntilIdle();
        EXPECT_EQ(Video_GetState(dialog.View().Engine()), engine_state::kPaused) << each.what;
      }
      if (each.done) {
        PostMessageW(window, WM_COMMAND, 1, 0);
      } else {
        told = CloseProcessDialogs();
      }
    });
    EXPECT_EQ(dialog.Run(m_owner), each.done) << each.what;
    if (!each.done) EXPECT_EQ(told, 1) << each.what;
    EXPECT_EQ(Video_GetState(ULC_Global::GetGlobal()->InitVideoInstance()), engine_state::kIdle) << each.what;
    EXPECT_FALSE(dialog.View().KeepAwakeRunning()) << each.what;
    // The engine is free for the next player: the file loads and plays again at once.
    CVideoView& view = MakeView();
    ASSERT_TRUE(view.Load(path.c_str(), m_parent, true)) << each.what;
    platform::automation::PumpUntilIdle();
    EXPECT_EQ(EngineState(), engine_state::kPlaying) << each.what;
    SendMessageW(view.GetHandle(), WM_COMMAND, kVideoStopCommand, 0);
    m_view.reset();
  }
}

}  // namespace
}  // namespace save_test
