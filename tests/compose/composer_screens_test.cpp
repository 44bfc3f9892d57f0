// The composer's screens at both common densities, compared with reference pictures a person has
// looked at: a slide with a picture and its text under a filled-in header, the soft-key menu open,
// and the slide sorter over two slides. Leaving the sorter gives the frame back as it was, title
// bar included. The pictures drawn are kept under the build folder (compose-golden/<size>/);
// MMSFORM_UPDATE_GOLDEN=1 makes the run replace the references with them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "composer_frame_fixture.h"
#include "engines/media_shutdown.h"
#include "forms/composer_commands.h"
#include "platform/controls/menu_api.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/controls/popup_menu.h"
#include "platform/controls/shell_title_bar.h"
#include "platform/kernel/clock.h"
#include "platform/window/screen.h"
#include "ui/golden_compare.h"

namespace {

using namespace composer_test;

class ComposerScreens : public ComposerFrameTest,
                        public ::testing::WithParamInterface<platform::window::ScreenGeometry> {
 protected:
  void SetUp() override {
    platform::UseVirtualClock(true);
    ComposerFrameTest::SetUp();
    DestroyTitleBar();
  }
  void TearDown() override {
    ComposerFrameTest::TearDown();
    DestroyTitleBar();
    // The sorter's thumbnails take the process's video engine, which the module's end releases.
    ShutDownMediaEngines();
    platform::window::ResetScreen();
    platform::UseVirtualClock(false);
  }

  // The shell's bar stays once made, at the width of the screen it was made on: each screen gets its own.
  static void DestroyTitleBar() {
    if (HWND bar = platform::controls::ShellTitleBar()) DestroyWindow(bar);
  }

  // Writes the screen as `name` and compares it with its reference.
  void Shoot(const std::string& name) { EXPECT_TRUE(ui_test::ScreenMatchesReference(m_drawn, m_references, name)); }

  std::filesystem::path m_drawn;
  std::filesystem::path m_references;
};

TEST_P(ComposerScreens, APictureSlideTheMenuAndTheSorterMatchTheirReferences) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
  m_drawn = test_support::BinaryPath("compose-golden/" + size);
  m_references = test_support::SourcePath("tests/compose/golden/" + size);
  std::filesystem::create_directories(m_drawn);
  WriteFileBytes(m_device.Host(u"\\My Documents\\My Pictures\\photo.jpg"),
                 ReadFileBytes(test_support::CorpusPath("jpeg/canon-eos-40d.jpg")));
  // The messaging application's inbox, whose title the frame's host window takes over.
  WNDCLASSW inboxClass{};
  inboxClass.lpfnWndProc = &DefWindowProcW;
  inboxClass.lpszClassName = u"Inbox.MainWnd";
  RegisterClassW(&inboxClass);
  HWND inbox = CreateWindowExW(0, u"Inbox.MainWnd", u"Inbox", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(platform::controls::ShellTitleText(), u"Inbox");
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+14255550100");
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kSubject), u"Holiday");
  TypeInto(frame->TextItem()->Edit(), u"The view from the hotel");
  frame->SendMessage(composer_message::kAddObject, media_type::kNone,
                     reinterpret_cast<LPARAM>(u"\\My Documents\\My Pictures\\photo.jpg"));
  platform::automation::PumpUntilIdle();
  ASSERT_TRUE(frame->Editor()->CurrentSlide().image.has_value());
  ASSERT_TRUE(frame->VisualItem()->HasPicture());
  Shoot("compose_frame.png");

  HMENU bar = reinterpret_cast<HMENU>(SendMessageW(frame->MenuBar(), SHCMBM_GETMENU, 0, 0));
  ASSERT_NE(bar, nullptr);
  HMENU menu = GetSubMenu(bar, 1);
  ASSERT_NE(menu, nullptr);
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  RECT keys{};
  GetWindowRect(frame->MenuBar(), &keys);
  HWND popup = platform::controls::OpenPopupMenuWindow(menu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, keys.right, keys.top,
                                                       frame->GetHandle());
  ASSERT_NE(popup, nullptr);
  Shoot("compose_menu.png");
  DestroyWindow(popup);

  // A second, empty slide after the picture, and the sorter over both with the second current.
  Command(frame, composer_command::kAddSlide);
  ASSERT_EQ(frame->Editor()->Count(), 2);
  const std::u16string titleBefore = platform::controls::ShellTitleText();
  bool shown = false;
  const platform::automation::HookId hook = platform::automation::OnWindowAppears(u"CpSlideWnd", u"", [&](HWND list) {
    shown = true;
    Shoot("slide_sorter.png");
    PostMessageW(GetParent(list), WM_COMMAND, IDOK, 0);
  });
  Command(frame, composer_command::kOrganiseSlides);
  platform::automation::RemoveHook(hook);
  ASSERT_TRUE(shown);
  platform::automation::AdvanceClock(200);  // the frame's focus timer
  EXPECT_EQ(GetActiveWindow(), frame->GetHandle());
  // The bar names what the person is in, never the frame's own window name.
  EXPECT_EQ(platform::controls::ShellTitleText(), titleBefore);
  EXPECT_NE(platform::controls::ShellTitleText(), u"ComposerFrame");
  EXPECT_EQ(frame->Editor()->Current(), 1);
  Shoot("after_sorter.png");
  DestroyWindow(inbox);
}

INSTANTIATE_TEST_SUITE_P(Densities, ComposerScreens,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
