// The composer's insert commands driven headless: the file, row or text a person would pick comes
// from the automation's queues, and what is inserted is read back from the current slide.
#include <filesystem>

#include "composer_frame_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/composer_recording.h"
#include "forms/media_picker.h"
#include "forms/text_edit_window.h"
#include "forms/text_list_picker.h"
#include "platform/controls/control_messages.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/controls/menu_api.h"
#include "platform/phone/call_log.h"
#include "platform/pim/pim_store.h"
#include "platform/registry/registry.h"
#include "ui/emoticon_player.h"

namespace composer_test {
namespace {

using platform::automation::QueueAnswer;
using platform::automation::QueueFileChoice;

constexpr const char16_t* kPicture = u"\\My Documents\\My Pictures\\dot.png";

class InsertCommandsTest : public ComposerFrameTest {
 protected:
  // The folder each file chooser opened in, in order.
  std::vector<std::u16string> ChooserFolders() const {
    std::vector<std::u16string> folders;
    for (const auto& prompt : platform::automation::PromptLog()) {
      if (prompt.kind == u"FileChooser") folders.push_back(prompt.text);
    }
    return folders;
  }
  void WriteDeviceFile(std::u16string_view path, const std::string& bytes) {
    std::filesystem::create_directories(m_device.Host(path).parent_path());
    WriteFileBytes(m_device.Host(path), bytes);
  }
  static std::vector<std::u16string> ListRows(HWND dialog) {
    HWND list = GetDlgItem(dialog, media_picker::kListControl);
    std::vector<std::u16string> rows;
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      WCHAR text[MAX_PATH] = {};
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      rows.emplace_back(text);
    }
    return rows;
  }
  void SetCameraSource(std::u16string_view path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Camera", 0, nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::u16string value(path);
    RegSetValueExW(key, u"StillSource", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
  }
};

TEST_F(InsertCommandsTest, APickedPictureGoesIntoTheSlideAndItsFolderIsRememberedUntilItIsGone) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  WriteDeviceFile(u"\\Photos\\dot.png", ReadFileBytes(test_support::CorpusPath("png/basn2c16.png")));
  QueueFileChoice(u"\\Photos\\dot.png", u"Picture or Video");
  Command(frame, composer_command::kInsertVisual);
  EXPECT_TRUE(frame->Editor()->CurrentSlide().image.has_value());
  EXPECT_FALSE(frame->IsBusy());
  EXPECT_EQ(GetLastFolder(last_folder::kCurVisualPath), u"\\Photos\\");

