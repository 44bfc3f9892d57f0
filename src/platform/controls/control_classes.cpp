#include "platform/controls/control_classes.h"

#include "platform/controls/menu_bar_api.h"
#include "platform/dialog/dialog_state.h"
#include "platform/window/window_system.h"

namespace platform::controls {
namespace {

void RegisterAll() {
  RegisterStaticClass();
  RegisterButtonClass();
  RegisterEditClass();
  RegisterListBoxClass();
  RegisterListViewClass();
  RegisterComboBoxClass();
  RegisterDateTimePickerClass();
  RegisterToolbarClass();
  RegisterPopupMenuClass();
  RegisterMenuBarClass();
  platform::dialog::EnsureDialogClass();
}

}  // namespace

void EnsureControlClasses() {
  WNDCLASSW existing{};
  if (GetClassInfoW(nullptr, kMenuBarClass, &existing) && GetClassInfoW(nullptr, u"BUTTON", &existing)) return;
  RegisterAll();
  // Until the window system is reset, a control made by name finds its class.
  platform::window::AddClassProvider([](std::u16string_view) {
    RegisterAll();
    return true;
  });
}

}  // namespace platform::controls

int InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (!init) return FALSE;
  platform::controls::EnsureControlClasses();
  return TRUE;
}
