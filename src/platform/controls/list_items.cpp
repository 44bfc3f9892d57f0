#include "platform/controls/list_items.h"

#include <algorithm>

#include "platform/text/text_conversion.h"

namespace platform::controls {

const ListMessages kListBoxMessages{LB_ADDSTRING,  LB_INSERTSTRING, LB_DELETESTRING,  LB_RESETCONTENT,
                                    LB_GETCOUNT,   LB_GETCURSEL,    LB_SETCURSEL,     LB_GETTEXT,
                                    LB_GETTEXTLEN, LB_GETITEMDATA,  LB_SETITEMDATA,   LB_FINDSTRINGEXACT,
                                    LB_ERR};
const ListMessages kComboBoxMessages{CB_ADDSTRING,    CB_INSERTSTRING, CB_DELETESTRING,  CB_RESETCONTENT,
                                     CB_GETCOUNT,     CB_GETCURSEL,    CB_SETCURSEL,     CB_GETLBTEXT,
                                     CB_GETLBTEXTLEN, CB_GETITEMDATA,  CB_SETITEMDATA,   CB_FINDSTRINGEXACT,
                                     CB_ERR};

LRESULT ItemList::Insert(const ListMessages& m, int index, LPARAM text) {
  if (index < -1 || index > static_cast<int>(m_items.size())) return m.error;
  ListItem item{text ? std::u16string(reinterpret_cast<LPCWSTR>(text)) : std::u16string(), 0};
  std::size_t at = index == -1 ? m_items.size() : static_cast<std::size_t>(index);
  m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
  if (m_selection >= static_cast<int>(at)) ++m_selection;
  return static_cast<LRESULT>(at);
}

std::optional<LRESULT> ItemList::Handle(const ListMessages& m, UINT message, WPARAM wParam, LPARAM lParam,
                                        bool* changed) {
  const auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
  const bool valid = index >= 0 && index < static_cast<int>(m_items.size());
  *changed = false;
  if (message == m.add || message == m.insert) {
    *changed = true;
    return Insert(m, message == m.add ? -1 : index, lParam);
  }
  if (message == m.remove) {
    if (!valid) return m.error;
    m_items.erase(m_items.begin() + index);
    if (m_selection == index) m_selection = -1;
    else if (m_selection > index) --m_selection;
    *changed = true;
    return static_cast<LRESULT>(m_items.size());
  }
  if (message == m.reset) {
    m_items.clear();
    m_selection = -1;
    *changed = true;
    return 0;
  }
  if (message == m.count) return static_cast<LRESULT>(m_items.size());
  if (message == m.getSel) return m_selection < 0 ? m.error : m_selection;
  if (message == m.setSel) {
    Select(index);
    *changed = true;
    return valid ? index : m.error;
  }
  if (message == m.getTextLength) return valid ? static_cast<LRESULT>(m_items[static_cast<std::size_t>(index)].text.size()) : m.error;
  if (message == m.getText) {
    if (!valid || !lParam) return m.error;
    const std::u16string& text = m_items[static_cast<std::size_t>(index)].text;
    std::copy(text.begin(), text.end(), reinterpret_cast<WCHAR*>(lParam));
    reinterpret_cast<WCHAR*>(lParam)[text.size()] = 0;
    return static_cast<LRESULT>(text.size());
  }
  if (message == m.getData) return valid ? m_items[static_cast<std::size_t>(index)].data : m.error;
  if (message == m.setData) {
    if (!valid) return m.error;
    m_items[static_cast<std::size_t>(index)].data = lParam;
    return TRUE;
  }
  if (message == m.findExact) {
    if (!lParam) return m.error;
    std::u16string_view wanted(reinterpret_cast<LPCWSTR>(lParam));
    const int count = static_cast<int>(m_items.size());
    const int start = index >= -1 && index < count ? index + 1 : 0;
    for (int step = 0; step < count; ++step) {
      int i = (start + step) % count;
      if (platform::EqualsNoCase(m_items[static_cast<std::size_t>(i)].text, wanted)) return i;
    }
    return m.error;
  }
  return std::nullopt;
}

}  // namespace platform::controls
