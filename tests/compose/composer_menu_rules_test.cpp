// The composer's menu rules on the real soft-key menu (250) and the compose popups of menu 252:
// a table of what the frame knows and the settings, and what each item becomes.
#include "forms/composer_menu_rules.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "transport/resource_module.h"
#include "ui/ui_fixture.h"

namespace {

using namespace composer_command;

enum class Item { kGone, kEnabled, kGrey };

struct Expect {
  UINT command;
  Item item;
};

struct Setting {
  int number;
  LONG value;
};

struct RuleCase {
  const char* name;
  std::vector<Setting> settings;
  std::function<void(ComposerMenuState&)> adjust;
  std::vector<Expect> expected;
};

Item StateOf(HMENU menu, UINT command) {
  const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
  if (state == kMenuItemNotFound) return Item::kGone;
  return (state & MF_GRAYED) ? Item::kGrey : Item::kEnabled;
}

const char* Name(Item item) {
  switch (item) {
    case Item::kGone: return "gone";
    case Item::kEnabled: return "enabled";
    case Item::kGrey: return "grey";
  }
  return "?";
}

std::u16string Text(HMENU menu, UINT command) {
  WCHAR text[64] = {};
  GetMenuStringW(menu, command, text, 64, MF_BYCOMMAND);
  return text;
}

// The items of one level: command numbers, "-" for separators and "[" for popups.
std::vector<std::string> Level(HMENU menu) {
  std::vector<std::string> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (state & MF_POPUP) {
      items.push_back("[");
    } else if (state & MF_SEPARATOR) {
      items.push_back("-");
    } else {
      items.push_back(std::to_string(GetMenuItemID(menu, i)));
    }
  }
  return items;
}

// A slide in the middle of three, with a picture and text: most commands are open.
ComposerMenuState Typical() {
  ComposerMenuState state;
  state.slideCount = 3;
  state.currentHasPicture = true;
  state.currentHasText = true;
  state.anySlideHasObject = true;
  state.anySlideHasMedia = true;
  state.canCapturePictures = true;
  state.canCaptureVideos = true;
  state.mayCapturePicture = true;
  state.mayCaptureVideo = true;
  return state;
}

class ComposerMenuRulesTest : public ui_test::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetConfigValue(numeric_setting::kCaptureEnable, kCapturePictureMask | kCaptureVideoMask, FALSE);
    SetConfigValue(numeric_setting::kRestrictUseTemplate, 0, FALSE);
    m_softKeys = transport::LoadResourceMenu(250);
    ASSERT_NE(m_softKeys, nullptr);
    m_menu = GetSubMenu(m_softKeys, 1);
    ASSERT_NE(m_menu, nullptr);
  }
  void TearDown() override {
    DestroyMenu(m_softKeys);
    UiTest::TearDown();
  }

  HMENU m_softKeys = nullptr;
  HMENU m_menu = nullptr;
};

TEST_F(ComposerMenuRulesTest, TheMenuLaysOutWhereTheRulesLookForItems) {
  EXPECT_EQ(Level(m_menu), (std::vector<std::string>{"[", "-", "[", "[", "40139", "-", "1317", "1318", "-", "40018",
                                                     "40137", "1143", "40138", "40753", "-", "40151"}));
}

