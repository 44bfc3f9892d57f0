#include "forms/read_menu_rules.h"

#include "device/link_record.h"
#include "platform/controls/menu_api.h"

namespace {

constexpr UINT kSaveObjects = 41091;
constexpr UINT kSaveThisObject = 41143;
constexpr UINT kReplyMms = 40632;
constexpr UINT kReplyText = 40633;
constexpr UINT kReplyVoiceMail = 41092;
constexpr UINT kForward = 40631;
constexpr UINT kSendText = 40683;
constexpr UINT kSendMms = 40684;
constexpr UINT kSendVoiceMail = 40685;
constexpr UINT kEditAddress = 40424;
constexpr UINT kHandToClient = 40495;
constexpr UINT kCall = 40421;
constexpr UINT kCallWithOptions = 40682;
constexpr UINT kOpen = 40455;
constexpr UINT kSaveNumber = 40635;
constexpr UINT kSendEmail = 40686;
constexpr UINT kAddToFavorites = 40758;

void Enable(HMENU menu, UINT command, bool on) { EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); }

bool Has(HMENU menu, UINT command) { return GetMenuState(menu, command, MF_BYCOMMAND) != kMenuItemNotFound; }

// Gives the item the voice-mail wording, keeping its state; nothing when the item is not there.
void Reword(HMENU menu, UINT command, const CString& text) {
  if (!Has(menu, command) || text.IsEmpty()) return;
  const UINT state = GetMenuState(menu, command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED);
  ModifyMenuW(menu, command, MF_BYCOMMAND | MF_STRING | state, command, text.GetString());
}

bool IsWebLink(int type) { return type != kLinkNone && type != kLinkEmail && type != kLinkPhone; }

}  // namespace

CString VoiceMailReplyText(const CString& typeName) {
  if (typeName.IsEmpty()) return CString();
  CString text(u"Reply by ");
  text += typeName.GetString();
  return text;
}

CString VoiceMailComposeText(const CString& typeName) {
  if (typeName.IsEmpty()) return CString();
  CString text(u"Send ");
  text += typeName.GetString();
  return text;
}

void ApplyReadMenuRules(HMENU menu, const ReadMenuFacts& facts, bool* senderItemsRemoved) {
  if (menu == nullptr) return;
  if (!facts.hasSender && senderItemsRemoved != nullptr && !*senderItemsRemoved) {
    *senderItemsRemoved = true;
    DeleteMenu(menu, 0, MF_BYPOSITION);
    if (facts.openedWithFlag) DeleteMenu(menu, 0, MF_BYPOSITION);
  }
  Enable(menu, kSaveObjects, facts.hasSaveableObjects);
  if (facts.voiceMailConfigured) {
    Reword(menu, kReplyVoiceMail, VoiceMailReplyText(facts.voiceMailTypeName));
  } else {
    DeleteMenu(menu, kReplyVoiceMail, MF_BYCOMMAND);
  }
  // Without a sender there is nobody to answer either; forwarding needs only the reply address.
  const bool canReply = facts.hasReplyAddress && facts.hasSender;
  for (UINT command : {kReplyMms, kReplyText, kReplyVoiceMail}) {
    if (Has(menu, command)) Enable(menu, command, canReply);
  }
  Enable(menu, kForward, facts.hasReplyAddress);
  Enable(menu, kSaveThisObject, facts.hasCurrentObject);
}

void ApplyComposeLinkMenuRules(HMENU menu, const LinkMenuFacts& facts) {
  if (menu == nullptr) return;
  if (facts.voiceMailConfigured) {
    Reword(menu, kSendVoiceMail, VoiceMailComposeText(facts.voiceMailTypeName));
  } else {
    DeleteMenu(menu, kSendVoiceMail, MF_BYCOMMAND);
  }
  Enable(menu, kEditAddress, false);
  Enable(menu, kHandToClient, false);
  if (facts.policyValue == 0) {
    for (UINT command : {kSendText, kSendMms, kSendVoiceMail}) {
      if (Has(menu, command)) Enable(menu, command, false);
    }
  }
}

void ApplyLinkActionMenuRules(HMENU menu, int linkType, bool hasTarget) {
  if (menu == nullptr) return;
  const bool phone = hasTarget && linkType == kLinkPhone;
  Enable(menu, kCall, phone);
  Enable(menu, kCallWithOptions, phone);
  Enable(menu, kOpen, hasTarget && IsWebLink(linkType));
  // A number or an e-mail address can go into a contact's field; a web address has none.
  Enable(menu, kSaveNumber, hasTarget && (linkType == kLinkPhone || linkType == kLinkEmail));
  Enable(menu, kEditAddress, hasTarget);
  Enable(menu, kHandToClient, hasTarget);
}

void ApplyLinkComposeRules(HMENU menu, const LinkMenuFacts& facts, int linkType, bool hasTarget) {
  if (menu == nullptr) return;
  if (facts.voiceMailConfigured) {
    Reword(menu, kSendVoiceMail, VoiceMailComposeText(facts.voiceMailTypeName));
  } else {
    DeleteMenu(menu, kSendVoiceMail, MF_BYCOMMAND);
  }
  const bool phone = hasTarget && linkType == kLinkPhone;
  const bool email = hasTarget && linkType == kLinkEmail;
  const bool composing = facts.policyValue != 0;
  Enable(menu, kSendText, composing && phone);
  Enable(menu, kSendMms, composing && (phone || email));
  if (Has(menu, kSendVoiceMail)) Enable(menu, kSendVoiceMail, composing && phone);
  Enable(menu, kSendEmail, email);
  Enable(menu, kAddToFavorites, hasTarget && IsWebLink(linkType));
}
