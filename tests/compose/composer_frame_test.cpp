// The composer frame driven as a person and the host drive it: commands, typed text, device files
// added to slides and queued answers. What it saved is read back from the store and the data file.
#include "forms/composer_frame.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "composer_frame_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/compose_form.h"
#include "forms/compose_opening.h"
#include "platform/automation/automation.h"
#include "platform/controls/menu_api.h"
#include "platform/dialog/message_box_window.h"
#include "platform/kernel/clock.h"
#include "platform/window/window_styles.h"
#include "transport/resource_module.h"

namespace {

using namespace composer_test;

TEST_F(ComposerFrameTest, TheFrameOpensShownBelowTheTitleBarWithOneEmptySlide) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(IsWindowVisible(frame->GetHandle()));
  RECT rect{};
  GetWindowRect(frame->GetHandle(), &rect);
  EXPECT_EQ(rect.top, 26);
  EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN) - 52);
  ASSERT_NE(frame->Editor(), nullptr);
  EXPECT_EQ(frame->Editor()->Count(), 1);
  ASSERT_NE(frame->HeaderWindow(), nullptr);
  auto className = [](HWND window) {
    WCHAR name[64] = {};
    GetClassNameW(window, name, 64);
    return std::u16string(name);
  };
  EXPECT_EQ(className(frame->VisualItem()->GetHandle()), u"VisaulItem");
  EXPECT_EQ(className(frame->TextItem()->GetHandle()), u"TextItem");
  EXPECT_EQ(className(frame->AudioItem()->GetHandle()), u"AudioItem");
  EXPECT_EQ(GetParent(frame->TextItem()->GetHandle()), frame->GetHandle());
  EXPECT_NE(frame->MenuBar(), nullptr);
}

TEST_F(ComposerFrameTest, TheFocusTimerLeavesTheFocusInAWindowTheFrameOpenedMeanwhile) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  platform::automation::PumpUntilIdle();
  platform::automation::AdvanceClock(500);
  // The frame gets the focus and starts its timer; before it fires, a picker opens over the frame.
  frame->PostMessage(WM_SETFOCUS, 0, 0);
  platform::automation::PumpUntilIdle();
  HWND picker = CreateWindowExW(0, u"STATIC", u"picker", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, frame->GetHandle(),
                                nullptr, nullptr, nullptr);
  ASSERT_NE(picker, nullptr);
  SetFocus(picker);
  platform::automation::AdvanceClock(500);
  EXPECT_EQ(GetActiveWindow(), picker) << "the frame must not come up behind the person's picker";
  EXPECT_EQ(GetFocus(), picker);
  DestroyWindow(picker);
  platform::automation::PumpUntilIdle();

  // With nothing of the frame's over it, the timer gives the focus to the frame's own field.
  frame->PostMessage(WM_SETFOCUS, 0, 0);
  platform::automation::PumpUntilIdle();
  platform::automation::AdvanceClock(500);
  EXPECT_EQ(GetActiveWindow(), frame->GetHandle());
  EXPECT_TRUE(IsChild(frame->GetHandle(), GetFocus()));
}

TEST_F(ComposerFrameTest, CloseWithOneNeverAsksAndTheOthersAskOnlyWhenChanged) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  for (UINT command : {composer_command::kCloseAsk, composer_command::kCancel, composer_command::kCloseAskOther}) {
    SCOPED_TRACE(command);
    HostClosed() = 0;
    Command(frame, command);
    EXPECT_TRUE(Prompts().empty()) << "nothing changed";
    EXPECT_EQ(HostClosed(), 1);
  }
}

// The frame's focus timer, set when the frame gets the focus back (a popup menu closing), must
// not take the focus from the question the frame then asks: Enter would reach a field instead of
// the box's button. Once the question is answered the focus is back in the form.
TEST_F(ComposerFrameTest, TheFocusTimerLeavesTheFocusWithAnOpenQuestion) {
  platform::UseVirtualClock(true);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  HWND box = platform::dialog::CreateMessageBoxWindow(frame->GetHandle(), u"Save changes?", u"Messages", MB_YESNOCANCEL);
  ASSERT_NE(box, nullptr);
  // As the box's own loop does while it waits for an answer.
  EnableWindow(frame->GetHandle(), FALSE);
  HWND yes = GetDlgItem(box, IDYES);
  SetFocus(yes);
  frame->PostMessage(WM_SETFOCUS, 0, 0);
  platform::automation::PumpUntilIdle();
  platform::automation::AdvanceClock(500);
  EXPECT_EQ(GetFocus(), yes);
  EnableWindow(frame->GetHandle(), TRUE);
  DestroyWindow(box);
  platform::automation::AdvanceClock(200);
  EXPECT_TRUE(IsChild(frame->GetHandle(), GetFocus()));
  platform::UseVirtualClock(false);
}

