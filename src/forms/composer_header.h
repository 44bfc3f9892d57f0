// ComposerHeader: the To, Cc, Bcc and subject fields of the compose form, with their limits, the
// recipient lists parsed from them, the recipient limit and the address rules a message must meet
// before it is stored or sent. The fields are kept here as the texts the edit controls hold; the
// header's window (composer_header_wnd.h) shows them.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "forms/composer_header_contacts.h"
#include "forms/store_message.h"
#include "platform/text/cstring.h"
#include "platform/win_types.h"

namespace header_field {
constexpr int kTo = 1274;
constexpr int kCc = 1276;
constexpr int kBcc = 1278;
constexpr int kSubject = 1280;
// The buttons that pick a contact for To, Cc and Bcc.
constexpr int kToButton = 1282;
constexpr int kCcButton = 1284;
constexpr int kBccButton = 1286;
}  // namespace header_field

constexpr int kMaxAddressFieldChars = 1023;
constexpr int kMaxSubjectChars = 40;

// The entries of an address field: the texts between semicolons, without the spaces around them;
// empty entries are left out.
std::vector<CString> SplitRecipientEntries(std::u16string_view text);
// An entry as it is checked: the address between "<" and ">" when there is one, without the phone
// separators "(", ")", "-" and spaces (unless it holds "@" or is the alpha tag) and without a
// trailing ";".
CString NormaliseRecipientEntry(std::u16string_view entry);
// Whether a normalised entry is a phone number or an e-mail address within the configured lengths.
bool IsValidRecipientEntry(std::u16string_view entry);

class ComposerHeader {
 public:
  // The message class decides whether the voice-mail recipient limit applies.
  explicit ComposerHeader(CString messageClass);

  // Fills the fields from the message; filling is not a change. The subject is cut to its limit. An
  // address list longer than its field shows cut, but while the field is not edited its recipients
  // are the whole list the message holds, so that saving keeps every one of them.
  void Load(const StoreMessage& message);
  // A field's text as the user left it (the edit control's limit applies); outside loading, the
  // header counts as changed.
  void SetFieldText(int field, std::u16string_view text);
  CString FieldText(int field) const;

  bool IsChanged() const { return m_changed; }
  // Parses the three address fields into their recipient lists.
  void Commit();
  const std::vector<CString>& Recipients(int field) const;
  // Writes recipients and subject into the message when the header changed; true when it wrote.
  // With keep the header still counts as changed afterwards (the message is not stored yet).
  bool WriteToSite(StoreMessage& site, bool keep);

  void GetAddressTexts(CString& to, CString& cc, CString& bcc) const;
  void GetSubject(CString& subject) const;

  // The recipient limit: MaxRecipients, or for a voice-mail message a smaller MaxVMRecipients.
  int RecipientLimit() const;
  // Commits, then every entry must be valid and the count within the limit; the first problem is
  // shown to the user and the result is false.
  bool ValidateRecipients(HWND owner);
  // Whether another recipient fits; *count receives the current count. When full and asked to,
  // the user is told the limit.
  bool CanAddRecipient(int* count, bool showMessage);
  // Appends a picked or given number or address to an address field as "\"name\"<address>" and
  // marks the header changed. The value is normalised first; it is refused, with the user told
  // why, when it is not a valid number or address of its kind, when fixed dialling does not
  // allow the number, or when the message holds as many recipients as it may. The name is the
  // one the contacts keep for the address, else `chooserName`, else one made from the address.
  // An entry that would not fit into the field whole is refused too, rather than cut.
  bool InsertRecipient(int field, std::u16string_view value, RecipientKind kind, std::u16string_view chooserName,
                       HWND owner);

 private:
  int FieldIndex(int field) const;
  int RecipientCount() const;
  bool IsVoiceMail() const;

  CString m_messageClass;
  std::array<CString, 4> m_texts;
  std::array<std::vector<CString>, 3> m_lists;
  // Each address list as the message held it, and the text its field showed of it.
  std::array<CString, 3> m_loadedLists;
  std::array<CString, 3> m_loadedTexts;
  bool m_loading = false;
  bool m_changed = false;
};
