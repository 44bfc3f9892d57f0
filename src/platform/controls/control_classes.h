// The window classes of the platform controls, registered on first use: "BUTTON", "EDIT", "STATIC",
// "LISTBOX", "COMBOBOX", the list view, the date and time picker, the toolbar, the popup menu and the soft-key bar.
#pragma once

#include <string_view>

namespace platform::controls {

// Registers every control class that is missing (idempotent) and lets CreateWindowExW find them
// by name until the window system is reset.
void EnsureControlClasses();

// One class registration per control; each is called by EnsureControlClasses.
void RegisterStaticClass();
void RegisterButtonClass();
void RegisterEditClass();
void RegisterListBoxClass();
void RegisterListViewClass();
void RegisterComboBoxClass();
void RegisterDateTimePickerClass();
void RegisterToolbarClass();
void RegisterPopupMenuClass();
void RegisterMenuBarClass();

}  // namespace platform::controls

// What a program calls at start so that the common controls (the toolbar) exist.
struct INITCOMMONCONTROLSEX {
  unsigned long dwSize;
  unsigned long dwICC;
};
constexpr unsigned long ICC_BAR_CLASSES = 0x4;
int InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);
