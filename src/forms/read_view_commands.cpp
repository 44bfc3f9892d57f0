// The read view's commands beyond playback: the message dialogs, replies and forward, the actions
// on the current link and the Talk key, the soft-key menu and its rules, and the window messages
// of the policy, the HTML text and the current object.
#include <algorithm>
#include <cstring>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/client_window.h"
#include "device/internet_shortcut.h"
#include "device/ipc_flag.h"
#include "device/link_actions.h"
#include "device/link_checks.h"
#include "device/link_record.h"
#include "forms/hand_over.h"
#include "forms/link_to_contact.h"
#include "forms/message_binding.h"
#include "forms/message_info_text.h"
#include "forms/object_saving.h"
#include "forms/read_dialogs.h"
#include "forms/read_menu_rules.h"
#include "forms/read_view.h"
#include "forms/save_objects_window.h"
#include "forms/saveable_objects.h"
#include "forms/text_xml_view_wnd.h"
#include "platform/controls/control_messages.h"
#include "platform/controls/html_view.h"
#include "platform/controls/menu_api.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/pim/contact_chooser.h"
#include "platform/registry/registry.h"
#include "platform/resources/resource_api.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace {

constexpr UINT kLinkMenus = 252;
constexpr int kComposeLinkMenu = 14;
constexpr int kLinkActionMenu = 15;
constexpr UINT kReportsCannotBeAnswered = 40370;
constexpr UINT kForwardPrefix = 40274;
constexpr UINT kReplyPrefix = 40273;
constexpr int kNotifyMark = -521;
constexpr int kNotifyActivate = -522;
// The longest link target taken from the HTML view.
constexpr std::size_t kLongestHtmlTarget = 1000;
constexpr std::u16string_view kMailto = u"mailto:";
constexpr LPCWSTR kPolicyKey = u"\\Security\\Policies\\Policies";
constexpr LPCWSTR kPolicyValue = u"00001033";

namespace compose_kind {
constexpr int kText = 0;
constexpr int kMms = 1;
constexpr int kVoiceMail = 2;
constexpr int kEmail = 3;
}  // namespace compose_kind

struct ComposeAccount {
  int accountSetting;
  int classSetting;
};

constexpr ComposeAccount kComposeAccounts[] = {
    {string_setting::kSMSAccountName, string_setting::kSMSClassName},
    {string_setting::kMMSAccountName, string_setting::kMMSClassName},
    {string_setting::kVoiceMailAccountName, string_setting::kVoiceMailClassName},
    {string_setting::kEmailAccountName, string_setting::kEmailClassName},
};

SubjectPrefixes LoadPrefixes() {
  return SubjectPrefixes{transport::LoadResourceString(kForwardPrefix), transport::LoadResourceString(kReplyPrefix)};
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && CString(text.substr(0, prefix.size())).CompareNoCase(prefix) == 0;
}

// The type of a link the HTML view handed over, which comes without one.
int TypeOfHtmlLink(const CString& target) {
  if (IsEmailAddress(target.View(), false)) return kLinkEmail;
  if (IsPhoneNumber(target.View(), false)) return kLinkPhone;
  return kLinkHttp;
}

CString HtmlTarget(const char* text) {
  if (text == nullptr) return CString();
  const std::string_view bytes(text, strnlen(text, kLongestHtmlTarget));
  return CString::FromUtf8(bytes);
}

// Which kind of link each compose command can address.
bool CanCompose(int kind, int linkType) {
  switch (kind) {
    case compose_kind::kText:
    case compose_kind::kVoiceMail:
      return linkType == kLinkPhone;
    case compose_kind::kMms:
      return linkType == kLinkPhone || linkType == kLinkEmail;
    case compose_kind::kEmail:
      return linkType == kLinkEmail;
    default:
      return false;
  }
}


// Hands the link to the client's main frame: the first of the three offers that it answers wins.
void HandLinkToClient(const CString& link) {
  HWND client = nullptr;
  if (!FindOrLaunchClient(&client) || client == nullptr) return;
  for (WPARAM offer : {2, 6, 7}) {
    if (::SendMessageW(client, WM_CLIENT_TAKE_ITEM, offer, reinterpret_cast<LPARAM>(link.GetString())) != 0) return;
  }
}

}  // namespace

