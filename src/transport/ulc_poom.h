// The transport's wrapper of the device's contact store (ULC_Poom): one object per item kind,
// contacts, appointments or tasks, handed out by CMMSGlobal. Results are non-zero on success.
#pragma once

#include "platform/pim/pim_items.h"
#include "platform/text/cstring.h"
#include "platform/win_types.h"

class ULC_Poom {
 public:
  explicit ULC_Poom(platform::pim::PimKind kind) : m_kind(kind) {}

  platform::pim::PimKind Kind() const { return m_kind; }
  // The number of items of the kind.
  int Count();
  // The identifier of the index-th item, counted from 0 in the order the items were added.
  BOOL Get(int index, LONG* id);
  // One text of an item: for a contact the field a property names (0x0090001F, 0x0096001F, ...); for
  // any kind, property 0 gives the item's name as lists show it (file-as, or the subject).
  BOOL GetPoomItemString(ULONG kind, LONG id, CString& text);
  // The which-th value (from 0) that a chooser request offers for a contact: 0x1801001F its
  // telephone numbers, 0x1806001F its e-mail addresses, 0x1800001F all its fields, set ones only.
  BOOL GetSinglePoomItemString(ULONG kind, LONG id, CString& text, int which);
  // Stores a text in a contact's field and saves the contact (a link kept from a message).
  BOOL SetPoomItemString(ULONG kind, LONG id, LPCWSTR text);
  // The picture of a device file (JPEG, PNG, GIF or BMP, at most 1 MB) becomes the contact's photo.
  BOOL SavePhotoToContact(LONG id, LPCWSTR file);
  // The sound of a device file becomes the contact's ring tone: the file is copied into the store's
  // own folder ("\Application Data\Contacts\"), so that it outlives the message it came with.
  BOOL SaveRingToneToContact(LONG id, LPCWSTR file);
  // Writes the item to a device file: a contact as a vCard 2.1, an appointment or task as a
  // vCalendar 1.0.
  BOOL Export(LONG id, LPCWSTR file);
  // Writes a vCard of just a name and a telephone number, for a number that is no stored contact.
  BOOL ExportSimpleVcard(LPCWSTR name, LPCWSTR number, LPCWSTR file);
  // The store the wrapper works on, or null when the device's store cannot be opened.
  void* GetOutlookApp();

 private:
  platform::pim::PimKind m_kind;
};
