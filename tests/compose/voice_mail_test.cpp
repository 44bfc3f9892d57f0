// The compose form in voice-mail mode, on the virtual clock with a WAV file as the microphone: its
// items, the time it shows, recording the voice message into "voicemsg.amr" (replacing the old
// one), and the check that keeps a voice message without a recording from being closed or sent.
#include <filesystem>
#include <string>
#include <vector>

#include "composer_frame_fixture.h"
#include "forms/compose_opening.h"
#include "forms/composer_recording.h"
#include "forms/record_toolbar.h"
#include "forms/recorder_dialog.h"
#include "platform/kernel/clock.h"
#include "platform/window/screen.h"
#include "ui/golden_compare.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace composer_test {
namespace {

using platform::automation::AdvanceClock;
using platform::automation::SendCommand;

constexpr const char16_t* kNotRecordedOnClose =
    u"No voice message has been recorded (00:00). Record one before closing.";
constexpr const char16_t* kNotRecordedOnSend =
    u"No voice message has been recorded (00:00). Record one before sending.";

class VoiceMailTest : public MicrophoneFrameTest {
 protected:
  CComposerFrame* OpenAs(const char16_t* messageClass) {
    m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
    IMMSForm* form = nullptr;
    EXPECT_EQ(OpenComposeForm(&m_host, m_message.Get(), 0, nullptr, nullptr, m_parent, 0, &form, messageClass), S_OK);
    platform::automation::PumpUntilIdle();
    m_form = static_cast<CComposeForm*>(form);
    return m_form != nullptr ? m_form->Frame() : nullptr;
  }
  CComposerFrame* OpenVoiceMail() { return OpenAs(u"IPM.VoiceMail"); }

