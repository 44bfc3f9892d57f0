// The template chooser as a person meets it: offered over a new empty message and on the templates
// command, not for replies, messages with recipients or devices set against it; its keys and taps;
// choosing a stored template (made with the form's own save-as-template command) or the custom
// entry; deleting a template; and a form closed while the chooser is open.
#include "forms/template_chooser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "composer_frame_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/message_import.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_messages.h"
#include "platform/kernel/file_api.h"
#include "platform/window/window_styles.h"
#include "platform/window/screen.h"
#include "ui/golden_compare.h"
#include "ui/window_layout.h"

namespace {

using namespace composer_test;

constexpr LPCWSTR kPicture = u"\\My Documents\\My Pictures\\dot.png";

std::u16string WindowText(HWND window) {
  WCHAR text[128] = {};
  GetWindowTextW(window, text, 128);
  return text;
}

std::u16string ClassOf(HWND window) {
  WCHAR name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

POINT ScreenCentre(HWND window, RECT rect) {
  POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(window, &centre);
  return centre;
}

class TemplateChooserTest : public ComposerFrameTest {
 protected:
  void SetUp() override {
    ComposerFrameTest::SetUp();
    SetConfigValue(numeric_setting::kAlwaysChooseCustom, 0, FALSE);
  }

  // A template stored through the compose form's save-as-template command: a message with the
  // subject as its name, a slide per text and the picture on the first one.
  void SaveTemplate(std::u16string_view subject, const std::vector<std::u16string>& texts, LPCWSTR picture) {
    SetConfigValue(numeric_setting::kAlwaysChooseCustom, 1, FALSE);
    CComposerFrame* frame = OpenNew();
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->TemplateChooser(), nullptr);
    if (!subject.empty()) TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kSubject), subject);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (i > 0) Command(frame, composer_command::kAddSlide);
      frame->SendMessage(composer_message::kAddObject, media_type::kInlineText, reinterpret_cast<LPARAM>(texts[i].c_str()));
    }
    if (picture != nullptr) {
      frame->GoToSlide(0);
      ASSERT_TRUE(frame->AddDeviceFile(picture, media_type::kNone));
    }
    platform::automation::QueueAnswer(IDOK, u"saved as a template");
    Command(frame, composer_command::kSaveAsTemplate);
    EXPECT_EQ(platform::automation::PendingAnswers(), 0u) << "the template was not saved";
    CloseForm();
    SetConfigValue(numeric_setting::kAlwaysChooseCustom, 0, FALSE);
  }

  // The store as the chooser opens it.
  TemplateStore Store() {
    TemplateStore store;
    const CString folder = GetFolderSetting(folder_setting::kTemplatePath);
    EXPECT_TRUE(store.Open(folder, u"Templates", TemplateIndexName(folder.View())));
    return store;
  }

  void Choose(CComposerFrame* frame, std::u16string_view name) {
    CTemplateChooser* chooser = frame->TemplateChooser();
    ASSERT_NE(chooser, nullptr);
    const int index = chooser->List().IndexOf(name);
    ASSERT_GE(index, 0) << "no entry of that name";
    chooser->List().Select(index);
    platform::automation::SendCommand(chooser->GetHandle(), composer_command::kChooseTemplate);
    platform::automation::PumpUntilIdle();
  }

  bool DeviceFileExists(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }
};

TEST_F(TemplateChooserTest, ANewEmptyMessageOpensTheChooserOverTheHiddenFrame) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  CTemplateChooser* chooser = frame->TemplateChooser();
  ASSERT_NE(chooser, nullptr);
  EXPECT_FALSE(IsWindowVisible(frame->GetHandle()));
  EXPECT_TRUE(IsWindowVisible(chooser->GetHandle()));
  EXPECT_EQ(WindowText(chooser->GetHandle()), u"Templates");
  EXPECT_EQ(ClassOf(chooser->List().GetHandle()), u"TemplateWnd");
  EXPECT_EQ(GetFocus(), chooser->List().GetHandle());
  // A new device's templates in their index order, the custom entry first and selected.
  CTemplateWnd& list = chooser->List();
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(chooser->Store().Entries()[0].flag, 1u);
  EXPECT_EQ(list.IndexOf(u"Templates"), 0);
  EXPECT_EQ(list.IndexOf(u"Birthday"), 1);
  EXPECT_EQ(list.IndexOf(u"Meeting"), 2);
  EXPECT_EQ(list.IndexOf(u"Running late"), 3);
  EXPECT_EQ(list.Selection(), 0);
  EXPECT_TRUE(Prompts().empty());
}