TEST_F(ComposerFrameTest, AChangedMessageAsksAndCancelStays) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  TypeInto(frame->TextItem()->Edit(), u"hello");
  EXPECT_TRUE(frame->HasChanges());
  platform::automation::QueueAnswer(IDCANCEL, u"Save changes");
  Command(frame, composer_command::kCloseAsk);
  EXPECT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(HostClosed(), 0);
  ASSERT_NE(frame->Editor(), nullptr) << "cancel keeps the message open";
  platform::automation::QueueAnswer(IDNO, u"Save changes");
  Command(frame, composer_command::kCancel);
  EXPECT_EQ(HostClosed(), 1);
  EXPECT_EQ(frame->Editor(), nullptr);
}

// A changed security policy is looked at when the frame gets the focus again: a policy that no
// longer lets the person compose says so, keeps what was written and closes the form; one that
// still does changes nothing.
TEST_F(ComposerFrameTest, APolicyChangeThatForbidsComposingKeepsTheMessageAndCloses) {
  const CString forbidden = transport::LoadResourceString(41134);
  ASSERT_FALSE(forbidden.IsEmpty());
  for (const LONG policy : {0, 1}) {
    SCOPED_TRACE(policy);
    SetConfigValue(numeric_setting::kSecurityPolicy1033, policy, FALSE);
    CComposerFrame* frame = OpenNew();
    ASSERT_NE(frame, nullptr);
    TypeInto(frame->TextItem()->Edit(), u"half a thought");
    const CString dataFile = frame->Binding()->DataFile();
    const std::size_t before = Prompts().size();
    HostClosed() = 0;
    if (policy == 0) platform::automation::QueueAnswer(IDOK, std::u16string(forbidden.View()));
    frame->SendMessage(composer_message::kPolicyChanged, 0, 0);
    frame->SendMessage(WM_SETFOCUS, 0, 0);
    platform::automation::PumpUntilIdle();
    EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
    if (policy == 0) {
      ASSERT_EQ(Prompts().size(), before + 1);
      EXPECT_EQ(Prompts().back(), forbidden.View());
      EXPECT_EQ(HostClosed(), 1);
      EXPECT_NE(ReadFileBytes(m_device.Host(dataFile.View())).find("half a thought"), std::string::npos);
    } else {
      EXPECT_EQ(Prompts().size(), before);
      EXPECT_EQ(HostClosed(), 0);
      ASSERT_NE(frame->Editor(), nullptr);
    }
    CloseForm();
  }
}

TEST_F(ComposerFrameTest, KeepingSavesTheTextAndTheHeaderAndAReopenedMessageShowsThem) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+14255550100");
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kSubject), u"Lunch");
  TypeInto(frame->TextItem()->Edit(), u"at noon");
  frame->SendMessage(composer_message::kAddObject, media_type::kNone,
                     reinterpret_cast<LPARAM>(u"\\My Documents\\My Pictures\\dot.png"));
  platform::automation::PumpUntilIdle();
  ASSERT_TRUE(frame->Editor()->CurrentSlide().image.has_value());
  EXPECT_EQ(frame->Editor()->CurrentSlide().text.has_value(), true) << "the text was taken in first";
  const CString dataFile = frame->Binding()->DataFile();
  Command(frame, composer_command::kCloseKeep);
  EXPECT_TRUE(Prompts().empty());
  EXPECT_EQ(HostClosed(), 1);
  EXPECT_EQ(frame->Outcome().status, 2) << "a saved header change";
  const std::string mms = ReadFileBytes(m_device.Host(dataFile.View()));
  ASSERT_FALSE(mms.empty());
  EXPECT_NE(mms.find("<smil"), std::string::npos);
  EXPECT_NE(mms.find("at noon"), std::string::npos) << "the text part goes out as UTF-8";

  // Opened again as the host reopens a draft (mode 5): the same slide comes back.
  m_form->Close();
  m_form->Release();
  m_form = nullptr;
  IMMSForm* form = nullptr;
  ASSERT_EQ(OpenComposeForm(&m_host, m_message.Get(), 5, nullptr, nullptr, m_parent, 0, &form, u"IPM.MMS"), S_OK);
  platform::automation::PumpUntilIdle();
  m_form = static_cast<CComposeForm*>(form);
  CComposerFrame* again = m_form->Frame();
  ASSERT_NE(again->Editor(), nullptr);
  EXPECT_EQ(again->Editor()->Count(), 1);
  EXPECT_TRUE(again->Editor()->CurrentSlide().image.has_value());
  EXPECT_EQ(again->Editor()->SlideText(), u"at noon");
  EXPECT_EQ(again->Header()->FieldText(header_field::kSubject), u"Lunch");
  EXPECT_EQ(again->Header()->FieldText(header_field::kTo), u"+14255550100");
}

