// The composer's header with a contact picked into To, and the two send-options dialogs the frame
// opens (a message's and the defaults, each with relative and with absolute times), drawn at both
// common densities and compared with reference pictures a person has looked at. The pictures
// drawn are kept under the build folder (compose-golden/<size>/); MMSFORM_UPDATE_GOLDEN=1 makes
// the run replace the references with them.
#include <filesystem>
#include <string>

#include "composer_frame_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/composer_commands.h"
#include "forms/composer_header_wnd.h"
#include "platform/controls/control_messages.h"
#include "platform/kernel/clock.h"
#include "platform/pim/pim_store.h"
#include "platform/window/screen.h"
#include "ui/golden_compare.h"

namespace {

using namespace composer_test;

class ComposerGolden : public ComposerFrameTest,
                       public ::testing::WithParamInterface<platform::window::ScreenGeometry> {
 protected:
  void SetUp() override {
    platform::UseVirtualClock(true);
    ComposerFrameTest::SetUp();
  }
  void TearDown() override {
    ComposerFrameTest::TearDown();
    platform::window::ResetScreen();
    platform::UseVirtualClock(false);
  }
};

TEST_P(ComposerGolden, TheHeaderWithAPickedContactAndBothSendOptionsDialogs) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  const GoldenFolders folders = ComposerGoldenFolders(screen.width, screen.height);
  const std::filesystem::path& drawn = folders.drawn;
  const std::filesystem::path& references = folders.references;
  platform::pim::Contact ann;
  ann.givenName = "Ann";
  ann.familyName = "Lee";
  ann.mobile = "+358 40 111 1111";
  ASSERT_TRUE(platform::pim::PimStore::ForCurrentDevice()->Add(ann));

  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  platform::automation::QueueAnswer(1);
  frame->HeaderWindow()->SendMessage(WM_COMMAND, MAKEWPARAM(header_field::kToButton, BN_CLICKED), 0);
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kSubject), u"Lunch");
  std::string error;
  ASSERT_TRUE(platform::automation::Screenshot(drawn / "header_contact.png", &error)) << error;
  EXPECT_TRUE(ui_test::MatchesReference(drawn, references, "header_contact.png"));

  struct Dialog {
    const char* name;
    WORD command;
    bool absolute;
  };
  const Dialog dialogs[] = {{"send_options_message_relative.png", composer_command::kSendOptions, false},
                            {"send_options_message_absolute.png", composer_command::kSendOptions, true},
                            {"send_options_defaults_relative.png", composer_command::kDefaultSendOptions, false},
                            {"send_options_defaults_absolute.png", composer_command::kDefaultSendOptions, true}};
  for (const Dialog& dialog : dialogs) {
    SetConfigValue(numeric_setting::kSendExpireTimeInAbsolute, dialog.absolute, FALSE);
    SetConfigValue(numeric_setting::kSendDeliveryTimeInAbsolute, dialog.absolute, FALSE);
    bool written = false;
    const platform::automation::HookId hook = platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND shown) {
      written = platform::automation::Screenshot(drawn / dialog.name, &error);
      SendMessageW(shown, WM_COMMAND, IDCANCEL, 0);
    });
    Command(frame, dialog.command);
    platform::automation::RemoveHook(hook);
    ASSERT_TRUE(written) << dialog.name << ": " << error;
    EXPECT_TRUE(ui_test::MatchesReference(drawn, references, dialog.name));
  }
}

INSTANTIATE_TEST_SUITE_P(Densities, ComposerGolden,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