HMENU CReadView::MainMenu() const {
  if (m_menuBar == nullptr) return nullptr;
  return reinterpret_cast<HMENU>(::SendMessageW(m_menuBar, SHCMBM_GETSUBMENU, 0, 1));
}

HMENU CReadView::LinkMenu() const {
  HMENU main = MainMenu();
  for (int i = 0; main != nullptr && i < GetMenuItemCount(main); ++i) {
    if (HMENU sub = GetSubMenu(main, i)) return sub;
  }
  return nullptr;
}

void CReadView::ReadMessageFacts() {
  if (m_binding == nullptr) return;
  const StoreMessage& message = m_binding->Message();
  m_sender = message.SenderAddress();
  m_sender.Trim();
  // Delivery and read reports come from the relay, not from a person one could answer.
  m_hasReplyAddress = !m_sender.IsEmpty() && !IsReportMessage(message);
}

void CReadView::BuildMenuBar() {
  if (m_menuBar != nullptr && ::IsWindow(m_menuBar)) ::DestroyWindow(m_menuBar);
  m_menuBar = nullptr;
  m_senderItemsRemoved = false;
  SHMENUBARINFO info{};
  info.cbSize = sizeof info;
  info.hwndParent = GetHandle();
  info.nToolBarId = kReadViewMenu;
  info.hInstRes = transport::ResourceInstance();
  if (!SHCreateMenuBar(&info)) return;
  m_menuBar = info.hwndMB;
  ::SendMessageW(m_menuBar, SHCMBM_OVERRIDEKEY, kTalkKey, MAKELPARAM(3, 3));
  // The left key replies; with nobody to answer it is shown disabled.
  if (!CanReply()) {
    if (HMENU bar = reinterpret_cast<HMENU>(::SendMessageW(m_menuBar, SHCMBM_GETMENU, 0, 0))) {
      EnableMenuItem(bar, 0, MF_BYPOSITION | MF_GRAYED);
      ::InvalidateRect(m_menuBar, nullptr, TRUE);
    }
  }
}

void CReadView::WatchPolicy() {
  if (m_policyNotify != nullptr) return;
  RegistryNotifyWindow(HKEY_LOCAL_MACHINE, kPolicyKey, kPolicyValue, GetHandle(), WM_READ_POLICY_CHANGED, 0, nullptr,
                       &m_policyNotify);
}

void CReadView::CheckPolicyChange() {
  m_policyChanged = false;
  const auto now = static_cast<DWORD>(GetConfigValue(numeric_setting::kSecurityPolicy1033));
  if (now == m_policy) return;
  m_policy = now;
  ShowPolicyNotice(GetHandle(), now != 0);
}

void CReadView::ShowMessageInformation() {
  if (m_binding == nullptr) return;
  SipShowIM(SIPF_OFF);
  ShowMessageInfoDialog(GetHandle(), m_binding->Message());
}

void CReadView::ClearLink() {
  m_linkTarget = CString();
  m_linkType = kLinkNone;
}

void CReadView::CancelContactChooser() {
  HWND chooser = ::FindWindowW(platform::pim::kContactChooserClass, nullptr);
  if (chooser != nullptr && ::GetWindow(chooser, GW_OWNER) == GetHandle()) {
    ::SendMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
  }
}

LRESULT CReadView::OnMessageInfo(WPARAM, LPARAM) {
  OnStop(0, 0);
  ShowMessageInformation();
  return 0;
}

LRESULT CReadView::OnDeliveryReport(WPARAM, LPARAM) {
  OnStop(0, 0);
  if (m_binding == nullptr) return 0;
  SipShowIM(SIPF_OFF);
  ShowDeliveryReportDialog(GetHandle(), m_binding->Message());
  return 0;
}

LRESULT CReadView::OnReadReport(WPARAM, LPARAM) {
  OnStop(0, 0);
  if (m_binding != nullptr) ShowReadReportDialog(GetHandle(), m_binding->Message());
  return 0;
}

void CReadView::Reply(int kind) {
  if (m_binding == nullptr) return;
  if (!CanReply()) {
    // A report says why it cannot be answered; a message without a sender has nobody to answer.
    if (IsReportMessage(m_binding->Message())) {
      if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(GetHandle(), kReportsCannotBeAnswered, MB_OK);
    }
    return;
  }
  OnStop(0, 0);
  ReplyHandOver(GetHandle(), m_binding, kind, LoadPrefixes());
}