  // The next picker opens there; once the folder is gone, in the pictures folder.
  Command(frame, composer_command::kAddSlide);
  QueueFileChoice(u"");
  Command(frame, composer_command::kInsertVisual);
  std::filesystem::remove_all(m_device.Host(u"\\Photos"));
  QueueFileChoice(u"");
  Command(frame, composer_command::kInsertVisual);
  EXPECT_EQ(ChooserFolders(), (std::vector<std::u16string>{u"\\My Documents\\My Pictures\\", u"\\Photos\\",
                                                           u"\\My Documents\\My Pictures\\"}));
  EXPECT_FALSE(frame->Editor()->CurrentSlide().image.has_value()) << "cancelled pickers insert nothing";
}

TEST_F(InsertCommandsTest, TheVisualFilterFollowsTheMessageKind) {
  WriteDeviceFile(u"\\My Documents\\My Pictures\\clip.3gp", std::string(64, '\0'));
  WriteDeviceFile(u"\\My Documents\\My Pictures\\song.wma", std::string(64, '\0'));
  std::filesystem::create_directories(m_device.Host(u"\\My Documents\\My Pictures\\Holiday"));
  // Pictures and videos without CDMA; on a CDMA phone pictures for an MMS message (type 2), and
  // videos with what the media player plays for a Flix message (type 1).
  struct Case {
    const char* name;
    LONG cdma;
    bool flix;
    std::vector<std::u16string> rows;
  };
  const Case cases[] = {
      {"without CDMA", 0, false, {u"..", u"[Holiday]", u"clip.3gp", u"dot.png"}},
      {"MMS message", 1, false, {u"..", u"[Holiday]", u"dot.png"}},
      {"Flix message", 1, true, {u"..", u"[Holiday]", u"clip.3gp", u"song.wma"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetConfigValue(numeric_setting::kIsSupportCDMA, c.cdma, FALSE);
    CComposerFrame* frame = OpenNew();
    ASSERT_NE(frame, nullptr);
    if (c.flix) {
      frame->SendMessage(composer_message::kClassSelected, 0, 0);
      platform::automation::PumpUntilIdle();
    }
    ASSERT_EQ(frame->CdmaType(), c.cdma == 0 ? 0 : c.flix ? 1 : 2);
    std::vector<std::u16string> rows;
    const platform::automation::HookId hook =
        platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) { rows = ListRows(dialog); });
    if (c.flix) {
      QueueFileChoice(u"");
    } else {
      // What the list does not offer cannot be picked either.
      QueueFileChoice(u"\\My Documents\\My Pictures\\song.wma");
      QueueAnswer(IDCANCEL);
    }
    Command(frame, composer_command::kInsertVisual);
    platform::automation::RemoveHook(hook);
    EXPECT_EQ(rows, c.rows);
    EXPECT_FALSE(frame->Editor()->CurrentSlide().video.has_value());
    EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
    CloseForm();
  }
}

// A form opened for one insertion (a creation request: compose mode 0) runs it once it shows: the
// picker, the contact chooser, the appointment-or-task chooser or the attachment picker opens over
// the shown frame. A full composer, or a request for nothing, opens none of them.
struct StartActionCase {
  const char* name;
  LPCWSTR creation;
  LPCWSTR marker;
  const char16_t* chooser;  // the kind of the prompt that opens; empty for none
  const char16_t* title;    // a file chooser's title
  const char16_t* pick;     // the file a person picks there; empty cancels
  int attachments;          // what the message carries then
};

class StartActionTest : public InsertCommandsTest, public ::testing::WithParamInterface<StartActionCase> {};

TEST_P(StartActionTest, AFormOpenedForOneInsertionStartsItOnceShown) {
  const StartActionCase& c = GetParam();
  const std::u16string chooser = c.chooser, title = c.title, pick = c.pick;
  WriteDeviceFile(u"\\My Documents\\notes.bin", std::string(32, 'x'));
  if (chooser == u"FileChooser") QueueFileChoice(pick, title);
  if (chooser == u"ContactChooser") {
    platform::pim::Contact ann;
    ann.givenName = "Ann";
    ann.mobile = "+358 40 111 1111";
    ASSERT_TRUE(platform::pim::PimStore::ForCurrentDevice()->Add(ann));
    QueueAnswer(1);
  }
  if (chooser == u"CalendarChooser") {
    platform::pim::Task call;
    call.subject = "Call the bank";
    ASSERT_TRUE(platform::pim::PimStore::ForCurrentDevice()->Add(call));
    QueueAnswer(1, u"1. Call the bank - task\n");
  }
  m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  const ComposeDataBlock block{{nullptr, nullptr, c.creation, nullptr, c.marker}, 0};
  m_form = OpenForm(&m_host, m_message.Get(), 0, nullptr, &block);
  ASSERT_NE(m_form, nullptr);
  CComposerFrame* frame = m_form->Frame();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(IsWindowVisible(frame->GetHandle()));
  const auto& prompts = platform::automation::PromptLog();
  if (chooser.empty()) {
    EXPECT_TRUE(prompts.empty());
  } else {
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].kind, chooser);
    EXPECT_EQ(prompts[0].caption.find(title), 0u) << CString(prompts[0].caption.c_str()).ToUtf8();
  }
  EXPECT_EQ(platform::automation::PendingFileChoices() + platform::automation::PendingAnswers(), 0u);
  EXPECT_FALSE(frame->IsBusy());
  EXPECT_EQ(frame->Editor()->CurrentSlide().image.has_value(), pick == kPicture);
  EXPECT_EQ(CountAttachments(frame->Editor()->Model()), c.attachments);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, StartActionTest,
    ::testing::Values(
        StartActionCase{"picture", u"/PV", u"/C-C", u"FileChooser", u"Insert Picture or Video", kPicture, 0},
        StartActionCase{"audio", u"/au", u"/c-c", u"FileChooser", u"Insert Audio", u"", 0},
        StartActionCase{"attachment", u"/AT", u"/C-C", u"FileChooser", u"Insert Attachment",
                        u"\\My Documents\\notes.bin", 1},
        StartActionCase{"contact", u"/VC", u"/C-C", u"ContactChooser", u"", u"", 1},
        StartActionCase{"calendar", u"/VR", u"/C-C", u"CalendarChooser", u"Appointments and Tasks", u"", 1},
        StartActionCase{"unmarked", u"/PV", nullptr, u"", u"", u"", 0},
        StartActionCase{"none", nullptr, nullptr, u"", u"", u"", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A form opened for one insertion shows only the single item with what the message holds; "Done"
// (40746) makes it the full composer over the message in memory, the insertion kept. A full
// composer has no single item and ignores the command.
TEST_F(InsertCommandsTest, DoneTurnsAFormOpenedForOneInsertionIntoTheFullComposerKeepingTheInsertion) {
  struct Case {
    const char* name;
    LPCWSTR marker;
    bool single;
  };
  SetConfigValue(numeric_setting::kAlwaysChooseCustom, 1, FALSE);  // no template chooser over the frame
  for (const Case& c : {Case{"one insertion", u"/C-C", true}, Case{"full composer", nullptr, false}}) {
    SCOPED_TRACE(c.name);
    if (c.single) QueueFileChoice(kPicture, u"Insert Picture or Video");
    m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
    const ComposeDataBlock block{{nullptr, nullptr, u"/PV", nullptr, c.marker}, 0};
    m_form = OpenForm(&m_host, m_message.Get(), 0, nullptr, &block);
    ASSERT_NE(m_form, nullptr);
    CComposerFrame* frame = m_form->Frame();
    ASSERT_NE(frame, nullptr);
    if (c.single) {
      ASSERT_NE(frame->SimpleItem(), nullptr);
      EXPECT_EQ(frame->VisualItem(), nullptr);
      EXPECT_EQ(frame->TextItem(), nullptr);
      ASSERT_TRUE(frame->Editor()->CurrentSlide().image.has_value());
      EXPECT_EQ(frame->SimpleItem()->Caption(), frame->Editor()->CurrentSlide().image->part->fileName);
      RECT item{}, client{};
      GetWindowRect(frame->SimpleItem()->GetHandle(), &item);
      frame->GetClientRect(&client);
      EXPECT_GT(item.bottom - item.top, client.bottom / 2) << "the single item fills the slide area";
      frame->Editor()->SetChanged(false);
    }
    Command(frame, composer_command::kLeaveStartAction);
    EXPECT_EQ(frame->SimpleItem(), nullptr);
    ASSERT_NE(frame->VisualItem(), nullptr);
    ASSERT_NE(frame->TextItem(), nullptr);
    EXPECT_TRUE(IsWindowVisible(frame->VisualItem()->GetHandle()));
    EXPECT_EQ(frame->VisualItem()->HasPicture(), c.single) << "the inserted picture stays";
    EXPECT_EQ(frame->Editor()->IsChanged(), c.single);
    // Once full, the form stays so: a second Done changes nothing.
    Command(frame, composer_command::kLeaveStartAction);
    EXPECT_NE(frame->TextItem(), nullptr);
    TypeInto(frame->TextItem()->Edit(), u"and a word");
    frame->FlushSlideEdits();
    EXPECT_EQ(frame->Editor()->SlideText(), u"and a word");
    CloseForm();
  }
}

TEST_F(InsertCommandsTest, FiltersTakeEitherSpellingAndAStarTakesEverything) {
  const FileFilter pictures(u"*.jpg; *.PNG;.gif;;jpeg;");
  EXPECT_TRUE(pictures.Accepts(u"a.JPG"));
  EXPECT_TRUE(pictures.Accepts(u"b.png"));
  EXPECT_TRUE(pictures.Accepts(u"c.gif"));
  EXPECT_FALSE(pictures.Accepts(u"d.jpeg")) << "a bare word is no extension";
  EXPECT_FALSE(pictures.Accepts(u"png"));
  EXPECT_FALSE(FileFilter(u"").Accepts(u"a.png"));
  EXPECT_TRUE(FileFilter(u"*.*").Accepts(u"anything"));
}

TEST_F(InsertCommandsTest, PickedAudioGoesIntoTheSlideAndTheSoundFolderIsRemembered) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  WriteDeviceFile(u"\\Tones\\tone.amr", "#!AMR\n");
  QueueFileChoice(u"\\Tones\\tone.amr", u"Audio");
  Command(frame, composer_command::kInsertAudio);
  EXPECT_TRUE(frame->Editor()->CurrentSlide().audio.has_value());
  EXPECT_EQ(GetLastFolder(last_folder::kCurSoundPath), u"\\Tones\\");
}

TEST_F(InsertCommandsTest, TheRecordingBudgetNeverWrapsAndRecordingsNeverOverwrite) {
  EXPECT_EQ(InsertAudioBudget(300 * 1024, 1024, 0), 298 * 1024);
  EXPECT_EQ(InsertAudioBudget(300 * 1024, 300 * 1024, 4096), 3072) << "the audio it replaces counts";
  EXPECT_EQ(InsertAudioBudget(1000, 5000, 0), 0) << "a message over the limit leaves nothing";
  WriteDeviceFile(u"\\Parts\\record.amr", "#!AMR\n");
  EXPECT_EQ(RecordingPath(u"\\Parts\\", 1), u"\\Parts\\record_1.amr");
  EXPECT_EQ(RecordingPath(u"\\Parts\\", 0), u"\\Parts\\record.qcp");
}

TEST_F(InsertCommandsTest, TextsEmoticonsAndTheirCancelsGoIntoTheSlideText) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  QueueAnswer(0);  // the texts picker cancelled
  Command(frame, composer_command::kInsertListText);
  EXPECT_TRUE(frame->Editor()->SlideText().IsEmpty());
  QueueAnswer(2);
  Command(frame, composer_command::kInsertListText);
  EXPECT_EQ(frame->Editor()->SlideText(), u"I am on my way.");

  EmoticonPlayer emoticons;
  emoticons.LoadConfiguredSet();
  ASSERT_GT(emoticons.Set().Count(), 0);
  platform::automation::OnWindowAppears(u"Dialog", u"", [](HWND picker) { PostMessageW(picker, WM_COMMAND, IDOK, 0); });
  Command(frame, composer_command::kInsertEmoticon);
  EXPECT_EQ(frame->Editor()->SlideText(), u"I am on my way." + std::u16string(emoticons.Set().Text(0).View()));
  EXPECT_EQ(frame->TextItem()->Text(), frame->Editor()->SlideText()) << "the items were refreshed";
}

