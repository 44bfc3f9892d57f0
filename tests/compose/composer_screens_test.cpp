// The composer's screen at both common densities: the header with a recipient and a subject, a
// slide with a picture and its text, and the soft-key menu open. The pictures are written under
// the build folder (compose-pictures/<size>/) for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "composer_frame_fixture.h"
#include "platform/controls/menu_api.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/controls/popup_menu.h"
#include "platform/window/screen.h"
#include "transport/resource_module.h"

namespace {

using namespace composer_test;

class ComposerScreens : public ComposerFrameTest,
                        public ::testing::WithParamInterface<platform::window::ScreenGeometry> {
 protected:
  void TearDown() override {
    ComposerFrameTest::TearDown();
    platform::window::ResetScreen();
  }
};

TEST_P(ComposerScreens, AFrameWithHeaderPictureTextAndTheMenuOpen) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  WriteFileBytes(m_device.Host(u"\\My Documents\\My Pictures\\photo.jpg"),
                 ReadFileBytes(test_support::CorpusPath("jpeg/canon-eos-40d.jpg")));
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+14255550100");
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kSubject), u"Holiday");
  TypeInto(frame->TextItem()->Edit(), u"The view from the hotel");
  frame->SendMessage(composer_message::kAddObject, media_type::kNone,
                     reinterpret_cast<LPARAM>(u"\\My Documents\\My Pictures\\photo.jpg"));
  platform::automation::PumpUntilIdle();
  ASSERT_TRUE(frame->Editor()->CurrentSlide().image.has_value());
  EXPECT_TRUE(frame->VisualItem()->HasPicture());

  const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
  const std::filesystem::path drawn = test_support::BinaryPath("compose-pictures/" + size);
  std::filesystem::create_directories(drawn);
  std::string error;
  ASSERT_TRUE(platform::automation::Screenshot(drawn / "compose_frame.png", &error)) << error;

  HMENU bar = reinterpret_cast<HMENU>(SendMessageW(frame->MenuBar(), SHCMBM_GETMENU, 0, 0));
  ASSERT_NE(bar, nullptr);
  HMENU menu = GetSubMenu(bar, 1);
  ASSERT_NE(menu, nullptr);
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  HWND popup = platform::controls::OpenPopupMenuWindow(menu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, screen.width,
                                                       screen.height - screen.height / 12, frame->GetHandle());
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(platform::automation::Screenshot(drawn / "compose_menu.png", &error)) << error;
  DestroyWindow(popup);
  EXPECT_TRUE(std::filesystem::file_size(drawn / "compose_menu.png") > 0);
}

INSTANTIATE_TEST_SUITE_P(Densities, ComposerScreens,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