LRESULT CReadView::OnReplyText(WPARAM, LPARAM) {
  Reply(0);
  return 0;
}

LRESULT CReadView::OnReplyMms(WPARAM, LPARAM) {
  Reply(1);
  return 0;
}

LRESULT CReadView::OnReplyVoiceMail(WPARAM, LPARAM) {
  // Without the voice-mail class there is no such reply (the menu has no item for it either).
  if (GetConfigValue(numeric_setting::kVoiceMailClassPresent) != 0) Reply(2);
  return 0;
}

LRESULT CReadView::OnForward(WPARAM, LPARAM) {
  if (m_binding == nullptr) return 0;
  if (IsReportMessage(m_binding->Message())) {
    if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(GetHandle(), kReportsCannotBeAnswered, MB_OK);
    return 0;
  }
  OnStop(0, 0);
  ForwardHandOver(GetHandle(), m_binding, LoadPrefixes());
  return 0;
}

LRESULT CReadView::OnCallLink(WPARAM, LPARAM) {
  if (m_linkType == kLinkPhone && !m_linkTarget.IsEmpty()) {
    m_player.Pause();
    ShowCallConfirmDialog(GetHandle(), m_linkTarget);
  }
  ClearLink();
  return 0;
}

LRESULT CReadView::OnOpenLink(WPARAM, LPARAM) {
  if (!m_linkTarget.IsEmpty() && m_linkType != kLinkPhone) {
    m_player.Pause();
    OpenAddress(m_linkTarget);
  }
  ClearLink();
  return 0;
}

void CReadView::ComposeToLink(int kind) {
  if (m_linkTarget.IsEmpty() || !CanCompose(kind, m_linkType)) return;
  // The content policy off forbids writing messages from a received one; e-mail is not one of them.
  if (kind != compose_kind::kEmail && m_policy == 0) return;
  if (kind == compose_kind::kVoiceMail && GetConfigValue(numeric_setting::kVoiceMailClassPresent) == 0) return;
  const ComposeAccount& account = kComposeAccounts[kind];
  HandOverStrings strings;
  strings.to = m_linkTarget;
  strings.account = GetConfigString(account.accountSetting);
  strings.messageClass = GetConfigString(account.classSetting);
  // The compose form of this module takes the hand-over of an MMS or voice message by the handshake.
  if (kind == compose_kind::kMms || kind == compose_kind::kVoiceMail) SetIpcFlag();
  OnStop(0, 0);
  HandOverToComposer(GetHandle(), strings);
}

LRESULT CReadView::OnTextToLink(WPARAM, LPARAM) {
  ComposeToLink(compose_kind::kText);
  return 0;
}

LRESULT CReadView::OnMmsToLink(WPARAM, LPARAM) {
  ComposeToLink(compose_kind::kMms);
  return 0;
}

LRESULT CReadView::OnEmailToLink(WPARAM, LPARAM) {
  ComposeToLink(compose_kind::kEmail);
  return 0;
}

LRESULT CReadView::OnVoiceMailToLink(WPARAM, LPARAM) {
  ComposeToLink(compose_kind::kVoiceMail);
  return 0;
}

LRESULT CReadView::OnLinkToFavorites(WPARAM, LPARAM) {
  if (!m_linkTarget.IsEmpty() && IsAddressLinkType(m_linkType)) AddLinkToFavorites(m_linkTarget);
  return 0;
}

LRESULT CReadView::OnEditLink(WPARAM, LPARAM) {
  if (m_linkTarget.IsEmpty()) return 0;
  m_player.Pause();
  const bool email = m_linkType == kLinkEmail;
  if (std::optional<CString> address = ShowLinkAddressDialog(GetHandle(), m_linkTarget, email)) {
    m_linkTarget = *address;
    // A corrected address may have become another kind of link.
    if (!email) m_linkType = TypeOfHtmlLink(m_linkTarget);
  }
  BuildMenuBar();
  m_player.SetRect(m_player.IsFullScreen() ? RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}
                                           : PlayerRect(),
                   m_player.IsFullScreen());
  ::PostMessageW(GetHandle(), WM_COMMAND, kPlayCommand, m_autoPlay ? 0 : -1);
  return 0;
}