TEST_F(TemplateChooserTest, RepliesMessagesWithRecipientsAndDevicesSetAgainstItOpenTheFrameAtOnce) {
  const std::string retrieved = ReadFileBytes(test_support::CorpusPath("mms/me-retrieve-1.mms"));
  struct Case {
    const char* why;
    std::function<void()> arrange;
    DWORD mode = 0;
    const ComposeDataBlock* block = nullptr;
  };
  const ComposeDataBlock recipients{{u"+14255550100", nullptr, nullptr, nullptr, nullptr}, 0};
  const ComposeDataBlock subject{{nullptr, nullptr, nullptr, u"Hello", nullptr}, 0};
  const Case cases[] = {
      {"a recipient", [] {}, 0, &recipients},
      {"a subject", [] {}, 0, &subject},
      {"a reply", [] {}, 1},
      {"AlwaysChooseCustom", [] { SetConfigValue(numeric_setting::kAlwaysChooseCustom, 1, FALSE); }},
      {"another message class", [] { SetConfigString(string_setting::kMMSClassName, u"IPM.MMS.Other", FALSE); }},
      {"CDMA without Flix", [] { SetConfigValue(numeric_setting::kIsSupportCDMA, 1, FALSE); }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.why);
    test.arrange();
    std::unique_ptr<StoreMessage> source;
    if (test.mode == 1) {
      ImportResult imported = ImportMessageFile(retrieved, PR_INBOX_FOLDER_ENTRYID);
      ASSERT_TRUE(imported.ok) << imported.error;
      source = std::make_unique<StoreMessage>(std::make_shared<const EntryId>(imported.entryId));
      source->Subject();
    }
    m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
    m_form = OpenForm(&m_host, m_message.Get(), test.mode, source ? source->Get() : nullptr, test.block);
    ASSERT_NE(m_form, nullptr);
    CComposerFrame* frame = m_form->Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->TemplateChooser(), nullptr);
    EXPECT_TRUE(IsWindowVisible(frame->GetHandle()));
    EXPECT_EQ(FindWindowW(u"Dialog", u"Templates"), nullptr);
    CloseForm();
    SetConfigValue(numeric_setting::kAlwaysChooseCustom, 0, FALSE);
    SetConfigString(string_setting::kMMSClassName, u"IPM.MMS", FALSE);
    SetConfigValue(numeric_setting::kIsSupportCDMA, 0, FALSE);
  }
}

TEST_F(TemplateChooserTest, ChoosingATemplateLoadsItsSlidesAndNameAndTheCustomEntryEmptiesKeepingRecipients) {
  SaveTemplate(u"Holiday", {u"Sun", u"Sea"}, kPicture);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  CTemplateChooser* chooser = frame->TemplateChooser();
  ASSERT_NE(chooser, nullptr);
  ASSERT_EQ(chooser->List().Count(), 5);
  // A tap selects a template, a second tap on it chooses it.
  const POINT cell = ScreenCentre(chooser->List().GetHandle(), chooser->List().CellRect(1));
  platform::automation::Tap(cell);
  EXPECT_EQ(chooser->List().Selection(), 1);
  EXPECT_NE(frame->TemplateChooser(), nullptr);
  platform::automation::Tap(cell);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(frame->TemplateChooser(), nullptr);
  EXPECT_TRUE(IsWindowVisible(frame->GetHandle()));
  ASSERT_NE(frame->Editor(), nullptr);
  EXPECT_EQ(frame->Editor()->Count(), 1);
  EXPECT_TRUE(frame->Editor()->CurrentSlide().image.has_value());
  EXPECT_EQ(frame->Editor()->SlideText(), u"Happy birthday! Have a wonderful day.");
  EXPECT_EQ(frame->Header()->FieldText(header_field::kSubject), u"Birthday");
  EXPECT_TRUE(frame->Editor()->IsChanged()) << "a message with objects in it differs from what is stored";
  EXPECT_EQ(frame->Outcome().status, 4);

  // A template the form saved itself comes back slide for slide.
  platform::automation::QueueAnswer(IDOK, u"replaced by the template");
  Command(frame, composer_command::kTemplates);
  Choose(frame, u"Holiday");
  ASSERT_NE(frame->Editor(), nullptr);
  ASSERT_EQ(frame->Editor()->Count(), 2);
  EXPECT_TRUE(frame->Editor()->Model().slides.front().image.has_value());
  EXPECT_EQ(frame->Editor()->SlideText(), u"Sun");
  frame->GoToSlide(1);
  EXPECT_EQ(frame->Editor()->SlideText(), u"Sea");
  EXPECT_EQ(frame->Header()->FieldText(header_field::kSubject), u"Holiday");

  // Recipients typed, then the templates command: the custom entry gives an empty message and
  // no subject, with the recipients kept.
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+14255550100");
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kCc), u"ann@example.com");
  platform::automation::QueueAnswer(IDOK, u"replaced by the template");
  Command(frame, composer_command::kTemplates);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_EQ(frame->Editor(), nullptr) << "the message is dropped once the user agreed";
  Choose(frame, u"Templates");
  EXPECT_EQ(frame->TemplateChooser(), nullptr);
  ASSERT_NE(frame->Editor(), nullptr);
  EXPECT_EQ(frame->Editor()->Count(), 1);
  EXPECT_FALSE(SlideHasObject(frame->Editor()->CurrentSlide()));
  EXPECT_EQ(frame->Header()->FieldText(header_field::kTo), u"+14255550100");
  EXPECT_EQ(frame->Header()->FieldText(header_field::kCc), u"ann@example.com");
  EXPECT_EQ(frame->Header()->FieldText(header_field::kSubject), u"");
  EXPECT_FALSE(DeviceFileExists(frame->Binding()->DataFile())) << "the custom entry deletes the message's data file";
}

