// The items of a list box or a combo box, with the messages both answer the same way (adding,
// inserting, deleting, finding, texts and item data, the selection).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/controls/control_messages.h"

namespace platform::controls {

struct ListItem {
  std::u16string text;
  LPARAM data = 0;
};

// Item messages of one control kind, so that the shared handling answers both.
struct ListMessages {
  UINT add, insert, remove, reset, count, getSel, setSel, getText, getTextLength, getData, setData, findExact;
  LRESULT error;
};
extern const ListMessages kListBoxMessages;
extern const ListMessages kComboBoxMessages;

class ItemList {
 public:
  // Answers an item message; nothing when `message` is none of them. `changed` tells whether
  // the items or the selection changed (for repainting).
  std::optional<LRESULT> Handle(const ListMessages& m, UINT message, WPARAM wParam, LPARAM lParam, bool* changed);

  const std::vector<ListItem>& Items() const { return m_items; }
  int Selection() const { return m_selection; }
  void Select(int index) { m_selection = index >= 0 && index < static_cast<int>(m_items.size()) ? index : -1; }

 private:
  LRESULT Insert(const ListMessages& m, int index, LPARAM text);

  std::vector<ListItem> m_items;
  int m_selection = -1;
};

}  // namespace platform::controls
