#include "forms/recipient_text.h"

#include <string>

namespace {

std::u16string_view Trim(std::u16string_view text) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Calls `each` with every entry of a semicolon-separated list, in order, and whether another follows.
template <typename Function>
void ForEachEntry(std::u16string_view list, Function each) {
  for (;;) {
    std::size_t end = list.find(u';');
    each(list.substr(0, end), end != std::u16string_view::npos);
    if (end == std::u16string_view::npos) return;
    list.remove_prefix(end + 1);
  }
}

}  // namespace

DisplayAddress SplitDisplayAddress(std::u16string_view entry) {
  std::size_t open = entry.find(u'<');
  std::size_t close = open == std::u16string_view::npos ? open : entry.find(u'>', open + 1);
  if (close == std::u16string_view::npos) return {CString(Trim(entry)), CString(Trim(entry))};
  std::u16string_view name = Trim(entry.substr(0, open));
  if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') name = name.substr(1, name.size() - 2);
  std::u16string_view address = Trim(entry.substr(open + 1, close - open - 1));
  return {CString(name.empty() ? address : name), CString(address)};
}

CString AddressListOf(std::u16string_view displayList) {
  CString addresses;
  ForEachEntry(displayList, [&](std::u16string_view entry, bool) {
    if (Trim(entry).empty()) return;
    if (!addresses.IsEmpty()) addresses += u';';
    addresses += SplitDisplayAddress(entry).address.View();
  });
  return addresses;
}

CString OneLineList(std::u16string_view list) {
  CString text(list);
  text.Replace(u"\t", u"        ");
  text.Replace(u"\r\n", u" ");
  return text;
}

CString RemoveCountryCodes(std::u16string_view list, std::u16string_view countryCode) {
  if (countryCode.empty()) return CString(list);
  std::u16string result;
  ForEachEntry(list, [&](std::u16string_view entry, bool more) {
    std::size_t open = entry.find(u'<');
    std::size_t start = open == std::u16string_view::npos ? 0 : open + 1;
    while (start < entry.size() && entry[start] == u' ') ++start;
    std::u16string text(entry);
    if (entry.substr(start).starts_with(countryCode)) text.erase(start, countryCode.size());
    result += text;
    if (more) result += u';';
  });
  return CString(result);
}

CString RecipientListFromHostText(std::u16string_view text) {
  std::u16string separated(text);
  bool quoted = false;
  for (std::size_t i = 0; i < separated.size(); ++i) {
    const char16_t c = separated[i];
    if (c == u'"') {
      // A doubled quote inside a quoted part is a literal quote and does not close it.
      if (quoted && i + 1 < separated.size() && separated[i + 1] == u'"') {
        ++i;
        continue;
      }
      quoted = !quoted;
    } else if (c == u',' && !quoted) {
      separated[i] = u';';
    }
  }
  CString list;
  ForEachEntry(separated, [&](std::u16string_view entry, bool) {
    std::u16string_view trimmed = Trim(entry);
    if (trimmed.empty()) return;
    if (!list.IsEmpty()) list += u';';
    list += trimmed;
  });
  return list;
}