TEST_F(ComposerMenuRulesTest, ATableOfStatesAndSettings) {
  const std::vector<RuleCase> cases = {
      {"typical", {}, [](ComposerMenuState&) {},
       {{kAddSlide, Item::kEnabled}, {kDeleteSlide, Item::kEnabled}, {kRemoveVisual, Item::kEnabled},
        {kRemoveAudio, Item::kGrey}, {kRemoveText, Item::kEnabled}, {kInsertAudio, Item::kEnabled},
        {kInsertContact, Item::kGrey}, {kInsertCallNumber, Item::kEnabled}, {kCapturePicture, Item::kEnabled},
        {kCaptureVideo, Item::kEnabled}, {kTemplates, Item::kEnabled}, {kSaveAsTemplate, Item::kEnabled}}},
      {"nine slides leave no room", {}, [](ComposerMenuState& s) { s.slideCount = 9; },
       {{kAddSlide, Item::kGrey}}},
      {"a lower MaxSlides", {{numeric_setting::kMaxSlides, 3}}, [](ComposerMenuState&) {},
       {{kAddSlide, Item::kGrey}}},
      {"the model allows no slide after this one", {}, [](ComposerMenuState& s) { s.mayAddAfterCurrent = false; },
       {{kAddSlide, Item::kGrey}}},
      {"one empty slide cannot be deleted", {},
       [](ComposerMenuState& s) { s = ComposerMenuState{}; },
       {{kDeleteSlide, Item::kGrey}, {kRemoveVisual, Item::kGrey}, {kRemoveText, Item::kGrey}}},
      {"one slide with an object can", {},
       [](ComposerMenuState& s) {
         s = ComposerMenuState{};
         s.anySlideHasObject = true;
       },
       {{kDeleteSlide, Item::kEnabled}}},
      {"two empty slides can", {},
       [](ComposerMenuState& s) {
         s = ComposerMenuState{};
         s.slideCount = 2;
       },
       {{kDeleteSlide, Item::kEnabled}}},
      {"a video greys the audio insert and opens its own removal", {},
       [](ComposerMenuState& s) {
         s.currentHasPicture = false;
         s.currentHasVideo = true;
       },
       {{kInsertAudio, Item::kGrey}, {kRemoveVisual, Item::kEnabled}}},
      {"audio can be removed", {}, [](ComposerMenuState& s) { s.currentHasAudio = true; },
       {{kRemoveAudio, Item::kEnabled}}},
      {"focus in the header swaps contact and call history", {},
       [](ComposerMenuState& s) { s.focusInHeader = true; },
       {{kInsertContact, Item::kEnabled}, {kInsertCallNumber, Item::kGrey}}},
      {"capture needs the setting bit and the device", {{numeric_setting::kCaptureEnable, kCapturePictureMask}},
       [](ComposerMenuState& s) { s.canCapturePictures = false; },
       {{kCapturePicture, Item::kGone}, {kCaptureVideo, Item::kGone}}},
      {"capture into this slide may be refused", {},
       [](ComposerMenuState& s) {
         s.mayCapturePicture = false;
         s.mayCaptureVideo = false;
       },
       {{kCapturePicture, Item::kGrey}, {kCaptureVideo, Item::kGrey}}},
      {"templates restricted once media is in", {{numeric_setting::kRestrictUseTemplate, 1}},
       [](ComposerMenuState&) {}, {{kTemplates, Item::kGrey}, {kSaveAsTemplate, Item::kEnabled}}},
      {"templates restricted but only text is in", {{numeric_setting::kRestrictUseTemplate, 1}},
       [](ComposerMenuState& s) { s.anySlideHasMedia = false; }, {{kTemplates, Item::kEnabled}}},
      {"a Flix message: no audio, no templates, few slides",
       {{numeric_setting::kIsSupportCDMA, 1}, {numeric_setting::kFlixSlideCountLimit, 1}},
       [](ComposerMenuState& s) {
         s.cdmaType = 1;
         s.slideCount = 1;
       },
       {{kInsertAudio, Item::kGone}, {kRemoveAudio, Item::kGone}, {kTemplates, Item::kGrey},
        {kSaveAsTemplate, Item::kGrey}, {kAddSlide, Item::kGrey}, {kInsertVisual, Item::kEnabled}}},
      {"the Flix slide limit does not bind an MMS message",
       {{numeric_setting::kIsSupportCDMA, 1}, {numeric_setting::kFlixSlideCountLimit, 1}},
       [](ComposerMenuState& s) {
         s.cdmaType = 2;
         s.slideCount = 1;
       },
       {{kAddSlide, Item::kEnabled}, {kInsertAudio, Item::kEnabled}, {kTemplates, Item::kEnabled}}},
      {"without CDMA a Flix type counts for nothing", {{numeric_setting::kFlixSlideCountLimit, 1}},
       [](ComposerMenuState& s) { s.cdmaType = 1; },
       {{kAddSlide, Item::kEnabled}, {kInsertAudio, Item::kEnabled}, {kSaveAsTemplate, Item::kEnabled}}},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.name);
    HMENU softKeys = transport::LoadResourceMenu(250);
    ASSERT_NE(softKeys, nullptr);
    SetConfigValue(numeric_setting::kMaxSlides, 9, FALSE);
    SetConfigValue(numeric_setting::kIsSupportCDMA, 0, FALSE);
    SetConfigValue(numeric_setting::kFlixSlideCountLimit, 1, FALSE);
    SetConfigValue(numeric_setting::kCaptureEnable, kCapturePictureMask | kCaptureVideoMask, FALSE);
    SetConfigValue(numeric_setting::kRestrictUseTemplate, 0, FALSE);
    for (const Setting& setting : c.settings) SetConfigValue(setting.number, setting.value, FALSE);
    ComposerMenuState state = Typical();
    c.adjust(state);
    HMENU menu = GetSubMenu(softKeys, 1);
    ApplyComposerMenuRules(menu, state);
    for (const Expect& e : c.expected) {
      EXPECT_EQ(StateOf(menu, e.command), e.item) << e.command << " is " << Name(StateOf(menu, e.command));
    }
    DestroyMenu(softKeys);
  }
}