TEST_F(TemplateChooserTest, ATemplateWithoutAUsableFileOrNameGivesAnEmptyMessageOrSubject) {
  SaveTemplate(u"", {u"no subject"}, nullptr);
  SaveTemplate(u"Gone", {u"lost"}, nullptr);
  TemplateStore store = Store();
  ASSERT_NE(store.Find(u"(Untitled)"), nullptr) << "a message without a subject is saved under 40272";
  ASSERT_NE(store.Find(u"Gone"), nullptr);
  ASSERT_TRUE(DeleteFileW(store.Find(u"Gone")->messageFile));

  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  Choose(frame, u"(Untitled)");
  ASSERT_NE(frame->Editor(), nullptr);
  EXPECT_EQ(frame->Editor()->SlideText(), u"no subject");
  EXPECT_EQ(frame->Header()->FieldText(header_field::kSubject), u"");

  platform::automation::QueueAnswer(IDOK, u"replaced by the template");
  Command(frame, composer_command::kTemplates);
  Choose(frame, u"Gone");
  ASSERT_NE(frame->Editor(), nullptr);
  EXPECT_TRUE(IsWindowVisible(frame->GetHandle()));
  EXPECT_EQ(frame->Editor()->Count(), 1);
  EXPECT_TRUE(frame->Editor()->SlideText().IsEmpty()) << "not the message that was there before";
  EXPECT_EQ(frame->Header()->FieldText(header_field::kSubject), u"") << "no template's name over an empty message";
}

TEST_F(TemplateChooserTest, TheTemplatesCommandAsksAndCancellingEitherQuestionKeepsAMessage) {
  SetConfigValue(numeric_setting::kAlwaysChooseCustom, 1, FALSE);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+14255550100");
  TypeInto(frame->TextItem()->Edit(), u"keep me");
  platform::automation::QueueAnswer(IDCANCEL, u"replaced by the template");
  Command(frame, composer_command::kTemplates);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_EQ(frame->TemplateChooser(), nullptr);
  ASSERT_NE(frame->Editor(), nullptr);
  frame->FlushSlideEdits();
  EXPECT_EQ(frame->Editor()->SlideText(), u"keep me");

  // OK drops the message; cancelling the chooser then gives the message back as it was stored
  // (never, for this one) with the recipients typed.
  platform::automation::QueueAnswer(IDOK, u"replaced by the template");
  Command(frame, composer_command::kTemplates);
  ASSERT_NE(frame->TemplateChooser(), nullptr);
  platform::automation::SendCommand(frame->TemplateChooser()->GetHandle(), composer_command::kCancel);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(frame->TemplateChooser(), nullptr);
  ASSERT_NE(frame->Editor(), nullptr);
  EXPECT_TRUE(frame->Editor()->SlideText().IsEmpty());
  EXPECT_EQ(frame->Header()->FieldText(header_field::kTo), u"+14255550100");
  EXPECT_TRUE(IsWindowVisible(frame->GetHandle()));
}

