// The on-screen message-class selector of a CDMA device: a new message asks Flix or MMS first in a
// window of the frame's own; the answer (a tap, Enter, the OK soft key) makes the message that
// kind, Cancel closes the form, and while it is open the focus stays with it and nothing is
// written.
#include <filesystem>
#include <string>

#include "composer_frame_fixture.h"
#include "forms/class_selector.h"
#include "forms/compose_form.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/file_api.h"
#include "platform/window/screen.h"
#include "ui/golden_compare.h"

namespace composer_test {
namespace {

class ClassSelectorWindowTest : public ComposerFrameTest {
 protected:
  void SetUp() override {
    ComposerFrameTest::SetUp();
    SetConfigValue(numeric_setting::kIsSupportCDMA, 1, FALSE);
  }

  static POINT CentreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  static bool Inside(HWND window, HWND ancestor) {
    for (HWND at = window; at != nullptr; at = GetParent(at)) {
      if (at == ancestor) return true;
    }
    return false;
  }
  // What the store holds for the message, read through a binding of its own.
  CString StoredClass() {
    MessageBinding other;
    return LoadBinding(other, m_message.Get(), nullptr, 5) ? other.Message().MessageClassText() : CString();
  }
};

TEST_F(ClassSelectorWindowTest, ANewMessageAsksFirstAndATapMakesItThatKind) {
  const struct Case {
    const char* name;
    int button;
    bool flix;
    const char16_t* messageClass;
  } cases[] = {
      {"Flix", class_selector::kFlixButton, true, u"IPM.MMS.Flix"},
      {"MMS", class_selector::kMmsButton, false, u"IPM.MMS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CComposerFrame* frame = OpenNew();
    ASSERT_NE(frame, nullptr);
    CClassSelector* selector = frame->ClassSelector();
    ASSERT_NE(selector, nullptr) << "a new message on a CDMA phone";
    EXPECT_EQ(GetWindow(selector->GetHandle(), GW_OWNER), frame->GetHandle());
    EXPECT_TRUE(IsWindowVisible(selector->GetHandle()));
    EXPECT_EQ(GetForegroundWindow(), selector->GetHandle());
    EXPECT_TRUE(IsWindowVisible(frame->GetHandle())) << "the message waits behind it";
    const HWND selectorWindow = selector->GetHandle();

    ASSERT_TRUE(platform::automation::Tap(CentreOf(selector->GetDlgItem(c.button))));
    platform::automation::PumpUntilIdle();
    EXPECT_EQ(frame->ClassSelector(), nullptr);
    EXPECT_FALSE(IsWindow(selectorWindow)) << "the selector goes away";
    EXPECT_EQ(frame->IsFlixMode(), c.flix);
    EXPECT_EQ(frame->MessageClass(), c.messageClass);
    EXPECT_EQ(StoredClass(), c.messageClass);
    EXPECT_EQ(frame->CdmaType(), c.flix ? 1 : 2);
    EXPECT_EQ(GetForegroundWindow(), frame->GetHandle()) << "the person goes on in the message";
    CloseForm();
  }
}

TEST_F(ClassSelectorWindowTest, KeysChooseTheFocusedKind) {
  // Enter presses the button with the focus, which is MMS as the selector opens; the OK soft key
  // takes whichever has the focus.
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(frame->ClassSelector(), nullptr);
  EXPECT_EQ(GetFocus(), frame->ClassSelector()->GetDlgItem(class_selector::kMmsButton));
  platform::automation::PressKey(VK_RETURN);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(frame->ClassSelector(), nullptr);
  EXPECT_FALSE(frame->IsFlixMode());
  EXPECT_EQ(frame->CdmaType(), 2);
  CloseForm();

  frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  CClassSelector* selector = frame->ClassSelector();
  ASSERT_NE(selector, nullptr);
  SetFocus(selector->GetDlgItem(class_selector::kFlixButton));
  platform::automation::SendCommand(selector->GetHandle(), IDOK);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(frame->ClassSelector(), nullptr);
  EXPECT_TRUE(frame->IsFlixMode());
  EXPECT_EQ(StoredClass(), u"IPM.MMS.Flix");
}

TEST_F(ClassSelectorWindowTest, IsNotOfferedWithoutCdmaNorToAFormOpenedForOneInsertion) {
  SetConfigValue(numeric_setting::kIsSupportCDMA, 0, FALSE);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->ClassSelector(), nullptr);
  CloseForm();

  // A form opened to run one insertion goes straight to its picker.
  SetConfigValue(numeric_setting::kIsSupportCDMA, 1, FALSE);
  const ComposeDataBlock block{{nullptr, nullptr, u"/AT", nullptr, u"/C-C"}, 0};
  platform::automation::QueueFileChoice(u"");
  m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  m_form = OpenForm(&m_host, m_message.Get(), 0, nullptr, &block);
  ASSERT_NE(m_form, nullptr);
  EXPECT_EQ(m_form->Frame()->ClassSelector(), nullptr);
}

TEST_F(ClassSelectorWindowTest, KeepsTheFocusWhileItIsOpen) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  CClassSelector* selector = frame->ClassSelector();
  ASSERT_NE(selector, nullptr);
  // The frame is brought forward (as a tap on its title would) and told it has the focus.
  SetForegroundWindow(frame->GetHandle());
  SetFocus(frame->GetHandle());
  frame->SendMessage(WM_SETFOCUS, 0, 0);
  platform::automation::AdvanceClock(500);
  platform::automation::PumpUntilIdle();
  EXPECT_TRUE(Inside(GetFocus(), selector->GetHandle())) << "not a field of the message behind it";
}

TEST_F(ClassSelectorWindowTest, ClosingBeforeAChoiceWritesNothing) {
  // Command 1 closes keeping the message; even with a recipient typed behind the selector nothing
  // is checked, asked or written: the person has not started the message.
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(frame->ClassSelector(), nullptr);
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"5551234");
  const CString dataFile = m_form->Binding()->DataFile();
  HostClosed() = 0;
  Command(frame, composer_command::kCloseKeep);
  EXPECT_TRUE(Prompts().empty());
  EXPECT_EQ(HostClosed(), 1);
  EXPECT_EQ(GetFileAttributesW(dataFile), INVALID_FILE_ATTRIBUTES) << "no message file";
  MessageBinding stored;
  ASSERT_TRUE(LoadBinding(stored, m_message.Get(), nullptr, 5));
  EXPECT_EQ(stored.Message().ToList(), u"");
  EXPECT_EQ(m_form->Frame()->Outcome().status, 0);
  CloseForm();

