// Menu objects: creation, items by position or command, states, and loading menu templates.
#include "platform/controls/menu_store.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "platform/kernel/last_error.h"
#include "platform/resources/resource_api.h"

namespace platform::controls {
namespace {

constexpr int kMaxMenuDepth = 8;
constexpr std::size_t kMaxMenuItems = 1024;
constexpr UINT kStateFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MFT_RADIOCHECK;

std::unordered_map<HMENU, std::unique_ptr<MenuRecord>>& Menus() {
  static std::unordered_map<HMENU, std::unique_ptr<MenuRecord>> menus;
  return menus;
}

HMENU AddMenu(bool popup) {
  auto record = std::make_unique<MenuRecord>();
  record->popup = popup;
  HMENU handle = record.get();
  Menus().emplace(handle, std::move(record));
  return handle;
}

FoundItem FindByCommand(HMENU menu, UINT id, int depth) {
  MenuRecord* record = FindMenu(menu);
  if (!record || depth > kMaxMenuDepth) return {};
  for (std::size_t i = 0; i < record->items.size(); ++i) {
    MenuItem& item = record->items[i];
    if (!(item.flags & MF_POPUP) && !(item.flags & MF_SEPARATOR) && item.id == id) return {record, i, &item};
    if (item.submenu) {
      if (FoundItem found = FindByCommand(item.submenu, id, depth + 1); found.item) return found;
    }
  }
  return {};
}

MenuItem MakeItem(UINT flags, UINT_PTR item, LPCWSTR text) {
  MenuItem made;
  made.flags = flags & ~MF_BYPOSITION;
  if (flags & MF_POPUP) {
    made.submenu = reinterpret_cast<HMENU>(item);
  } else {
    made.id = static_cast<UINT>(item & 0xFFFF);
  }
  if (flags & MF_OWNERDRAW) {
    made.itemData = reinterpret_cast<ULONG_PTR>(text);
  } else if (text && !(flags & MF_SEPARATOR)) {
    made.text = text;
  }
  return made;
}

// Reads a menu template level: items until one carries the end flag (0x80).
class TemplateReader {
 public:
  TemplateReader(std::span<const BYTE> bytes, std::size_t pos) : m_bytes(bytes), m_pos(pos) {}

  bool Level(HMENU menu, int depth) {
    if (depth > kMaxMenuDepth) return false;
    for (std::size_t count = 0; count < kMaxMenuItems; ++count) {
      WORD flags = 0;
      if (!Word(&flags)) return false;
      const bool last = (flags & 0x80) != 0;
      UINT itemFlags = flags & (kStateFlags | MF_SEPARATOR | MF_POPUP);
      UINT_PTR item = 0;
      if (flags & MF_POPUP) {
        HMENU sub = CreatePopupMenu();
        std::u16string text;
        if (!Text(&text) || !Level(sub, depth + 1)) {
          DestroyMenu(sub);
          return false;
        }
        AppendMenuW(menu, itemFlags, reinterpret_cast<UINT_PTR>(sub), text.c_str());
      } else {
        WORD id = 0;
        std::u16string text;
        if (!Word(&id) || !Text(&text)) return false;
        item = id;
        AppendMenuW(menu, itemFlags, item, text.c_str());
      }
      if (last) return true;
    }
    return false;
  }

 private:
  bool Word(WORD* out) {
    if (m_bytes.size() - m_pos < 2) return false;
    *out = static_cast<WORD>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
    m_pos += 2;
    return true;
  }
  bool Text(std::u16string* out) {
    for (WORD c = 0; Word(&c);) {
      if (c == 0) return true;
      out->push_back(static_cast<char16_t>(c));
    }
    return false;
  }

  std::span<const BYTE> m_bytes;
  std::size_t m_pos;
};

}  // namespace

MenuRecord* FindMenu(HMENU menu) {
  auto it = Menus().find(menu);
  return it == Menus().end() ? nullptr : it->second.get();
}

FoundItem FindItem(HMENU menu, UINT item, UINT flags) {
  MenuRecord* record = FindMenu(menu);
  if (!record) return {};
  if (flags & MF_BYPOSITION) {
    if (item >= record->items.size()) return {};
    return {record, item, &record->items[item]};
  }
  return FindByCommand(menu, item, 0);
}

void CollectCommands(HMENU menu, std::vector<UINT>* commands) {
  MenuRecord* record = FindMenu(menu);
  if (!record) return;
  for (const MenuItem& item : record->items) {
    if (item.submenu) {
      CollectCommands(item.submenu, commands);
    } else if (!(item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED))) {
      commands->push_back(item.id);
    }
  }
}

}  // namespace platform::controls

using namespace platform::controls;

HMENU CreateMenu() { return AddMenu(false); }
HMENU CreatePopupMenu() { return AddMenu(true); }
BOOL IsMenu(HMENU menu) { return FindMenu(menu) ? TRUE : FALSE; }

