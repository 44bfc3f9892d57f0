#include "forms/dialog_soft_keys.h"

#include "platform/controls/menu_bar_api.h"
#include "transport/resource_module.h"

HWND CreateDialogSoftKeys(HWND dialog, UINT menu) {
  SHMENUBARINFO info{};
  info.cbSize = sizeof info;
  info.hwndParent = dialog;
  info.nToolBarId = menu;
  info.hInstRes = transport::ResourceInstance();
  return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
}
