// The resource module of ULC_Global: the resource library, loaded on first use as a data file from
// its path, and the strings, menus, dialog templates, bitmaps and user-interface fonts in it.
#pragma once

#include "platform/controls/menu_api.h"
#include "platform/dialog/dialog_template.h"
#include "platform/gdi/gdi_api.h"
#include "platform/text/cstring.h"

namespace transport {

// Where the resource library lives when the record names no path.
constexpr const WCHAR* kDefaultResourceLibrary = u"\\windows\\MMSRes.dll";

// The library's instance; null when it cannot be loaded.
HINSTANCE ResourceInstance();
// The text of a string number; empty when missing. String 40269 follows the voice-mail class.
CString LoadResourceString(UINT id);
// A new menu (the caller destroys it), a new bitmap (the caller deletes it), or null.
HMENU LoadResourceMenu(UINT id);
HBITMAP LoadResourceBitmap(UINT id);
// The dialog template of a number, or null.
const DLGTEMPLATE* LoadResourceDialog(UINT id);
// The user-interface font of a kind: face and weight from the library's font record, the size
// given (cell height in pixels at 96 dots per inch, scaled to the screen), else the record's,
// else 12.
HFONT CreateUiFont(int kind, int size);

}  // namespace transport