// The chooser lowers the input panel; applying a template or cancelling the chooser gives the
// person the panel as it was before the chooser opened, whether the chooser came with the new
// message or from the templates command in the middle of writing.
TEST_F(TemplateChooserTest, LeavingTheChooserRestoresTheInputPanelItLowered) {
  const struct {
    const char* name;
    DWORD before;
    bool fromCommand;
    bool cancel;
  } cases[] = {
      {"new message, panel up, applied", SIPF_ON, false, false},
      {"new message, panel down, applied", SIPF_OFF, false, false},
      {"templates command, panel up, applied", SIPF_ON, true, false},
      {"templates command, panel down, applied", SIPF_OFF, true, false},
      {"new message, panel up, cancelled", SIPF_ON, false, true},
      {"new message, panel down, cancelled", SIPF_OFF, false, true},
      {"templates command, panel up, cancelled", SIPF_ON, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetConfigValue(numeric_setting::kAlwaysChooseCustom, c.fromCommand ? 1 : 0, FALSE);
    SipShowIM(c.before);
    CComposerFrame* frame = OpenNew();
    ASSERT_NE(frame, nullptr);
    if (c.fromCommand) {
      ASSERT_EQ(frame->TemplateChooser(), nullptr);
      SipShowIM(c.before);  // as the person left it while writing
      platform::automation::QueueAnswer(IDOK, u"replaced by the template");
      Command(frame, composer_command::kTemplates);
    }
    ASSERT_NE(frame->TemplateChooser(), nullptr);
    EXPECT_EQ(SipGetState(), static_cast<DWORD>(SIPF_OFF)) << "the chooser lowers the panel";
    if (c.cancel) {
      platform::automation::SendCommand(frame->TemplateChooser()->GetHandle(), composer_command::kCancel);
      platform::automation::PumpUntilIdle();
    } else {
      Choose(frame, u"Birthday");
      EXPECT_EQ(frame->Header()->FieldText(header_field::kSubject), u"Birthday");
    }
    EXPECT_EQ(frame->TemplateChooser(), nullptr);
    EXPECT_TRUE(IsWindowVisible(frame->GetHandle()));
    EXPECT_EQ(SipGetState(), c.before);
    CloseForm();
  }
}

TEST_F(TemplateChooserTest, KeysMoveTheSelectionThroughTheGridAndStopAtItsEnds) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  CTemplateChooser* chooser = frame->TemplateChooser();
  ASSERT_NE(chooser, nullptr);
  CTemplateWnd& list = chooser->List();
  ASSERT_EQ(list.Count(), 4);
  ASSERT_EQ(list.Columns(), 2) << "two cells side by side on a 240-pixel screen";
  struct Step {
    UINT key;
    int selection;
  };
  for (const Step& step : {Step{VK_RIGHT, 1}, Step{VK_RIGHT, 2}, Step{VK_RIGHT, 3}, Step{VK_RIGHT, 3},
                           Step{VK_UP, 1}, Step{VK_DOWN, 3}, Step{VK_LEFT, 2}, Step{VK_UP, 0}, Step{VK_LEFT, 0},
                           Step{VK_UP, 0}}) {
    platform::automation::PressKey(step.key);
    EXPECT_EQ(list.Selection(), step.selection) << step.key;
  }
  EXPECT_GT(list.CellRect(2).top, list.CellRect(1).top) << "the third entry starts a new row";
  // The action key chooses, as "Use" does.
  platform::automation::PressKey(VK_RIGHT);
  platform::automation::PressKey(VK_RETURN);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(frame->TemplateChooser(), nullptr);
  EXPECT_EQ(frame->Header()->FieldText(header_field::kSubject), u"Birthday");
}

