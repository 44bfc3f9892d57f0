// The read view's menu rules: which items of its menus are there and enabled, from a few facts
// about the message and the view, applied whenever a popup opens (WM_INITMENUPOPUP).
#pragma once

#include "platform/text/cstring.h"
#include "platform/win_types.h"

struct ReadMenuFacts {
  bool hasSender = true;
  bool openedWithFlag = false;
  bool hasSaveableObjects = false;
  bool voiceMailConfigured = false;   // the voice-mail message class is set (key 167)
  CString voiceMailTypeName;          // names the voice-mail reply
  bool hasReplyAddress = true;
  bool hasCurrentObject = false;      // the object of 41143 (message 1330)
};

// Applies the rules to `menu`. Without a sender the first item (and the second with the flag) is
// removed once per view: `senderItemsRemoved` is the view's memory of that, set here.
void ApplyReadMenuRules(HMENU menu, const ReadMenuFacts& facts, bool* senderItemsRemoved);

struct LinkMenuFacts {
  bool voiceMailConfigured = false;
  CString voiceMailTypeName;
  DWORD policyValue = 1;  // value "00001033": 0 disables composing to the link
};

// The compose menu of a link (submenu 14 of menu 252): 40685 takes the voice-mail wording or is
// removed, 40424 and 40495 are disabled, and with the policy value 0 so are 40683, 40684, 40685.
void ApplyComposeLinkMenuRules(HMENU menu, const LinkMenuFacts& facts);
// The action menu of a link (submenu 15): commands that need a kind of link the current one is
// not (a number for the calls, an address for open, a number or e-mail address for saving it into a
// contact, 40635) are disabled.
void ApplyLinkActionMenuRules(HMENU menu, int linkType, bool hasTarget);

// The compose items of the soft-key menu's link submenu: each needs a link it can address (a
// number for a text or voice message, an e-mail address for e-mail, either for MMS); the voice-mail
// item takes its wording or is removed as in the compose menu; the policy value 0 disables 40683,
// 40684 and 40685; adding to the favourites (40758) needs a web or other address link.
void ApplyLinkComposeRules(HMENU menu, const LinkMenuFacts& facts, int linkType, bool hasTarget);

// The text of the voice-mail reply item: "Reply by " and the type name, or the menu's own text
// when the name is empty.
CString VoiceMailReplyText(const CString& typeName);
// The text of the voice-mail compose item: "Send " and the type name.
CString VoiceMailComposeText(const CString& typeName);
