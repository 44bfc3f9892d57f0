#include "forms/read_menu_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "device/link_record.h"
#include "platform/controls/menu_api.h"

namespace {

// The read view's menu as the resources lay it out: the sender's commands first.
HMENU ReadMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 40632, u"Reply by MMS");
  AppendMenuW(menu, MF_STRING, 40633, u"Reply by Text");
  AppendMenuW(menu, MF_STRING, 41092, u"Reply by Voice Mail");
  AppendMenuW(menu, MF_STRING, 40631, u"Forward");
  AppendMenuW(menu, MF_STRING, 41091, u"Save Objects...");
  AppendMenuW(menu, MF_STRING, 41143, u"Save This Object");
  AppendMenuW(menu, MF_STRING, 40723, u"Message Details");
  return menu;
}

std::vector<UINT> Ids(HMENU menu) {
  std::vector<UINT> ids;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) ids.push_back(GetMenuItemID(menu, i));
  return ids;
}

bool Grayed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

std::u16string Text(HMENU menu, UINT id) {
  WCHAR text[64] = {};
  GetMenuStringW(menu, id, text, 64, MF_BYCOMMAND);
  return text;
}

ReadMenuFacts Full() {
  ReadMenuFacts facts;
  facts.voiceMailConfigured = true;
  facts.voiceMailTypeName = CString(u"Voice Note");
  facts.hasSaveableObjects = true;
  facts.hasCurrentObject = true;
  return facts;
}

TEST(ReadMenuRules, WithEverythingAllIsThereAndVoiceMailTakesItsTypeName) {
  HMENU menu = ReadMenu();
  bool removed = false;
  ApplyReadMenuRules(menu, Full(), &removed);
  EXPECT_EQ(Ids(menu), (std::vector<UINT>{40632, 40633, 41092, 40631, 41091, 41143, 40723}));
  for (UINT id : Ids(menu)) EXPECT_FALSE(Grayed(menu, id)) << id;
  EXPECT_EQ(Text(menu, 41092), u"Reply by Voice Note");
  EXPECT_FALSE(removed);
  DestroyMenu(menu);
}

TEST(ReadMenuRules, NoSenderRemovesTheFirstItemOnceAndTheSecondWithTheFlag) {
  ReadMenuFacts facts = Full();
  facts.hasSender = false;
  HMENU menu = ReadMenu();
  bool removed = false;
  ApplyReadMenuRules(menu, facts, &removed);
  EXPECT_EQ(Ids(menu).front(), 40633u);
  ApplyReadMenuRules(menu, facts, &removed);  // the popup opens again: nothing more goes
  EXPECT_EQ(Ids(menu).front(), 40633u);
  EXPECT_TRUE(Grayed(menu, 40633)) << "nobody to reply to";
  DestroyMenu(menu);

  facts.openedWithFlag = true;
  menu = ReadMenu();
  removed = false;
  ApplyReadMenuRules(menu, facts, &removed);
  EXPECT_EQ(Ids(menu).front(), 41092u);
  DestroyMenu(menu);
}

TEST(ReadMenuRules, NoReplyAddressDisablesRepliesAndForward) {
  ReadMenuFacts facts = Full();
  facts.hasReplyAddress = false;
  HMENU menu = ReadMenu();
  bool removed = false;
  ApplyReadMenuRules(menu, facts, &removed);
  for (UINT id : {40632u, 40633u, 41092u, 40631u}) EXPECT_TRUE(Grayed(menu, id)) << id;
  EXPECT_FALSE(Grayed(menu, 40723));
  DestroyMenu(menu);
}

TEST(ReadMenuRules, VoiceMailAbsentRemovesItsReplyAndObjectsFollowTheirFacts) {
  ReadMenuFacts facts = Full();
  facts.voiceMailConfigured = false;
  facts.hasSaveableObjects = false;
  facts.hasCurrentObject = false;
  HMENU menu = ReadMenu();
  bool removed = false;
  ApplyReadMenuRules(menu, facts, &removed);
  EXPECT_EQ(Ids(menu), (std::vector<UINT>{40632, 40633, 40631, 41091, 41143, 40723}));
  EXPECT_TRUE(Grayed(menu, 41091));
  EXPECT_TRUE(Grayed(menu, 41143));
  DestroyMenu(menu);
}

HMENU ComposeMenu() {
  HMENU menu = CreatePopupMenu();
  for (UINT id : {40683u, 40684u, 40686u, 40685u, 40758u, 40424u, 40495u}) AppendMenuW(menu, MF_STRING, id, u"x");
  return menu;
}