TEST_F(ComposerFrameTest, NoHeaderMeansCloseOnlyTellsTheHost) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  frame->Attach(0, nullptr);
  Command(frame, composer_command::kCloseAsk);
  EXPECT_TRUE(Prompts().empty());
  EXPECT_EQ(HostClosed(), 1);
}

TEST_F(ComposerFrameTest, ThePopupOffersOneItemPerSlideAndGoesWhereChosen) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  Command(frame, composer_command::kAddSlide);
  Command(frame, composer_command::kAddSlide);
  ASSERT_EQ(frame->Editor()->Count(), 3);
  HWND number = GetDlgItem(frame->GetHandle(), 1290);
  RECT control{};
  GetWindowRect(number, &control);
  platform::automation::QueueAnswer(composer_command::kFirstGoTo + 1);
  Command(frame, composer_command::kSlidePopup, MAKELPARAM(control.left + 1, control.top + 1));
  ASSERT_EQ(platform::automation::PromptLog().size(), 1u);
  const std::u16string& items = platform::automation::PromptLog().front().text;
  EXPECT_NE(items.find(u"Slide 3"), std::u16string::npos);
  EXPECT_EQ(items.find(u"Slide 4"), std::u16string::npos);
  EXPECT_EQ(frame->Editor()->Current(), 1);
  // A tap outside the control opens nothing; go-to beyond the last slide does nothing.
  Command(frame, composer_command::kSlidePopup, MAKELPARAM(0, 0));
  EXPECT_EQ(platform::automation::PromptLog().size(), 1u);
  Command(frame, composer_command::kLastGoTo);
  EXPECT_EQ(frame->Editor()->Current(), 1);
}

TEST_F(ComposerFrameTest, AddingBeyondMaxSlidesShowsTheLimit) {
  SetConfigValue(numeric_setting::kMaxSlides, 2, FALSE);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  Command(frame, composer_command::kAddSlide);
  platform::automation::QueueAnswer(IDOK, u"at most 2 slides");
  Command(frame, composer_command::kAddSlide);
  EXPECT_EQ(frame->Editor()->Count(), 2);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
}

TEST_F(ComposerFrameTest, SendWhileBusyDoesNothingAndOtherwiseSubmitsOnce) {
  SetConfigValue(numeric_setting::kNeedCheckMsgSize, 0, FALSE);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+14255550100");
  frame->SendMessage(composer_message::kAddObject, media_type::kNone,
                     reinterpret_cast<LPARAM>(u"\\My Documents\\My Pictures\\dot.png"));
  frame->SetBusy(true);
  Command(frame, composer_command::kSend);
  Command(frame, composer_command::kCloseKeep);
  EXPECT_EQ(HostClosed(), 0);
  EXPECT_FALSE(SendRequestWritten());
  frame->SetBusy(false);
  Command(frame, composer_command::kSend);
  EXPECT_EQ(HostClosed(), 1);
  EXPECT_TRUE(SendRequestWritten());
  EXPECT_TRUE(frame->Outcome().sent);
  EXPECT_EQ(frame->Editor(), nullptr);
}

TEST_F(ComposerFrameTest, ASubmissionTheTransportRefusesIsNotReportedAsSent) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  // A folder where the m-send-req goes makes the transport's write fail.
  std::filesystem::create_directories(m_device.Host(SendRequestFile(*m_form->Binding()).View()) / "in-the-way");
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+14255550100");
  frame->SendMessage(composer_message::kAddObject, media_type::kNone,
                     reinterpret_cast<LPARAM>(u"\\My Documents\\My Pictures\\dot.png"));
  Command(frame, composer_command::kSend);
  EXPECT_FALSE(frame->Outcome().sent);
  EXPECT_EQ(HostClosed(), 1) << "the message stays stored and the form closes";
}

TEST_F(ComposerFrameTest, ATextOnlyMessageOffersTheTextComposerAndNoSendsItAnyway) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+14255550100");
  TypeInto(frame->TextItem()->Edit(), u"just words");
  platform::automation::QueueAnswer(IDNO, u"only text");
  Command(frame, composer_command::kSend);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_TRUE(SendRequestWritten());
}

TEST_F(ComposerFrameTest, AnInvalidRecipientStopsTheSendWithTheFieldsKept) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  TypeInto(frame->HeaderWindow()->GetDlgItem(header_field::kTo), u"+12");
  platform::automation::QueueAnswer(IDOK);
  Command(frame, composer_command::kSend);
  EXPECT_EQ(HostClosed(), 0);
  EXPECT_FALSE(SendRequestWritten());
  EXPECT_EQ(frame->Header()->FieldText(header_field::kTo), u"+12");
}

