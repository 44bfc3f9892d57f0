// The message-class selector of a CDMA device (message 0x0523): what choosing Flix or MMS does to
// the message being composed, its items and slides, the capture flags, and the menus it shows.
#include <string>

#include "composer_frame_fixture.h"
#include "forms/composer_menu_rules.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace composer_test {
namespace {

using namespace composer_command;

constexpr WPARAM kFlix = 0;
constexpr WPARAM kMms = 1;
constexpr LONG kFlixSlides = 2;

enum class Item { kGone, kEnabled, kGrey };

Item StateOf(HMENU menu, UINT command) {
  const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
  if (state == kMenuItemNotFound) return Item::kGone;
  return (state & MF_GRAYED) ? Item::kGrey : Item::kEnabled;
}

std::u16string Text(HMENU menu, UINT command) {
  WCHAR text[64] = {};
  GetMenuStringW(menu, command, text, 64, MF_BYCOMMAND);
  return text;
}

class ClassSelectorTest : public ComposerFrameTest {
 protected:
  void SetUp() override {
    ComposerFrameTest::SetUp();
    SetConfigValue(numeric_setting::kIsSupportCDMA, 1, FALSE);
    SetConfigValue(numeric_setting::kFlixSlideCountLimit, kFlixSlides, FALSE);
    SetConfigValue(numeric_setting::kRestrictUseTemplate, 0, FALSE);
  }

