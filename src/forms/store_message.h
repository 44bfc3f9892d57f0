// StoreMessage: the MAPI message of a stored MMS message, opened from the transport's message store
// by its entry identifier, with the accessors of its header properties. Every accessor gives 0,
// false or an empty text when the message is not open or the property is missing.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "config/send_option_defaults.h"
#include "platform/com/com_ptr.h"
#include "platform/message_store/mapi_interfaces.h"
#include "platform/text/cstring.h"

using EntryId = std::string;

class StoreMessage : public config::SendOptionTarget {
 public:
  // Opens the message with best access; anything that is not a message is released at once.
  explicit StoreMessage(std::shared_ptr<const EntryId> entryId);

  bool IsOpen() const { return static_cast<bool>(m_message); }
  IMessage* Get() const { return m_message.Get(); }

  LONG Size() const;
  bool SetSize(LONG size);
  // 1, 3, 4, 5, 6 or 7; any other stored value (and none) reads as 1.
  LONG State() const;
  // Writes the message status first: 1 and 7 clear its bit 0x10000, 3 and 6 set it.
  bool SetState(LONG state);
  DWORD Flags() const;
  // Merges the high word into the stored one and takes bit 0 from `flags`; other bits stay.
  bool SetFlags(DWORD flags);
  bool ClearFlags(DWORD mask);
  // Seconds since 1970, as the local-time rule of the store reads them.
  LONG Date() const;
  bool SetDate(LONG seconds);
  CString StatusText() const;
  bool SetStatusText(std::u16string_view text);
  CString SenderAddress() const;
  // Also splits the value into the sender name (display name, else the whole value) and address.
  bool SetSenderAddress(std::u16string_view text);
  CString SenderName() const;
  bool SetSenderName(std::u16string_view text);
  // Display lists and address lists, read with tabs and line breaks made spaces.
  CString ToList() const;
  CString CcList() const;
  CString BccList() const;
  CString ToAddresses() const;
  CString CcAddresses() const;
  CString BccAddresses() const;
  // Writes the three display lists and the address lists taken from them.
  bool SetRecipients(std::u16string_view to, std::u16string_view cc, std::u16string_view bcc);
  CString Subject() const;
  bool SetSubject(std::u16string_view text);
  CString MessageClassText() const;
  bool SetMessageClassText(std::u16string_view text);
  CString AccountName() const;
  bool SetAccountName(std::u16string_view name);
  DWORD MessageStatus() const;
  bool SetMessageStatus(DWORD status);
  // The parent folder's entry identifier.
  EntryId ParentEntryId() const;
  LONG LastModified() const;
  LONG DeliveryTime() const;
  bool SetDeliveryTime(LONG seconds);

  // Properties stored and copied without interpretation here.
  LONG Long(ULONG tag) const;
  bool SetLong(ULONG tag, LONG value);
  BOOL Bool(ULONG tag) const;
  bool SetBool(ULONG tag, BOOL value);
  CString Text(ULONG tag) const;
  bool SetText(ULONG tag, std::u16string_view text);
  // Reads the property from `source` and writes it here unchanged; nothing when it is missing there.
  bool CopyFrom(const StoreMessage& source, ULONG tag);

  // Send options (config::SendOptionTarget). The priority is also kept in the flags' high word.
  BOOL DeliveryReport() const override;
  LONG Priority() const override;
  LONG MessageClass() const override;
  void SetDeliveryReport(BOOL on) override;
  void SetReadReport(BOOL on) override;
  void SetPriority(LONG priority) override;
  void SetMessageClass(LONG messageClass) override;
  void SetSenderVisibility(LONG visibility) override;
  void SetExpiry(LONG expiry) override;
  bool WritePriority(LONG priority);
  // All send options at once, as the send-options dialog shows and stores them.
  config::SendOptions ReadSendOptions() const;
  bool WriteSendOptions(const config::SendOptions& options);

 private:
  std::optional<SPropValue> Read(ULONG tag, LPSPropValue* buffer) const;
  bool Write(const SPropValue& value);
  LONG ReadTime(ULONG tag) const;
  bool WriteTime(ULONG tag, LONG seconds);
  CString ReadList(ULONG tag) const;

  std::shared_ptr<const EntryId> m_entryId;
  ComPtr<IMessage> m_message;
};