  // The selector's Cancel soft key closes the form the same way.
  frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(frame->ClassSelector(), nullptr);
  HostClosed() = 0;
  platform::automation::SendCommand(frame->ClassSelector()->GetHandle(), IDCANCEL);
  platform::automation::PumpUntilIdle();
  EXPECT_TRUE(Prompts().empty());
  EXPECT_EQ(HostClosed(), 1);
  EXPECT_EQ(GetFileAttributesW(m_form->Binding()->DataFile()), INVALID_FILE_ATTRIBUTES);
}

class ClassSelectorScreens : public ClassSelectorWindowTest,
                             public ::testing::WithParamInterface<platform::window::ScreenGeometry> {
 protected:
  void SetUp() override {
    platform::UseVirtualClock(true);
    ClassSelectorWindowTest::SetUp();
  }
  void TearDown() override {
    ClassSelectorWindowTest::TearDown();
    platform::window::ResetScreen();
    platform::UseVirtualClock(false);
  }
};

TEST_P(ClassSelectorScreens, TheSelectorOverANewMessageMatchesItsReference) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(frame->ClassSelector(), nullptr);
  const GoldenFolders folders = ComposerGoldenFolders(screen.width, screen.height);
  EXPECT_TRUE(ui_test::ScreenMatchesReference(folders.drawn, folders.references, "class_selector.png"));
}

INSTANTIATE_TEST_SUITE_P(Densities, ClassSelectorScreens,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
}  // namespace composer_test
