#include "forms/composer_header.h"

#include <algorithm>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/link_checks.h"
#include "forms/fixed_dialling.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace {

constexpr UINT kFieldFullText = 40401;
constexpr UINT kVoiceMailFieldFullText = 41141;
constexpr UINT kInvalidEntryText = 40755;
constexpr UINT kTooManyText = 40396;
constexpr UINT kVoiceMailTooManyText = 41142;
constexpr UINT kBadAddressText = 40940;
constexpr UINT kBadNumberText = 40941;
constexpr int kAddressFields[3] = {header_field::kTo, header_field::kCc, header_field::kBcc};

CString JoinEntries(const std::vector<CString>& entries) {
  CString joined;
  for (const CString& entry : entries) {
    if (!joined.IsEmpty()) joined += u';';
    joined += entry.View();
  }
  return joined;
}

void ShowText(HWND owner, const CString& text) {
  if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(owner, text.GetString(), MB_ICONASTERISK);
}

}  // namespace

std::vector<CString> SplitRecipientEntries(std::u16string_view text) {
  std::vector<CString> entries;
  for (;;) {
    const std::size_t end = text.find(u';');
    std::u16string_view entry = text.substr(0, end);
    while (!entry.empty() && entry.front() == u' ') entry.remove_prefix(1);
    while (!entry.empty() && entry.back() == u' ') entry.remove_suffix(1);
    if (!entry.empty()) entries.emplace_back(entry);
    if (end == std::u16string_view::npos) return entries;
    text.remove_prefix(end + 1);
  }
}

CString NormaliseRecipientEntry(std::u16string_view entry) {
  const std::size_t open = entry.find(u'<');
  if (open != std::u16string_view::npos) {
    const std::size_t close = entry.find(u'>', open + 1);
    if (close != std::u16string_view::npos) entry = entry.substr(open + 1, close - open - 1);
  }
  std::u16string text = NormalisePhoneNumber(entry, LinkSettings::Read());
  if (!text.empty() && text.back() == u';') text.pop_back();
  return CString(text);
}

bool IsValidRecipientEntry(std::u16string_view entry) {
  const LinkSettings settings = LinkSettings::Read();
  return IsPhoneNumber(entry, true, settings) || IsEmailAddress(entry, true, settings);
}

ComposerHeader::ComposerHeader(CString messageClass) : m_messageClass(std::move(messageClass)) {}

int ComposerHeader::FieldIndex(int field) const {
  switch (field) {
    case header_field::kTo:
      return 0;
    case header_field::kCc:
      return 1;
    case header_field::kBcc:
      return 2;
    case header_field::kSubject:
      return 3;
    default:
      return -1;
  }
}

void ComposerHeader::Load(const StoreMessage& message) {
  m_loading = true;
  SetFieldText(header_field::kTo, message.ToList().View());
  SetFieldText(header_field::kCc, message.CcList().View());
  SetFieldText(header_field::kBcc, message.BccList().View());
  SetFieldText(header_field::kSubject, message.Subject().View());
  m_loading = false;
  m_loadedLists = {message.ToList(), message.CcList(), message.BccList()};
  for (int i = 0; i < 3; ++i) m_loadedTexts[i] = m_texts[i];
  Commit();
}

void ComposerHeader::SetFieldText(int field, std::u16string_view text) {
  const int index = FieldIndex(field);
  if (index < 0) return;
  const std::size_t limit = field == header_field::kSubject ? kMaxSubjectChars : kMaxAddressFieldChars;
  const CString cut(text.substr(0, std::min(text.size(), limit)));
  if (cut == m_texts[index]) return;
  m_texts[index] = cut;
  if (!m_loading) m_changed = true;
}

CString ComposerHeader::FieldText(int field) const {
  const int index = FieldIndex(field);
  return index < 0 ? CString() : m_texts[index];
}

void ComposerHeader::Commit() {
  for (int i = 0; i < 3; ++i) {
    const bool asLoaded = m_texts[i] == m_loadedTexts[i] && !m_loadedLists[i].IsEmpty();
    m_lists[i] = SplitRecipientEntries(asLoaded ? m_loadedLists[i].View() : m_texts[i].View());
  }
}

const std::vector<CString>& ComposerHeader::Recipients(int field) const {
  static const std::vector<CString> kNone;
  const int index = FieldIndex(field);
  return index < 0 || index > 2 ? kNone : m_lists[index];
}