TEST_F(ComposerFrameTest, DecliningTheVideoQuestionLeavesTheSlideAsItWas) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  std::filesystem::create_directories(m_device.Host(u"\\My Documents\\My Sounds"));
  WriteFileBytes(m_device.Host(u"\\My Documents\\My Sounds\\tone.amr"), "#!AMR\n");
  WriteFileBytes(m_device.Host(u"\\My Documents\\My Pictures\\clip.3gp"), std::string(64, '\0'));
  frame->SendMessage(composer_message::kAddObject, media_type::Make(media_type::kAudio, 1),
                     reinterpret_cast<LPARAM>(u"\\My Documents\\My Sounds\\tone.amr"));
  ASSERT_TRUE(frame->Editor()->CurrentSlide().audio.has_value());
  platform::automation::QueueAnswer(IDNO, u"replaces the sound");
  frame->SendMessage(composer_message::kAddObject, media_type::Make(media_type::kVideo, 5),
                     reinterpret_cast<LPARAM>(u"\\My Documents\\My Pictures\\clip.3gp"));
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_TRUE(frame->Editor()->CurrentSlide().audio.has_value());
  EXPECT_FALSE(frame->Editor()->CurrentSlide().video.has_value());
}

TEST_F(ComposerFrameTest, ColourCommandsSetTheBackground) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  Command(frame, 40434);
  EXPECT_EQ(frame->Editor()->Model().layout.backgroundColor, 0xCB8C44u);
}

TEST_F(ComposerFrameTest, TheMenuFollowsTheCurrentSlideWhenItOpens) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  HMENU menus = transport::LoadResourceMenu(kComposerPopups);
  ASSERT_NE(menus, nullptr);
  HMENU slide = GetSubMenu(menus, 2);
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(slide), 0);
  EXPECT_NE(GetMenuState(slide, composer_command::kRemoveVisual, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_NE(GetMenuState(slide, composer_command::kAddSlide, MF_BYCOMMAND) & MF_GRAYED, 0u)
      << "an empty last slide may not be followed by another";
  frame->SendMessage(composer_message::kAddObject, media_type::kNone,
                     reinterpret_cast<LPARAM>(u"\\My Documents\\My Pictures\\dot.png"));
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(slide), 0);
  EXPECT_EQ(GetMenuState(slide, composer_command::kRemoveVisual, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(GetMenuState(slide, composer_command::kAddSlide, MF_BYCOMMAND) & MF_GRAYED, 0u);
  DestroyMenu(menus);
}

TEST_F(ComposerFrameTest, RemoveAndDeleteCommandsWorkOnTheCurrentSlide) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  frame->SendMessage(composer_message::kAddObject, media_type::kNone,
                     reinterpret_cast<LPARAM>(u"\\My Documents\\My Pictures\\dot.png"));
  TypeInto(frame->TextItem()->Edit(), u"caption");
  Command(frame, composer_command::kRemoveVisual);
  EXPECT_FALSE(frame->Editor()->CurrentSlide().image.has_value());
  EXPECT_TRUE(frame->Editor()->CurrentSlide().text.has_value()) << "pending text was taken in first";
  Command(frame, composer_command::kRemoveText);
  EXPECT_FALSE(frame->Editor()->CurrentSlide().text.has_value());
  EXPECT_TRUE(frame->TextItem()->Text().IsEmpty());
  Command(frame, composer_command::kNextSlide);
  EXPECT_EQ(frame->Editor()->Count(), 1) << "an empty slide is not followed";
  EXPECT_FALSE(frame->IsNextEnabled());
}

TEST_F(ComposerFrameTest, ANewMessageStartsWithTheSignatureSlideLastAndUnchanged) {
  SetConfigValue(numeric_setting::kSignatureInLastSlide, 1, FALSE);
  SPropValue values[2] = {};
  values[0].ulPropTag = 0x811A000B;
  values[0].Value.b = 1;
  values[1].ulPropTag = 0x8119001F;
  values[1].Value.lpszW = const_cast<LPWSTR>(u"-- Ann");
  ASSERT_EQ(m_store->SetProps(2, values, nullptr), S_OK);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(frame->Editor()->Count(), 2);
  EXPECT_EQ(frame->Editor()->Current(), 0);
  EXPECT_TRUE(frame->Editor()->SignatureFlag());
  EXPECT_FALSE(frame->HasChanges()) << "closing without edits asks nothing";
  Command(frame, composer_command::kAddSlide);
  ASSERT_TRUE(frame->Editor()->GoToSlide(2));
  EXPECT_EQ(frame->Editor()->SlideText(), u"-- Ann");
}

}  // namespace
