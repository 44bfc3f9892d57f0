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

RECT ClientAboveSoftKeys(HWND dialog, HWND keys) {
  RECT client{};
  GetClientRect(dialog, &client);
  if (keys == nullptr) return client;
  RECT bar{};
  GetWindowRect(keys, &bar);
  POINT barTop{bar.left, bar.top};
  ScreenToClient(dialog, &barTop);
  if (barTop.y > client.top && barTop.y < client.bottom) client.bottom = barTop.y;
  return client;
}