TEST_F(TemplateChooserTest, DeletingATemplateAsksThenRemovesBothFilesButNeverTheCustomEntry) {
  SaveTemplate(u"Holiday", {u"Sun"}, kPicture);
  TemplateStore before = Store();
  ASSERT_NE(before.Find(u"Holiday"), nullptr);
  const TemplateEntry saved = *before.Find(u"Holiday");
  ASSERT_TRUE(DeviceFileExists(saved.messageFile));
  ASSERT_TRUE(DeviceFileExists(saved.previewFile)) << "the picture gave a preview";

  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  CTemplateChooser* chooser = frame->TemplateChooser();
  ASSERT_NE(chooser, nullptr);
  chooser->List().Select(chooser->List().IndexOf(u"Holiday"));
  ASSERT_EQ(chooser->List().Selection(), 4);
  platform::automation::QueueAnswer(IDNO, u"Delete this template");
  platform::automation::SendCommand(chooser->GetHandle(), composer_command::kDeleteTemplate);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_EQ(chooser->List().Count(), 5);
  EXPECT_TRUE(DeviceFileExists(saved.messageFile));

  platform::automation::QueueAnswer(IDYES, u"Delete this template");
  platform::automation::SendCommand(chooser->GetHandle(), composer_command::kDeleteTemplate);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_EQ(chooser->List().Count(), 4);
  EXPECT_EQ(chooser->List().Selection(), 3) << "the selection stays within the list";
  EXPECT_FALSE(DeviceFileExists(saved.messageFile));
  EXPECT_FALSE(DeviceFileExists(saved.previewFile));
  EXPECT_EQ(Store().Find(u"Holiday"), nullptr) << "the index was rewritten";

  const std::size_t asked = platform::automation::PromptLog().size();
  chooser->List().Select(0);
  platform::automation::SendCommand(chooser->GetHandle(), composer_command::kDeleteTemplate);
  EXPECT_EQ(platform::automation::PromptLog().size(), asked) << "the custom entry is not offered for deleting";
  EXPECT_EQ(chooser->List().Count(), 4);
  EXPECT_TRUE(DeviceFileExists(chooser->Store().Entries()[0].previewFile));
}

TEST_F(TemplateChooserTest, TheFormClosesWithTheChooserOpenAndAChooserClosedFromOutsideShowsTheFrame) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(frame->TemplateChooser(), nullptr);
  // Another form closing closes every dialog of the process: the message is shown, not lost.
  CloseProcessDialogs(0);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(frame->TemplateChooser(), nullptr);
  EXPECT_TRUE(IsWindowVisible(frame->GetHandle()));
  ASSERT_NE(frame->Editor(), nullptr);

  platform::automation::QueueAnswer(IDOK, u"replaced by the template");
  Command(frame, composer_command::kTemplates);
  ASSERT_NE(frame->TemplateChooser(), nullptr);
  Command(frame, composer_command::kCloseAsk);
  EXPECT_EQ(HostClosed(), 1);
  EXPECT_EQ(FindWindowW(u"Dialog", u"Templates"), nullptr) << "the frame closes its chooser when it closes";
  CloseForm();
  EXPECT_EQ(FindWindowW(kComposerFrameClass, nullptr), nullptr);
}

class TemplateChooserScreens : public TemplateChooserTest,
                               public ::testing::WithParamInterface<platform::window::ScreenGeometry> {
 protected:
  void TearDown() override {
    TemplateChooserTest::TearDown();
    platform::window::ResetScreen();
  }
};

// Two templates, one of the device's own with its preview and one without a picture, after the
// custom entry, which is selected. The picture drawn is kept under the build folder
// (template-pictures/<size>/); MMSFORM_UPDATE_GOLDEN=1 makes the run replace the reference with it.
TEST_P(TemplateChooserScreens, TwoTemplatesAndTheCustomEntryMatchTheirReference) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  TemplateStore store = Store();
  ASSERT_TRUE(store.Remove(u"Meeting"));
  ASSERT_TRUE(store.Remove(u"Running late"));
  SaveTemplate(u"Party at eight", {u"Come at eight"}, nullptr);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(frame->TemplateChooser(), nullptr);
  ASSERT_EQ(frame->TemplateChooser()->List().Count(), 3);

  const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
  const std::filesystem::path drawn = test_support::BinaryPath("template-pictures/" + size);
  const std::filesystem::path references = test_support::SourcePath("tests/compose/golden/" + size);
  std::filesystem::create_directories(drawn);
  EXPECT_TRUE(ui_test::ScreenMatchesReference(drawn, references, "template_chooser.png"));
}

INSTANTIATE_TEST_SUITE_P(Densities, TemplateChooserScreens,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
