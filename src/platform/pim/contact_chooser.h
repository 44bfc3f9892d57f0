// The device's contact chooser (the PIM store library's ordinal 12): a window of class
// "MSContactChooser" that lists the contacts and, when properties are asked for, their fields, one
// row each; the person picks a row. With a front-end waiting for a person the window waits for a
// tap or a key; headless, the choice comes from the automation's answer queue as the row number,
// counted from 1 as the prompt lists the rows (0, or a number of no row, cancels).
#pragma once

#include "platform/win_types.h"

// The choice record: thirteen fields, 52 bytes on the device, where its pointers are 32-bit; here
// cbSize is the size of this record.
struct CONTACTCHOICE {
  DWORD cbSize;
  HWND hwndOwner;
  DWORD dwFlags;                        // CCF_ASSIGNPHOTO
  LPCWSTR lpszTitle;                    // null for "Contacts"
  DWORD cRequestedProperties;           // 0: a contact is chosen, not a field
  const ULONG* rgRequestedProperties;   // 0x1801001F numbers, 0x1806001F e-mail, 0x1800001F all fields
  LPCWSTR lpszPictureFile;              // with CCF_ASSIGNPHOTO: becomes the chosen contact's photo
  LONG lContactId;                      // out: the chosen contact
  ULONG ulPropertyChosen;               // out: the chosen field's property, 0 when none was asked
  LPWSTR lpszValue;                     // out, may be null: the field's value, cut to fit
  DWORD cchValue;
  LPWSTR lpszName;                      // out, may be null: the contact's name, cut to fit
  DWORD cchName;
};

// The picture given is assigned as the chosen contact's photo.
constexpr DWORD CCF_ASSIGNPHOTO = 0x1;

// 1: a contact was chosen (and with CCF_ASSIGNPHOTO, its photo set); -1: the person cancelled, or
// there was nothing to choose from; 0: the record is malformed, or the photo could not be assigned.
int ChooseContact(CONTACTCHOICE* choice);

namespace platform::pim {

// The window class of the chooser.
inline constexpr const WCHAR* kContactChooserClass = u"MSContactChooser";

}  // namespace platform::pim