  // A new MMS message of four slides, each with its number as text.
  CComposerFrame* OpenFourSlides() {
    CComposerFrame* frame = OpenNew();
    if (frame == nullptr) return nullptr;
    for (int i = 1; i <= 4; ++i) {
      if (i > 1) Command(frame, kAddSlide);
      TypeInto(frame->TextItem()->Edit(), std::u16string(1, static_cast<char16_t>(u'0' + i)));
    }
    frame->FlushSlideEdits();
    return frame;
  }
  void Select(CComposerFrame* frame, WPARAM selection) {
    frame->SendMessage(composer_message::kClassSelected, selection, 0);
    platform::automation::PumpUntilIdle();
  }
  CString StoredClass() { return m_form->Binding()->Message().MessageClassText(); }
  // Read back through a second binding of the same message: what the store holds, not a cache.
  CString StoredAccount() {
    MessageBinding other;
    if (!LoadBinding(other, m_message.Get(), nullptr, 5)) return CString(u"<no binding>");
    return other.Message().AccountName();
  }
};

TEST_F(ClassSelectorTest, FlixTakesTheFlixClassOneVisualItemAndNoMoreSlidesThanItsLimit) {
  CComposerFrame* frame = OpenFourSlides();
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(frame->Editor()->Count(), 4);
  ASSERT_EQ(frame->CdmaType(), 2) << "an MMS message on a CDMA device";

  Select(frame, kFlix);
  EXPECT_TRUE(frame->IsFlixMode());
  EXPECT_EQ(frame->MessageClass(), u"IPM.MMS.Flix");
  EXPECT_EQ(StoredClass(), u"IPM.MMS.Flix");
  EXPECT_EQ(StoredAccount(), u"Flix") << "the Flix account of the factory settings";
  EXPECT_EQ(frame->CdmaType(), 1);
  EXPECT_EQ(frame->Outcome().status, 4);
  EXPECT_EQ(ULC_Global::GetGlobal()->flixFlag, 1);
  EXPECT_EQ(ULC_Global::GetGlobal()->mmsFlag, 0);
  // Every slide past the limit goes, not only the last one.
  ASSERT_EQ(frame->Editor()->Count(), kFlixSlides);
  EXPECT_EQ(frame->Editor()->Current(), 0);
  EXPECT_EQ(frame->Editor()->SlideText(), u"1") << "the person's slides stay as they were made";
  EXPECT_NE(frame->VisualItem(), nullptr);
  EXPECT_EQ(frame->TextItem(), nullptr);
  EXPECT_EQ(frame->AudioItem(), nullptr);
  Command(frame, static_cast<WORD>(kFirstGoTo + kFlixSlides - 1));
  Command(frame, kAddSlide);
  EXPECT_EQ(frame->Editor()->Count(), kFlixSlides) << "no slide past the limit";

  Select(frame, kMms);
  EXPECT_FALSE(frame->IsFlixMode());
  EXPECT_EQ(StoredClass(), u"IPM.MMS");
  EXPECT_EQ(StoredAccount(), u"MMS");
  EXPECT_EQ(frame->CdmaType(), 2);
  EXPECT_EQ(ULC_Global::GetGlobal()->flixFlag, 0);
  EXPECT_EQ(ULC_Global::GetGlobal()->mmsFlag, 1);
  EXPECT_NE(frame->TextItem(), nullptr);
  EXPECT_NE(frame->AudioItem(), nullptr);
  Command(frame, kAddSlide);
  EXPECT_EQ(frame->Editor()->Count(), kFlixSlides + 1) << "an MMS message takes more slides again";
}

TEST_F(ClassSelectorTest, TheAccountComesFromTheSettingsOfTheChosenClass) {
  SetConfigString(string_setting::kFlixAccountName, u"Carrier Flix", FALSE);
  SetConfigString(string_setting::kMMSAccountName, u"Carrier MMS", FALSE);
  CComposerFrame* frame = OpenFourSlides();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(StoredAccount(), u"") << "a new message names no account before a class is chosen";
  Select(frame, kFlix);
  EXPECT_EQ(StoredAccount(), u"Carrier Flix");
  Select(frame, kMms);
  EXPECT_EQ(StoredAccount(), u"Carrier MMS");
}

TEST_F(ClassSelectorTest, WithoutCdmaOrWithAnotherSelectionNothingChanges) {
  for (const auto& [cdma, selection] : {std::pair{0L, kFlix}, std::pair{1L, WPARAM{2}}, std::pair{1L, WPARAM(-1)}}) {
    SCOPED_TRACE(static_cast<int>(selection));
    SetConfigValue(numeric_setting::kIsSupportCDMA, cdma, FALSE);
    CComposerFrame* frame = OpenFourSlides();
    ASSERT_NE(frame, nullptr);
    Select(frame, selection);
    EXPECT_FALSE(frame->IsFlixMode());
    EXPECT_EQ(frame->MessageClass(), u"IPM.MMS");
    EXPECT_EQ(frame->Editor()->Count(), 4);
    EXPECT_EQ(frame->Outcome().status, 0);
    EXPECT_EQ(StoredAccount(), u"");
    EXPECT_NE(frame->TextItem(), nullptr);
    CloseForm();
  }
}

// The soft-key menu as the frame sets it up when it opens, after each selection.
TEST_F(ClassSelectorTest, TheMenuFollowsTheChosenKind) {
  const struct Case {
    const char* name;
    WPARAM selection;
    const char16_t* insertVisual;
    const char16_t* removeVisual;
    Item templates, saveAsTemplate, insertAudio, removeAudio, addSlide;
  } cases[] = {
      {"Flix", kFlix, u"Insert Video...", u"Remove Video", Item::kGrey, Item::kGrey, Item::kGone, Item::kGone,
       Item::kGrey},
      {"MMS", kMms, u"Insert Picture...", u"Remove Picture", Item::kEnabled, Item::kEnabled, Item::kEnabled,
       Item::kGrey, Item::kEnabled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CComposerFrame* frame = OpenFourSlides();
    ASSERT_NE(frame, nullptr);
    Select(frame, c.selection);
    HMENU softKeys = transport::LoadResourceMenu(kComposerSoftKeys);
    ASSERT_NE(softKeys, nullptr);
    HMENU menu = GetSubMenu(softKeys, 1);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 1);
    EXPECT_EQ(Text(menu, kInsertVisual), c.insertVisual);
    EXPECT_EQ(Text(menu, kRemoveVisual), c.removeVisual);
    EXPECT_EQ(StateOf(menu, kTemplates), c.templates);
    EXPECT_EQ(StateOf(menu, kSaveAsTemplate), c.saveAsTemplate);
    EXPECT_EQ(StateOf(menu, kInsertAudio), c.insertAudio);
    EXPECT_EQ(StateOf(menu, kRemoveAudio), c.removeAudio);
    EXPECT_EQ(StateOf(menu, kAddSlide), c.addSlide) << "room for a slide";
    DestroyMenu(softKeys);
    CloseForm();
  }
}

}  // namespace
}  // namespace composer_test