LRESULT CReadView::OnLinkToClient(WPARAM, LPARAM) {
  if (!m_linkTarget.IsEmpty()) HandLinkToClient(m_linkTarget);
  ClearLink();
  return 0;
}

// Saving stops the presentation first: the window previews sounds of its own, and a file being
// played is not copied half way through a change.
LRESULT CReadView::OnSaveObjects(WPARAM, LPARAM) {
  if (m_model == nullptr || !HasSaveableObjects(*m_model)) return 0;
  OnStop(0, 0);
  ShowSaveObjects(GetHandle(), m_model);
  return 0;
}

LRESULT CReadView::OnSaveThisObject(WPARAM, LPARAM) {
  if (!m_hasCurrentObject) return 0;
  OnStop(0, 0);
  SaveCurrentObject(GetHandle(), m_currentObject, m_currentObjectIsHtml);
  return 0;
}

LRESULT CReadView::OnSaveLinkToContacts(WPARAM, LPARAM) {
  if (!m_linkTarget.IsEmpty() && (m_linkType == kLinkPhone || m_linkType == kLinkEmail)) {
    m_player.Pause();
    SaveLinkToContact(GetHandle(), m_linkTarget);
  }
  ClearLink();
  return 0;
}

void CReadView::TalkKey() {
  if (m_linkType == kLinkPhone && !m_linkTarget.IsEmpty()) {
    m_player.Pause();
    ShowCallConfirmDialog(GetHandle(), m_linkTarget);
    return;
  }
  Dial(u"", 1);
}

LRESULT CReadView::OnHotKey(WPARAM wParam, LPARAM lParam) {
  if (wParam == kTalkKey || HIWORD(lParam) == kTalkKey) TalkKey();
  return 0;
}

LRESULT CReadView::OnInitMenuPopup(WPARAM wParam, LPARAM) {
  const auto menu = reinterpret_cast<HMENU>(wParam);
  HMENU main = MainMenu();
  if (menu == nullptr || main == nullptr) return 0;
  if (menu == main) {
    ReadMenuFacts facts;
    facts.hasSender = !m_sender.IsEmpty();
    facts.openedWithFlag = m_openedWithFlag;
    facts.hasSaveableObjects = m_model != nullptr && HasSaveableObjects(*m_model);
    facts.hasCurrentObject = m_hasCurrentObject;
    facts.voiceMailConfigured = GetConfigValue(numeric_setting::kVoiceMailClassPresent) != 0;
    facts.voiceMailTypeName = GetConfigString(string_setting::kVoiceMailTypeName);
    facts.hasReplyAddress = m_hasReplyAddress;
    ApplyReadMenuRules(menu, facts, &m_senderItemsRemoved);
    // Without a stored message there is nothing to tell about it.
    for (UINT command : {read_command::kMessageInfo, read_command::kDeliveryReport, read_command::kReadReport}) {
      EnableMenuItem(menu, command, MF_BYCOMMAND | (m_binding != nullptr ? MF_ENABLED : MF_GRAYED));
    }
  }
  // The link menu is prepared with the main one, as a popup of it may open without a notice of its own.
  if (HMENU link = LinkMenu(); link != nullptr && (menu == main || menu == link)) {
    LinkMenuFacts facts;
    facts.voiceMailConfigured = GetConfigValue(numeric_setting::kVoiceMailClassPresent) != 0;
    facts.voiceMailTypeName = GetConfigString(string_setting::kVoiceMailTypeName);
    facts.policyValue = m_policy;
    ApplyLinkActionMenuRules(link, m_linkType, !m_linkTarget.IsEmpty());
    ApplyLinkComposeRules(link, facts, m_linkType, !m_linkTarget.IsEmpty());
  }
  return 0;
}

LRESULT CReadView::OnSetFocus(WPARAM, LPARAM) {
  if (CPresentationWindow* window = m_player.Window(); window != nullptr && window->IsWindow()) {
    ::SetFocus(window->GetHandle());
  }
  return 0;
}