TEST_F(ComposerMenuRulesTest, AFlixOrMmsMessageNamesWhatTheVisualCommandsTake) {
  SetConfigValue(numeric_setting::kIsSupportCDMA, 1, FALSE);
  ComposerMenuState state = Typical();
  state.cdmaType = 1;
  ApplyComposerMenuRules(m_menu, state);
  EXPECT_EQ(Text(m_menu, kInsertVisual), u"Insert Video...");
  EXPECT_EQ(Text(m_menu, kRemoveVisual), u"Remove Video");

  HMENU other = transport::LoadResourceMenu(250);
  state.cdmaType = 2;
  state.currentHasPicture = false;
  ApplyComposerMenuRules(GetSubMenu(other, 1), state);
  EXPECT_EQ(Text(other, kInsertVisual), u"Insert Picture...");
  EXPECT_EQ(Text(other, kRemoveVisual), u"Remove Picture");
  EXPECT_EQ(StateOf(other, kRemoveVisual), Item::kGrey) << "rewording keeps the state";

  HMENU undecided = transport::LoadResourceMenu(250);
  state.cdmaType = 0;
  ApplyComposerMenuRules(GetSubMenu(undecided, 1), state);
  EXPECT_EQ(Text(undecided, kInsertVisual), u"Picture or Video...");
  DestroyMenu(other);
  DestroyMenu(undecided);
}

TEST_F(ComposerMenuRulesTest, WithoutCaptureItsSeparatorGoesOnceAndTheMenuStaysStable) {
  SetConfigValue(numeric_setting::kCaptureEnable, 0, FALSE);
  ApplyComposerMenuRules(m_menu, Typical());
  const std::vector<std::string> once = Level(m_menu);
  EXPECT_EQ(once, (std::vector<std::string>{"[", "-", "[", "[", "40139", "-", "40018", "40137", "1143", "40138",
                                            "40753", "-", "40151"}));
  ApplyComposerMenuRules(m_menu, Typical());
  EXPECT_EQ(Level(m_menu), once) << "the popup opens again: nothing more goes";
}

TEST_F(ComposerMenuRulesTest, OneCaptureItemKeepsTheSeparator) {
  ComposerMenuState state = Typical();
  state.canCaptureVideos = false;
  ApplyComposerMenuRules(m_menu, state);
  EXPECT_EQ(Level(m_menu), (std::vector<std::string>{"[", "-", "[", "[", "40139", "-", "1317", "-", "40018", "40137",
                                                     "1143", "40138", "40753", "-", "40151"}));
}

