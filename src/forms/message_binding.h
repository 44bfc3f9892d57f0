// MessageBinding: one stored MMS message tied to its MM1 data file and part folder. It keeps the
// message's entry identifier, opens the store message when needed, names the files from the
// message number, and owns the message model loaded from the data file.
#pragma once

#include <memory>
#include <optional>

#include "config/send_option_defaults.h"
#include "forms/store_message.h"
#include "model/message_model.h"
#include "platform/text/cstring.h"

namespace mm1 {
struct Pdu;
}

// CRC-16/XMODEM over the identifier with its last four bytes taken as 0: names the message's files.
WORD MessageNumber(std::string_view entryId);

class MessageBinding {
 public:
  MessageBinding() = default;
  MessageBinding(const MessageBinding&) = delete;
  MessageBinding& operator=(const MessageBinding&) = delete;

  // The message model, loaded from the data file into the part folder on first call (with the
  // storage check); null while the message body is not downloaded (state 3) or when it cannot load.
  MessageModel* Model();
  // The model, or for a message that has no data file yet (a new one) an empty model over the part
  // folder; null like Model() otherwise.
  MessageModel* ModelForComposing();
  // Saves the model into the data file and sets the message size from it; false without a model.
  bool SaveModel();
  void DropModel();

  // content folder + number + ".dat"
  CString DataFile() const;
  // content folder + "Temp\" + number + ".dat"; the folder is created when missing.
  CString TempDataFile() const;
  // content folder + number + "\"; created when missing.
  CString PartFolder() const;

  // Whether the data file holds DRM objects that may not be forwarded.
  bool HasLockedObjects() const;
  // The store message, opened on first call.
  StoreMessage& Message();

  // Header values of decoded MM1 messages, written into the store message.
  bool StoreHeader(const mm1::Pdu& header);
  bool StoreNotification(const mm1::Pdu& notification);
  bool StoreDeliveryReport(const mm1::Pdu& report);
  bool StoreReadReport(const mm1::Pdu& report);

  // The store property naming the message's folder, when the folder is one the store knows.
  std::optional<ULONG> FolderKind();
  bool ExceedsSendSize();
  bool ExceedsReceiveSize();
  bool IsExpired();
  // size 0: the data file's size (1000 when there is no file). Stored as the message size.
  LONG SetSizeFromFile(LONG size);
  // Keys 15 to 26 of the copy table.
  bool CopySendOptions(MessageBinding& source);
  // Copies the properties of the listed keys of the copy table; an unknown key copies nothing.
  bool CopyProperties(MessageBinding& source, const int* keys, int count);
  void ReadOptions(config::SendOptions& options);
  bool WriteOptions(const config::SendOptions& options);
  bool SetDatesNow();

  // The message opened again from the kept identifier (null when it was deleted); the caller owns it.
  ComPtr<IMessage> ReopenMessage() const;
  // Removes the part folder with its files, when the content folder is set and the folder exists.
  void RemovePartFolder();

  const EntryId& Identifier() const { return *m_entryId; }
  const CString& ContentFolder() const { return m_contentFolder; }

  // Ties the binding to `message`. folder null: the UAContents folder. Unless the verb's low word is
  // 5, the message is prepared for composing.
  friend bool LoadBinding(MessageBinding& binding, IMessage* message, LPCWSTR folder, DWORD verb);

 private:
  CString FileName(LPCWSTR format) const;
  std::optional<DWORD> DataFileSize() const;

  CString m_contentFolder;
  std::unique_ptr<StoreMessage> m_message;
  std::unique_ptr<MessageModel> m_model;
  std::shared_ptr<const EntryId> m_entryId = std::make_shared<const EntryId>();
};

bool LoadBinding(MessageBinding& binding, IMessage* message, LPCWSTR folder, DWORD verb);

// The property tag of key 0 to 29 of the copy table, or nothing.
std::optional<ULONG> CopyTableTag(int key);