TEST_F(InsertCommandsTest, TheCallHistoryLeavesOutCallsWithoutANumberAndGreysSelectWhenEmpty) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  // An empty log: Select is greyed, and the picker can only be cancelled.
  UINT selectState = 0;
  platform::automation::OnWindowAppears(kMenuBarClass, u"", [&](HWND bar) {
    auto* keys = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
    selectState = GetMenuState(keys, text_list_picker::kSelect, MF_BYCOMMAND);
  });
  QueueAnswer(1);
  Command(frame, composer_command::kInsertCallNumber);
  EXPECT_NE(selectState & MF_GRAYED, 0u);
  EXPECT_TRUE(frame->Editor()->SlideText().IsEmpty());

  ASSERT_TRUE(platform::phone::AddCall({u"+14255550100", u"Ann"}));
  HKEY hidden = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\CallLog\\9999999999", 0, nullptr, 0, 0, nullptr, &hidden,
                            nullptr),
            ERROR_SUCCESS);
  const std::u16string name = u"Private";
  RegSetValueExW(hidden, u"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                 static_cast<DWORD>((name.size() + 1) * sizeof(char16_t)));
  RegCloseKey(hidden);
  QueueAnswer(1, u"1. Ann +14255550100\n");
  Command(frame, composer_command::kInsertCallNumber);
  EXPECT_EQ(frame->Editor()->SlideText(), u"\"Ann\"<+14255550100>");
  EXPECT_EQ(platform::automation::PromptLog().back().text, u"1. Ann +14255550100\n") << "the call without a number is left out";

  // With an address field focused, the number goes there as one more recipient, through the
  // header's own checks and separator.
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+12065550199");
  QueueAnswer(1);
  Command(frame, composer_command::kInsertCallNumber);
  EXPECT_EQ(frame->Header()->FieldText(header_field::kTo), u"+12065550199;\"Ann\"<+14255550100>");
}