BOOL DestroyMenu(HMENU menu) {
  MenuRecord* record = FindMenu(menu);
  if (!record) return FALSE;
  std::vector<HMENU> submenus;
  for (const MenuItem& item : record->items) {
    if (item.submenu) submenus.push_back(item.submenu);
  }
  Menus().erase(menu);
  for (HMENU sub : submenus) DestroyMenu(sub);
  return TRUE;
}

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
  HRSRC resource = FindResourceW(instance, name, RT_MENU);
  const auto* data = resource ? static_cast<const BYTE*>(LockResource(LoadResource(instance, resource))) : nullptr;
  if (!data) return nullptr;
  std::span<const BYTE> bytes(data, SizeofResource(instance, resource));
  if (bytes.size() < 4) return nullptr;
  const std::size_t headerExtra = static_cast<std::size_t>(bytes[2] | (bytes[3] << 8));
  if (headerExtra > bytes.size() - 4) return nullptr;
  HMENU menu = CreateMenu();
  if (!TemplateReader(bytes, 4 + headerExtra).Level(menu, 0)) {
    DestroyMenu(menu);
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  return menu;
}

HMENU GetSubMenu(HMENU menu, int position) {
  FoundItem found = FindItem(menu, static_cast<UINT>(position), MF_BYPOSITION);
  return position >= 0 && found.item ? found.item->submenu : nullptr;
}

int GetMenuItemCount(HMENU menu) {
  MenuRecord* record = FindMenu(menu);
  return record ? static_cast<int>(record->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  FoundItem found = FindItem(menu, static_cast<UINT>(position), MF_BYPOSITION);
  if (position < 0 || !found.item || found.item->submenu) return static_cast<UINT>(-1);
  return found.item->id;
}

BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR item, LPCWSTR text) {
  MenuRecord* record = FindMenu(menu);
  if (!record || ((flags & MF_POPUP) && !FindMenu(reinterpret_cast<HMENU>(item))) ||
      record->items.size() >= kMaxMenuItems) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::size_t at = record->items.size();
  if (position != static_cast<UINT>(-1)) {
    FoundItem found = FindItem(menu, position, flags & MF_BYPOSITION);
    if (found.item) {
      record = found.menu;
      at = found.index;
    }
  }
  record->items.insert(record->items.begin() + static_cast<std::ptrdiff_t>(at), MakeItem(flags, item, text));
  return TRUE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR item, LPCWSTR text) {
  return InsertMenuW(menu, static_cast<UINT>(-1), flags | MF_BYPOSITION, item, text);
}

BOOL ModifyMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR item, LPCWSTR text) {
  FoundItem found = FindItem(menu, position, flags);
  if (!found.item) return FALSE;
  HMENU oldSubmenu = found.item->submenu;
  *found.item = MakeItem(flags, item, text);
  if (oldSubmenu && oldSubmenu != found.item->submenu) DestroyMenu(oldSubmenu);
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  FoundItem found = FindItem(menu, position, flags);
  if (!found.item) return FALSE;
  found.menu->items.erase(found.menu->items.begin() + static_cast<std::ptrdiff_t>(found.index));
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  FoundItem found = FindItem(menu, position, flags);
  if (!found.item) return FALSE;
  HMENU submenu = found.item->submenu;
  found.menu->items.erase(found.menu->items.begin() + static_cast<std::ptrdiff_t>(found.index));
  if (submenu) DestroyMenu(submenu);
  return TRUE;
}

DWORD EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  FoundItem found = FindItem(menu, item, flags);
  if (!found.item) return kMenuItemNotFound;
  DWORD previous = found.item->flags & (MF_GRAYED | MF_DISABLED);
  found.item->flags = (found.item->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return previous;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  FoundItem found = FindItem(menu, item, flags);
  if (!found.item) return kMenuItemNotFound;
  DWORD previous = found.item->flags & MF_CHECKED;
  found.item->flags = (found.item->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  return previous;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  if (first > last || check < first || check > last || !FindItem(menu, check, flags).item) return FALSE;
  for (UINT i = first; i <= last; ++i) {
    if (FoundItem found = FindItem(menu, i, flags); found.item) {
      found.item->flags &= ~(MF_CHECKED | MFT_RADIOCHECK);
      if (i == check) found.item->flags |= MF_CHECKED | MFT_RADIOCHECK;
    }
  }
  return TRUE;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  FoundItem found = FindItem(menu, item, flags);
  return found.item ? found.item->flags & (kStateFlags | MF_POPUP | MF_SEPARATOR | MF_OWNERDRAW) : static_cast<UINT>(-1);
}

int GetMenuStringW(HMENU menu, UINT item, LPWSTR text, int size, UINT flags) {
  FoundItem found = FindItem(menu, item, flags);
  if (!found.item) return 0;
  const std::u16string& value = found.item->text;
  if (!text || size <= 0) return static_cast<int>(value.size());
  std::size_t count = std::min(value.size(), static_cast<std::size_t>(size - 1));
  std::copy_n(value.begin(), count, text);
  text[count] = 0;
  return static_cast<int>(count);
}