TEST_F(ComposerMenuRulesTest, TheColoursAreDrawnWithTheirValuesAndTheCurrentOneMarked) {
  ComposerMenuState state = Typical();
  state.backgroundColour = 0x9CD3A3;
  ApplyComposerMenuRules(m_menu, state);
  HMENU colours = GetSubMenu(m_menu, 0);
  ASSERT_EQ(GetMenuItemCount(colours), 12);
  for (UINT command = kFirstColour; command <= kLastColour; ++command) {
    const UINT itemState = GetMenuState(colours, command, MF_BYCOMMAND);
    EXPECT_NE(itemState & MF_OWNERDRAW, 0u) << command;
    EXPECT_EQ((itemState & MF_CHECKED) != 0, command == 40433) << command;
  }

  state.backgroundColour = 0x123456;
  ApplyComposerMenuRules(m_menu, state);
  EXPECT_NE(GetMenuState(colours, 40426, MF_BYCOMMAND) & MF_CHECKED, 0u) << "no match marks white";
  EXPECT_EQ(GetMenuState(colours, 40433, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(ComposerMenuRulesTest, WithoutARootLayoutTheBackgroundPopupAndItsSeparatorGo) {
  SetConfigValue(numeric_setting::kNeedInsertRootLayout, 0, FALSE);
  ApplyComposerMenuRules(m_menu, Typical());
  EXPECT_EQ(Level(m_menu), (std::vector<std::string>{"[", "[", "40139", "-", "1317", "1318", "-", "40018", "40137",
                                                     "1143", "40138", "40753", "-", "40151"}));
  EXPECT_EQ(StateOf(m_menu, 40426), Item::kGone);
  ApplyComposerMenuRules(m_menu, Typical());
  EXPECT_EQ(GetMenuItemCount(m_menu), 14) << "removed once only";
}

// A form opened for one insertion offers the full composer first; the item comes and goes with the
// mode, and the position-bound rules find their items as before whether it is there or not.
TEST_F(ComposerMenuRulesTest, AFormOpenedForOneInsertionLeadsToTheFullComposerFirst) {
  SetConfigValue(numeric_setting::kCaptureEnable, 0, FALSE);
  ComposerMenuState single = Typical();
  single.oneInsertion = true;
  ApplyComposerMenuRules(m_menu, single);
  const std::vector<std::string> withItem{"40746", "-", "[", "-", "[", "[", "40139", "-", "40018", "40137",
                                          "1143",  "40138", "40753", "-", "40151"};
  EXPECT_EQ(Level(m_menu), withItem);
  EXPECT_EQ(Text(m_menu, kLeaveStartAction), u"Edit Message");
  ApplyComposerMenuRules(m_menu, single);
  EXPECT_EQ(Level(m_menu), withItem) << "opened again: still one item";
  ApplyComposerMenuRules(m_menu, Typical());
  EXPECT_EQ(Level(m_menu), (std::vector<std::string>{"[", "-", "[", "[", "40139", "-", "40018", "40137", "1143",
                                                     "40138", "40753", "-", "40151"}));
  // Only the main popup gets it, not the popups inside it.
  HMENU slides = GetSubMenu(m_menu, 3);
  ASSERT_NE(slides, nullptr);
  ApplyComposerMenuRules(slides, single);
  EXPECT_EQ(StateOf(slides, kLeaveStartAction), Item::kGone);
}

TEST_F(ComposerMenuRulesTest, TheComposePopupsOfMenu252FollowTheSameRules) {
  HMENU popups = transport::LoadResourceMenu(252);
  ASSERT_NE(popups, nullptr);
  ComposerMenuState state = Typical();
  state.currentHasPicture = false;
  state.currentHasVideo = true;
  HMENU insert = GetSubMenu(popups, 1);
  HMENU slide = GetSubMenu(popups, 2);
  ApplyComposerMenuRules(insert, state);
  ApplyComposerMenuRules(slide, state);
  EXPECT_EQ(StateOf(insert, kInsertAudio), Item::kGrey);
  EXPECT_EQ(StateOf(slide, kRemoveVisual), Item::kEnabled);
  EXPECT_EQ(StateOf(slide, kRemoveText), Item::kEnabled);
  EXPECT_EQ(StateOf(slide, kRemoveAudio), Item::kGrey);
  EXPECT_EQ(GetMenuItemCount(slide), 8) << "positions of another menu are not the soft-key menu's";
  DestroyMenu(popups);
}

TEST(ComposerBackgroundColour, TheTableAndNothingElse) {
  EXPECT_EQ(ComposerBackgroundColour(40426), COLORREF{0xFFFFFF});
  EXPECT_EQ(ComposerBackgroundColour(40427), COLORREF{0x241CED});
  EXPECT_EQ(ComposerBackgroundColour(40434), COLORREF{0xCB8C44});
  EXPECT_EQ(ComposerBackgroundColour(40437), COLORREF{0xCCCCCC});
  EXPECT_FALSE(ComposerBackgroundColour(40425).has_value());
  EXPECT_FALSE(ComposerBackgroundColour(40438).has_value());
}

}  // namespace