TEST_F(InsertCommandsTest, TheTextEditorReplacesTheSlideTextAndFormattedTextIsRefused) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  TypeInto(frame->TextItem()->Edit(), u"old words");
  platform::automation::OnWindowAppears(kTextEditWindowClass, u"", [](HWND editor) {
    SetWindowTextW(GetDlgItem(editor, 1002), u"new words");
  });
  QueueAnswer(IDOK);
  Command(frame, composer_command::kEditText);
  EXPECT_EQ(frame->Editor()->SlideText(), u"new words");

  QueueAnswer(IDCANCEL);
  Command(frame, composer_command::kEditText);
  EXPECT_EQ(frame->Editor()->SlideText(), u"new words") << "a cancelled edit changes nothing";

  // Markup text is not this editor's: it says so and opens nothing.
  Slide& slide = frame->Editor()->CurrentSlide();
  ASSERT_TRUE(slide.text && slide.text->part);
  slide.text->part->type = media_type::Make(media_type::kText, 9);
  bool opened = false;
  platform::automation::OnWindowAppears(kTextEditWindowClass, u"", [&](HWND) { opened = true; });
  QueueAnswer(IDOK, u"Formatted text");
  Command(frame, composer_command::kEditText);
  EXPECT_FALSE(opened);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
}

