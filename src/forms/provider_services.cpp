#include "forms/provider_services.h"

#include <string_view>

#include "device/client_window.h"
#include "forms/form_interface.h"
#include "platform/window/window_api.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace provider {

void LoadTitles() {
  ULC_Global* global = ULC_Global::GetGlobal();
  if (global->appTitle.IsEmpty()) global->appTitle = transport::LoadResourceString(40876);
  if (global->appTitle2.IsEmpty()) global->appTitle2 = transport::LoadResourceString(40877);
}

void StartClient() {
  HWND client = nullptr;
  FindOrLaunchClient(&client);
}

HWND InboxListWindow() {
  HWND inbox = ::FindWindowW(u"Inbox.MainWnd", nullptr);
  if (inbox == nullptr) return nullptr;
  for (HWND child = ::GetWindow(inbox, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    WCHAR name[64];
    if (::GetClassNameW(child, name, 64) == 0) return nullptr;
    if (std::u16string_view(name) == u"SysListView32") return child;
  }
  return nullptr;
}

void PostFormFailed() {
  if (HWND client = ::FindWindowW(kClientWindowClass, nullptr)) ::PostMessageW(client, WM_FORM_FAILED, 0, 0);
}

}  // namespace provider