TEST(ReadMenuRules, ComposeLinkMenuFollowsVoiceMailAndThePolicy) {
  HMENU menu = ComposeMenu();
  LinkMenuFacts facts;
  facts.voiceMailConfigured = true;
  facts.voiceMailTypeName = CString(u"Voice Note");
  ApplyComposeLinkMenuRules(menu, facts);
  EXPECT_EQ(Text(menu, 40685), u"Send Voice Note");
  EXPECT_TRUE(Grayed(menu, 40424));
  EXPECT_TRUE(Grayed(menu, 40495));
  EXPECT_FALSE(Grayed(menu, 40683));
  DestroyMenu(menu);

  menu = ComposeMenu();
  facts.voiceMailConfigured = false;
  facts.policyValue = 0;
  ApplyComposeLinkMenuRules(menu, facts);
  EXPECT_EQ(GetMenuState(menu, 40685, MF_BYCOMMAND), kMenuItemNotFound);
  EXPECT_TRUE(Grayed(menu, 40683));
  EXPECT_TRUE(Grayed(menu, 40684));
  EXPECT_FALSE(Grayed(menu, 40686)) << "e-mail is outside the policy";
  DestroyMenu(menu);
}

TEST(ReadMenuRules, LinkActionsNeedTheRightKindOfLink) {
  HMENU menu = CreatePopupMenu();
  for (UINT id : {40421u, 40682u, 40455u, 40635u, 40758u, 40424u, 40495u}) AppendMenuW(menu, MF_STRING, id, u"x");
  ApplyLinkActionMenuRules(menu, kLinkPhone, true);
  EXPECT_FALSE(Grayed(menu, 40421));
  EXPECT_TRUE(Grayed(menu, 40455));
  EXPECT_FALSE(Grayed(menu, 40635)) << "a number can go into a contact";
  ApplyLinkActionMenuRules(menu, kLinkEmail, true);
  EXPECT_FALSE(Grayed(menu, 40635)) << "so can an e-mail address";
  ApplyLinkActionMenuRules(menu, kLinkHttp, true);
  EXPECT_TRUE(Grayed(menu, 40421));
  EXPECT_FALSE(Grayed(menu, 40455));
  EXPECT_TRUE(Grayed(menu, 40635)) << "a web address has no contact field";
  ApplyLinkActionMenuRules(menu, kLinkPhone, false);
  EXPECT_TRUE(Grayed(menu, 40421)) << "an empty number is not called";
  EXPECT_TRUE(Grayed(menu, 40424));
  DestroyMenu(menu);
}

TEST(ReadMenuRules, ComposingToALinkNeedsALinkOfTheKindAndThePolicy) {
  struct Case {
    int type;
    DWORD policy;
    std::vector<UINT> enabled;  // of 40683 text, 40684 MMS, 40685 voice, 40686 e-mail, 40758 favourites
  } cases[] = {
      {kLinkPhone, 1, {40683, 40684, 40685}},
      {kLinkEmail, 1, {40684, 40686}},
      {kLinkHttp, 1, {40758}},
      {kLinkRtsp, 1, {40758}},
      {kLinkPhone, 0, {}},
      {kLinkEmail, 0, {40686}},  // e-mail is outside the policy
      {kLinkNone, 1, {}},
  };
  for (const Case& c : cases) {
    HMENU menu = ComposeMenu();
    LinkMenuFacts facts;
    facts.voiceMailConfigured = true;
    facts.voiceMailTypeName = CString(u"Voice Note");
    facts.policyValue = c.policy;
    ApplyLinkComposeRules(menu, facts, c.type, true);
    for (UINT id : {40683u, 40684u, 40685u, 40686u, 40758u}) {
      const bool enabled = std::find(c.enabled.begin(), c.enabled.end(), id) != c.enabled.end();
      EXPECT_EQ(!Grayed(menu, id), enabled) << "type " << c.type << " policy " << c.policy << " item " << id;
    }
    EXPECT_EQ(Text(menu, 40685), u"Send Voice Note");
    DestroyMenu(menu);
  }
  // Without a target nothing can be addressed; without the voice-mail class its item goes.
  HMENU menu = ComposeMenu();
  ApplyLinkComposeRules(menu, LinkMenuFacts{}, kLinkPhone, false);
  for (UINT id : {40683u, 40684u, 40686u, 40758u}) EXPECT_TRUE(Grayed(menu, id)) << id;
  EXPECT_EQ(GetMenuState(menu, 40685, MF_BYCOMMAND), kMenuItemNotFound);
  DestroyMenu(menu);
}

}  // namespace