TEST_F(InsertCommandsTest, ASendWhileAPickerIsOpenDoesNothing) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+14255550100");
  bool busy = false;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND) {
    busy = frame->IsBusy();
    frame->SendMessage(WM_COMMAND, composer_command::kSend, 0);
    frame->SendMessage(WM_COMMAND, composer_command::kInsertVisual, 0);
  });
  QueueFileChoice(kPicture);
  Command(frame, composer_command::kInsertVisual);
  EXPECT_TRUE(busy);
  EXPECT_FALSE(SendRequestWritten());
  EXPECT_EQ(HostClosed(), 0);
  EXPECT_EQ(ChooserFolders().size(), 1u) << "a second insert waits for the first";
  EXPECT_TRUE(frame->Editor()->CurrentSlide().image.has_value());
  EXPECT_FALSE(frame->IsBusy());
}

TEST_F(InsertCommandsTest, CaptureWithoutACameraSaysSoAndACapturedPictureIsInserted) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  QueueAnswer(IDOK, u"camera cannot be used");
  Command(frame, composer_command::kCapturePicture);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_FALSE(frame->Editor()->CurrentSlide().image.has_value());

  SetCameraSource(kPicture);
  Command(frame, composer_command::kCapturePicture);
  EXPECT_TRUE(frame->Editor()->CurrentSlide().image.has_value());
  EXPECT_EQ(GetLastFolder(last_folder::kCurVisualPath), u"\\My Documents\\My Pictures\\");
}

}  // namespace
}  // namespace composer_test