  // Records `ms` of the microphone through the item's toolbar; `insert` false cancels the recorder.
  static void Record(CComposerFrame* frame, int ms, bool insert = true) {
    platform::automation::OnWindowAppears(u"Dialog", u"", [ms, insert](HWND recorder) {
      SendCommand(recorder, recorder::kCycle);
      AdvanceClock(static_cast<DWORD>(ms));
      if (!insert) {
        SendCommand(recorder, IDCANCEL);
        return;
      }
      SendCommand(recorder, recorder::kCycle);
      SendCommand(recorder, recorder::kInsert);
    });
    SendCommand(frame->VoiceMailItem()->Toolbar().GetHandle(), record_toolbar::kRecord);
    platform::automation::PumpUntilIdle();
  }
  std::filesystem::path VoiceMessageFile(CComposerFrame* frame) {
    return m_device.Host(std::u16string(frame->Editor()->Model().partFolder.View()) + u"voicemsg.amr");
  }
  std::vector<platform::automation::Prompt> Exclamations() const {
    std::vector<platform::automation::Prompt> found;
    for (const auto& prompt : platform::automation::PromptLog()) {
      if (prompt.style == MB_ICONEXCLAMATION) found.push_back(prompt);
    }
    return found;
  }
};

TEST(VoiceMailTimeText, MinutesAndSecondsToTheNearestSecond) {
  const struct {
    int ms;
    const char16_t* text;
  } cases[] = {
      {0, u"00:00"},     {499, u"00:00"},     {500, u"00:01"},       {1499, u"00:01"},     {59499, u"00:59"},
      {59500, u"01:00"}, {61000, u"01:01"},   {3599499, u"59:59"},   {3600000, u"60:00"},  {-2000, u"00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(VoiceMailTimeText(c.ms), c.text) << c.ms;
}

TEST(VoiceMessagePath, OneNameInTheFolderWithTheRecordTypesFormat) {
  EXPECT_EQ(VoiceMessagePath(u"\\Temp\\m1\\", 1), u"\\Temp\\m1\\voicemsg.amr");
  EXPECT_EQ(VoiceMessagePath(u"\\Temp\\m1\\", 7), u"\\Temp\\m1\\voicemsg.amr");
  EXPECT_EQ(VoiceMessagePath(u"\\Temp\\m1\\", 0), u"\\Temp\\m1\\voicemsg.qcp");
}

TEST_F(VoiceMailTest, AVoiceMessageIsItsRecordingAboveATextAndShowsNoTimeYet) {
  CComposerFrame* frame = OpenVoiceMail();
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(frame->IsVoiceMailMode());
  ASSERT_NE(frame->VoiceMailItem(), nullptr);
  ASSERT_NE(frame->TextItem(), nullptr);
  EXPECT_EQ(frame->VisualItem(), nullptr);
  EXPECT_EQ(frame->AudioItem(), nullptr);
  WCHAR className[32] = {};
  GetClassNameW(frame->VoiceMailItem()->GetHandle(), className, 32);
  EXPECT_EQ(std::u16string(className), u"VoiceMailItem");
  RECT voice{}, text{};
  GetWindowRect(frame->VoiceMailItem()->GetHandle(), &voice);
  GetWindowRect(frame->TextItem()->GetHandle(), &text);
  EXPECT_GT(text.top, voice.bottom) << "the text stands below the recording";
  EXPECT_EQ(text.left, voice.left);
  EXPECT_EQ(frame->VoiceMailItem()->TimeText(), u"00:00");
  EXPECT_TRUE(frame->VoiceMailItem()->RecordingName().IsEmpty());

  // An MMS form keeps its three items and has no voice-mail item.
  CloseForm();
  CComposerFrame* mms = OpenAs(u"IPM.MMS");
  ASSERT_NE(mms, nullptr);
  EXPECT_EQ(mms->VoiceMailItem(), nullptr);
  EXPECT_NE(mms->AudioItem(), nullptr);
  EXPECT_NE(mms->VisualItem(), nullptr);
}

TEST_F(VoiceMailTest, RecordingWritesVoicemsgIntoTheMessageFolderAndShowsItsLength) {
  CComposerFrame* frame = OpenVoiceMail();
  ASSERT_NE(frame, nullptr);
  Record(frame, 1000);
  const Slide& slide = frame->Editor()->CurrentSlide();
  ASSERT_TRUE(slide.audio && slide.audio->part);
  EXPECT_EQ(slide.audio->part->fileName, u"voicemsg.amr");
  ASSERT_TRUE(std::filesystem::exists(VoiceMessageFile(frame)));
  EXPECT_EQ(ReadFileBytes(VoiceMessageFile(frame)).substr(0, 6), "#!AMR\n");
  EXPECT_TRUE(frame->VoiceMailItem()->HoldsRecording());
  EXPECT_EQ(frame->VoiceMailItem()->RecordingName(), u"voicemsg.amr");
  EXPECT_EQ(frame->VoiceMailItem()->TimeText(), u"00:01");
  EXPECT_FALSE(frame->IsBusy());

  // A second recording takes the same name: the old message goes first.
  const auto firstSize = std::filesystem::file_size(VoiceMessageFile(frame));
  Record(frame, 2000);
  ASSERT_TRUE(frame->Editor()->CurrentSlide().audio);
  EXPECT_EQ(frame->Editor()->CurrentSlide().audio->part->fileName, u"voicemsg.amr");
  EXPECT_GT(std::filesystem::file_size(VoiceMessageFile(frame)), firstSize);
  EXPECT_EQ(frame->VoiceMailItem()->TimeText(), u"00:02");
  std::size_t parts = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VoiceMessageFile(frame).parent_path())) {
    parts += entry.path().extension() == ".amr" ? 1 : 0;
  }
  EXPECT_EQ(parts, 1u) << "one voice message, not a numbered second one";
}

TEST_F(VoiceMailTest, ACancelledNewRecordingLeavesNoSlideSoundWithoutItsFile) {
  CComposerFrame* frame = OpenVoiceMail();
  ASSERT_NE(frame, nullptr);
  Record(frame, 2000);
  ASSERT_TRUE(frame->Editor()->CurrentSlide().audio);
  Record(frame, 1000, false);
  // The old message was deleted before recording; the slide must not go on naming it.
  EXPECT_FALSE(std::filesystem::exists(VoiceMessageFile(frame)));
  EXPECT_FALSE(frame->Editor()->CurrentSlide().audio.has_value());
  EXPECT_FALSE(frame->VoiceMailItem()->HoldsRecording());
  EXPECT_EQ(frame->VoiceMailItem()->TimeText(), u"00:00");
}

// What the voice-message check lets through, for closing (keeping, command 1) and for sending.
TEST_F(VoiceMailTest, TheVoiceMessageCheckTable) {
  enum class Content { kNothing, kRecording, kChosenSound };
  const struct Case {
    const char* name;
    const char16_t* messageClass;
    Content content;
    const char16_t* to;  // typed into To; null leaves the header untouched
    UINT command;
    const char16_t* refusal;  // null: the check passes
  } cases[] = {
      {"an MMS form has no voice-mail item", u"IPM.MMS", Content::kNothing, u"+14255550100", composer_command::kCloseKeep,
       nullptr},
      {"untouched and empty, closing", u"IPM.VoiceMail", Content::kNothing, nullptr, composer_command::kCloseKeep,
       nullptr},
      {"addressed, closing", u"IPM.VoiceMail", Content::kNothing, u"+14255550100", composer_command::kCloseKeep,
       kNotRecordedOnClose},
      {"typed and emptied again, closing", u"IPM.VoiceMail", Content::kNothing, u"", composer_command::kCloseKeep,
       kNotRecordedOnClose},
      {"untouched and empty, sending", u"IPM.VoiceMail", Content::kNothing, nullptr, composer_command::kSend,
       kNotRecordedOnSend},
      {"addressed, sending", u"IPM.VoiceMail", Content::kNothing, u"+14255550100", composer_command::kSend,
       kNotRecordedOnSend},
      {"recorded, closing", u"IPM.VoiceMail", Content::kRecording, u"+14255550100", composer_command::kCloseKeep,
       nullptr},
      {"recorded, sending", u"IPM.VoiceMail", Content::kRecording, u"+14255550100", composer_command::kSend, nullptr},
      {"a named sound, sending", u"IPM.VoiceMail", Content::kChosenSound, u"+14255550100", composer_command::kSend,
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::automation::Reset();
    HostClosed() = 0;
    CComposerFrame* frame = OpenAs(c.messageClass);
    ASSERT_NE(frame, nullptr);
    if (c.content == Content::kRecording) Record(frame, 1500);
    if (c.content == Content::kChosenSound) {
      platform::automation::QueueFileChoice(kSound, u"Audio");
      Command(frame, composer_command::kInsertAudio);
      ASSERT_TRUE(frame->Editor()->CurrentSlide().audio);
    }
    if (c.to != nullptr) {
      HWND to = frame->HeaderWindow()->GetDlgItem(header_field::kTo);
      if (*c.to == 0) {
        SetWindowTextW(to, u"+1");
        platform::automation::PumpUntilIdle();
      }
      SetWindowTextW(to, c.to);
      platform::automation::PumpUntilIdle();
    }
    // Sending a sound-only message asks whether to send it as text; it goes on as MMS.
    platform::automation::QueueAnswer(IDNO);
    Command(frame, static_cast<WORD>(c.command));
    const std::vector<platform::automation::Prompt> refusals = Exclamations();
    if (c.refusal == nullptr) {
      EXPECT_TRUE(refusals.empty());
    } else {
      ASSERT_EQ(refusals.size(), 1u);
      EXPECT_EQ(refusals[0].text, c.refusal);
      EXPECT_EQ(HostClosed(), 0) << "the form stays open";
      EXPECT_NE(frame->Editor(), nullptr);
    }
    if (c.refusal == nullptr && c.command == composer_command::kCloseKeep) EXPECT_EQ(HostClosed(), 1);
    CloseForm();
  }
}

class VoiceMailScreens : public VoiceMailTest,
                         public ::testing::WithParamInterface<platform::window::ScreenGeometry> {
 protected:
  void TearDown() override {
    VoiceMailTest::TearDown();
    platform::window::ResetScreen();
  }
};

TEST_P(VoiceMailScreens, ARecordedVoiceMessageAboveItsText) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  const GoldenFolders folders = ComposerGoldenFolders(screen.width, screen.height);
  const std::filesystem::path& drawn = folders.drawn;
  const std::filesystem::path& references = folders.references;
  CComposerFrame* frame = OpenVoiceMail();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(ui_test::ScreenMatchesReference(drawn, references, "voice_mail_empty.png"));
  Record(frame, 2000);
  TypeInto(frame->TextItem()->Edit(), u"Call me back");
  EXPECT_TRUE(ui_test::ScreenMatchesReference(drawn, references, "voice_mail_recorded.png"));
}

INSTANTIATE_TEST_SUITE_P(Densities, VoiceMailScreens,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
}  // namespace composer_test