LRESULT CReadView::OnNotify(WPARAM wParam, LPARAM lParam) {
  if (const auto* header = reinterpret_cast<const NMHDR*>(lParam)) {
    const auto code = static_cast<int>(header->code);
    if (code == kNotifyMark) {
      m_notifyMark = true;
    } else if (code == kNotifyActivate && m_notifyMark) {
      m_notifyMark = false;
      ::SetActiveWindow(GetHandle());
    }
  }
  return DefProc(GetHandle(), WM_NOTIFY, wParam, lParam);
}

void CReadView::ShowComposeMenu(POINT at, UINT align) {
  HMENU menus = ::LoadMenuW(transport::ResourceInstance(), MAKEINTRESOURCEW(kLinkMenus));
  if (menus == nullptr) return;
  if (HMENU compose = GetSubMenu(menus, kComposeLinkMenu)) {
    LinkMenuFacts facts;
    facts.voiceMailConfigured = GetConfigValue(numeric_setting::kVoiceMailClassPresent) != 0;
    facts.voiceMailTypeName = GetConfigString(string_setting::kVoiceMailTypeName);
    facts.policyValue = m_policy;
    ApplyComposeLinkMenuRules(compose, facts);
    TrackPopupMenuEx(compose, align, at.x, at.y, GetHandle(), nullptr);
  }
  DestroyMenu(menus);
}

LRESULT CReadView::OnHtmlLink(WPARAM, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header == nullptr) return 0;
  m_player.Pause();
  if (header->code == NM_HOTSPOT) {
    const auto* link = reinterpret_cast<const NM_HTMLVIEW*>(lParam);
    CString target = HtmlTarget(link->szTarget);
    if (StartsWithNoCase(target.View(), kMailto)) {
      m_linkTarget = target.Mid(static_cast<int>(kMailto.size()));
      m_linkType = kLinkEmail;
      // A tap comes without a point: the menu opens where the soft-key menus do, above the bar.
      RECT view{};
      GetWindowRect(&view);
      ShowComposeMenu(POINT{view.left, view.bottom}, TPM_LEFTALIGN | TPM_BOTTOMALIGN);
      return 0;
    }
    m_linkTarget = target;
    m_linkType = TypeOfHtmlLink(target);
    const CString address = HtmlLinkAddress(target.View(), m_htmlFolder.View());
    if (!address.IsEmpty()) OpenAddress(address);
  } else if (header->code == NM_CONTEXTMENU) {
    const auto* context = reinterpret_cast<const NM_HTMLCONTEXT*>(lParam);
    CString target = HtmlTarget(context->szLinkHREF);
    if (StartsWithNoCase(target.View(), kMailto)) {
      m_linkTarget = target.Mid(static_cast<int>(kMailto.size()));
      m_linkType = kLinkEmail;
      ShowComposeMenu(context->pt, TPM_LEFTALIGN | TPM_TOPALIGN);
      return 0;
    }
    m_linkTarget = target;
    m_linkType = TypeOfHtmlLink(target);
    HMENU menus = ::LoadMenuW(transport::ResourceInstance(), MAKEINTRESOURCEW(kLinkMenus));
    if (menus == nullptr) return 0;
    if (HMENU actions = GetSubMenu(menus, kLinkActionMenu)) {
      ApplyLinkActionMenuRules(actions, m_linkType, !m_linkTarget.IsEmpty());
      TrackPopupMenuEx(actions, TPM_LEFTALIGN | TPM_TOPALIGN, context->pt.x, context->pt.y, GetHandle(), nullptr);
    }
    DestroyMenu(menus);
  }
  return 0;
}

LRESULT CReadView::OnHtmlFolder(WPARAM, LPARAM lParam) {
  const auto* folder = reinterpret_cast<LPCWSTR>(lParam);
  m_htmlFolder = folder != nullptr ? CString(folder) : CString();
  return 0;
}

// The change is told when the view is next activated, as the settings that change it are another
// program's window.
LRESULT CReadView::OnPolicyChanged(WPARAM, LPARAM) {
  m_policyChanged = true;
  return 0;
}

LRESULT CReadView::OnCurrentObject(WPARAM wParam, LPARAM lParam) {
  const auto* path = reinterpret_cast<LPCWSTR>(lParam);
  m_hasCurrentObject = path != nullptr && *path != 0;
  m_currentObject = m_hasCurrentObject ? CString(path) : CString();
  m_currentObjectIsHtml = m_hasCurrentObject && wParam != 0;
  return 0;
}
