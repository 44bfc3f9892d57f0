// The menu objects behind HMENU handles.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/menu_api.h"

struct MenuItem {
  UINT flags = 0;  // MF_ flags of the item: kind and state
  UINT id = 0;
  std::u16string text;
  HMENU submenu = nullptr;
  ULONG_PTR itemData = 0;
};

struct MenuRecord {
  bool popup = true;
  std::vector<MenuItem> items;
};

namespace platform::controls {

// The menu behind a handle, or null for a handle that is no live menu.
MenuRecord* FindMenu(HMENU menu);

// The item named by position or by command (searched depth first through submenus), with the
// menu that holds it.
struct FoundItem {
  MenuRecord* menu = nullptr;
  std::size_t index = 0;
  MenuItem* item = nullptr;
};
FoundItem FindItem(HMENU menu, UINT item, UINT flags);

// The enabled command identifiers of a menu and its submenus, in order.
void CollectCommands(HMENU menu, std::vector<UINT>* commands);

}  // namespace platform::controls