bool ComposerHeader::WriteToSite(StoreMessage& site, bool keep) {
  if (!m_changed) return false;
  Commit();
  const bool written = site.SetRecipients(JoinEntries(m_lists[0]).View(), JoinEntries(m_lists[1]).View(),
                                          JoinEntries(m_lists[2]).View()) &&
                       site.SetSubject(m_texts[3].View());
  if (written && !keep) m_changed = false;
  return written;
}

void ComposerHeader::GetAddressTexts(CString& to, CString& cc, CString& bcc) const {
  to = m_texts[0];
  cc = m_texts[1];
  bcc = m_texts[2];
}

void ComposerHeader::GetSubject(CString& subject) const { subject = m_texts[3]; }

bool ComposerHeader::IsVoiceMail() const {
  const CString voiceMailClass = GetConfigString(string_setting::kVoiceMailClassName);
  return !voiceMailClass.IsEmpty() && m_messageClass == voiceMailClass;
}

int ComposerHeader::RecipientLimit() const {
  const int limit = GetConfigValue(numeric_setting::kMaxRecipients);
  const int voiceMailLimit = GetConfigValue(numeric_setting::kMaxVMRecipients);
  if (IsVoiceMail() && voiceMailLimit != 0 && voiceMailLimit < limit) return voiceMailLimit;
  return limit;
}

int ComposerHeader::RecipientCount() const {
  return static_cast<int>(m_lists[0].size() + m_lists[1].size() + m_lists[2].size());
}

bool ComposerHeader::CanAddRecipient(int* count, bool showMessage) {
  Commit();
  const int current = RecipientCount();
  if (count != nullptr) *count = current;
  const int limit = RecipientLimit();
  if (current < limit) return true;
  if (showMessage) {
    CString text;
    if (IsVoiceMail()) {
      text.Format(transport::LoadResourceString(kVoiceMailFieldFullText),
                  GetConfigString(string_setting::kVoiceMailTypeName).GetString(), limit);
    } else {
      text.Format(transport::LoadResourceString(kFieldFullText), limit);
    }
    ShowText(nullptr, text);
  }
  return false;
}

bool ComposerHeader::ValidateRecipients(HWND owner) {
  Commit();
  for (int field : kAddressFields) {
    for (const CString& entry : Recipients(field)) {
      if (IsValidRecipientEntry(NormaliseRecipientEntry(entry.View()).View())) continue;
      const LinkSettings settings = LinkSettings::Read();
      CString text;
      text.Format(transport::LoadResourceString(kInvalidEntryText), std::max(settings.minEmailChars, 5),
                  settings.maxEmailChars, std::max(settings.minPhoneChars, 3), settings.maxPhoneChars);
      ShowText(owner, text);
      return false;
    }
  }
  const int limit = RecipientLimit();
  if (RecipientCount() <= limit) return true;
  CString text;
  if (IsVoiceMail()) {
    text.Format(transport::LoadResourceString(kVoiceMailTooManyText),
                GetConfigString(string_setting::kVoiceMailTypeName).GetString(), limit);
  } else {
    text.Format(transport::LoadResourceString(kTooManyText), limit);
  }
  ShowText(owner, text);
  return false;
}

bool ComposerHeader::InsertRecipient(int field, std::u16string_view value, RecipientKind kind,
                                     std::u16string_view chooserName, HWND owner) {
  const int index = FieldIndex(field);
  if (index < 0 || index > 2) return false;
  const CString address = NormaliseRecipientEntry(value);
  const LinkSettings settings = LinkSettings::Read();
  const bool email = kind == RecipientKind::kEmail;
  if (email ? !IsEmailAddress(address.View(), true, settings) : !IsPhoneNumber(address.View(), true, settings)) {
    if (CMMSGlobal* global = GetMMSGlobal()) {
      global->MessageBoxW(owner, email ? kBadAddressText : kBadNumberText, MB_ICONEXCLAMATION);
    }
    return false;
  }
  if (!CheckFixedDialling(owner, address, CString(), CString())) return false;
  // Asked before the entry goes in, so that a full message takes no recipient beyond its limit.
  if (!CanAddRecipient(nullptr, true)) return false;
  CString name = ContactNameForAddress(address.View(), kind);
  if (name.IsEmpty()) name = CString(chooserName);
  if (name.IsEmpty()) name = NameDerivedFromAddress(address.View(), kind);
  std::u16string text(m_texts[index].View());
  while (!text.empty() && text.back() == u' ') text.pop_back();
  if (!text.empty() && text.back() != u';') text += u';';
  text += RecipientDisplayText(name.View(), address.View()).View();
  if (text.size() > kMaxAddressFieldChars) return false;
  SetFieldText(field, text);
  m_changed = true;
  Commit();
  return true;
}
