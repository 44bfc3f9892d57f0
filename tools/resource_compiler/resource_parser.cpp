#include "resource_parser.h"

#include <map>

namespace resource_compiler {
namespace {

const std::map<std::string, std::uint32_t>& StyleNames() {
  static const std::map<std::string, std::uint32_t> names = {
      {"WS_POPUP", 0x80000000}, {"WS_CHILD", 0x40000000}, {"WS_VISIBLE", 0x10000000},
      {"WS_DISABLED", 0x08000000}, {"WS_CLIPSIBLINGS", 0x04000000}, {"WS_CLIPCHILDREN", 0x02000000},
      {"WS_CAPTION", 0x00C00000}, {"WS_BORDER", 0x00800000}, {"WS_VSCROLL", 0x00200000},
      {"WS_HSCROLL", 0x00100000}, {"WS_SYSMENU", 0x00080000}, {"WS_GROUP", 0x00020000},
      {"WS_TABSTOP", 0x00010000}, {"WS_EX_CLIENTEDGE", 0x200}, {"WS_EX_CONTROLPARENT", 0x10000},
      {"DS_SETFONT", 0x40}, {"DS_MODALFRAME", 0x80}, {"DS_CENTER", 0x800},
      {"BS_PUSHBUTTON", 0}, {"BS_DEFPUSHBUTTON", 1}, {"BS_CHECKBOX", 2}, {"BS_AUTOCHECKBOX", 3},
      {"BS_RADIOBUTTON", 4}, {"BS_GROUPBOX", 7}, {"BS_AUTORADIOBUTTON", 9}, {"BS_OWNERDRAW", 0xB},
      {"SS_LEFT", 0}, {"SS_CENTER", 1}, {"SS_RIGHT", 2}, {"SS_ICON", 3}, {"SS_BITMAP", 0xE},
      {"SS_NOTIFY", 0x100}, {"SS_CENTERIMAGE", 0x200},
      {"ES_LEFT", 0}, {"ES_CENTER", 1}, {"ES_RIGHT", 2}, {"ES_MULTILINE", 4}, {"ES_PASSWORD", 0x20},
      {"ES_AUTOVSCROLL", 0x40}, {"ES_AUTOHSCROLL", 0x80}, {"ES_READONLY", 0x800}, {"ES_NUMBER", 0x2000},
      {"LBS_NOTIFY", 1}, {"LBS_SORT", 2}, {"LBS_HASSTRINGS", 0x40},
      {"LVS_REPORT", 1}, {"LVS_LIST", 3}, {"LVS_SINGLESEL", 4}, {"LVS_SHOWSELALWAYS", 8},
      {"LVS_NOCOLUMNHEADER", 0x4000},
      {"CBS_DROPDOWN", 2}, {"CBS_DROPDOWNLIST", 3}, {"CBS_SORT", 0x100},
      {"DTS_SHORTDATEFORMAT", 0}, {"DTS_UPDOWN", 1}, {"DTS_LONGDATEFORMAT", 4}, {"DTS_TIMEFORMAT", 9},
  };
  return names;
}

const std::map<std::string, std::uint16_t>& ControlOrdinals() {
  static const std::map<std::string, std::uint16_t> ordinals = {
      {"BUTTON", 0x80}, {"EDIT", 0x81}, {"STATIC", 0x82}, {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84},
      {"COMBOBOX", 0x85}};
  return ordinals;
}

// A cursor over the tokens; every read checks that a token of the wanted kind is there.
class Reader {
 public:
  Reader(const std::vector<Token>& tokens, std::string* error) : m_tokens(tokens), m_error(error) {}

  bool AtEnd() const { return m_pos >= m_tokens.size(); }
  bool PeekWord(const char* word) const {
    return !AtEnd() && m_tokens[m_pos].kind == TokenKind::kWord && m_tokens[m_pos].text == word;
  }
  bool PeekString() const { return !AtEnd() && m_tokens[m_pos].kind == TokenKind::kString; }
  bool TakeWord(const char* word) {
    if (!PeekWord(word)) return false;
    ++m_pos;
    return true;
  }
  bool Word(std::string* out) { return Take(TokenKind::kWord, "a word", [&](const Token& t) { *out = t.text; }); }
  bool String(std::string* out) {
    return Take(TokenKind::kString, "a quoted text", [&](const Token& t) { *out = t.text; });
  }
  template <typename T>
  bool Number(T* out, std::int64_t low, std::int64_t high) {
    std::int64_t value = 0;
    if (!Take(TokenKind::kNumber, "a number", [&](const Token& t) { value = t.number; })) return false;
    if (value < low || value > high) return Fail("number out of range");
    *out = static_cast<T>(value);
    return true;
  }
  bool Id(std::uint16_t* out) {
    int value = 0;
    if (!Number(&value, -1, 0xFFFF)) return false;
    *out = static_cast<std::uint16_t>(value);
    return true;
  }
  bool Flags(std::uint32_t* out) {
    if (!AtEnd() && m_tokens[m_pos].kind == TokenKind::kNumber) return Number(out, 0, 0xFFFFFFFF);
    std::string word;
    if (!Word(&word)) return false;
    *out = 0;
    std::size_t start = 0;
    while (start <= word.size()) {
      std::size_t bar = word.find('|', start);
      std::string name = word.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
      auto it = StyleNames().find(name);
      if (it == StyleNames().end()) return Fail("unknown style '" + name + "'");
      *out |= it->second;
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    return true;
  }
  bool Fail(const std::string& reason) {
    int line = AtEnd() ? (m_tokens.empty() ? 0 : m_tokens.back().line) : m_tokens[m_pos].line;
    *m_error = "line " + std::to_string(line) + ": " + reason;
    return false;
  }

 private:
  template <typename F>
  bool Take(TokenKind kind, const char* what, F&& use) {
    if (AtEnd() || m_tokens[m_pos].kind != kind) return Fail(std::string("expected ") + what);
    use(m_tokens[m_pos++]);
    return true;
  }

  const std::vector<Token>& m_tokens;
  std::string* m_error;
  std::size_t m_pos = 0;
};

bool ParseMenuItems(Reader& in, std::vector<MenuNode>* items, int depth) {
  if (depth > 8) return in.Fail("menus nest too deeply");
  while (!in.TakeWord("END")) {
    MenuNode node;
    if (in.TakeWord("SEPARATOR")) {
      node.kind = MenuNode::Kind::kSeparator;
    } else if (in.TakeWord("POPUP")) {
      node.kind = MenuNode::Kind::kPopup;
      if (!in.String(&node.text) || !ParseMenuItems(in, &node.children, depth + 1)) return false;
    } else if (in.TakeWord("ITEM")) {
      if (!in.Id(&node.id) || !in.String(&node.text)) return false;
      for (;;) {
        if (in.TakeWord("GRAYED")) node.stateFlags |= 0x1;
        else if (in.TakeWord("CHECKED")) node.stateFlags |= 0x8;
        else break;
      }
    } else {
      return in.Fail("expected ITEM, SEPARATOR, POPUP or END");
    }
    items->push_back(std::move(node));
  }
  return true;
}

bool ParseControl(Reader& in, DialogItem* item) {
  if (!in.Id(&item->id)) return false;
  if (in.PeekString()) {
    if (!in.String(&item->className)) return false;
  } else {
    std::string name;
    if (!in.Word(&name)) return false;
    auto it = ControlOrdinals().find(name);
    if (it == ControlOrdinals().end()) return in.Fail("unknown control class '" + name + "'");
    item->classOrdinal = it->second;
  }
  if (in.TakeWord("ORD")) {
    item->titleIsOrdinal = true;
    if (!in.Id(&item->titleOrdinal)) return false;
  } else if (!in.String(&item->title)) {
    return false;
  }
  if (!in.Number(&item->x, -32768, 32767) || !in.Number(&item->y, -32768, 32767) ||
      !in.Number(&item->cx, 0, 32767) || !in.Number(&item->cy, 0, 32767) || !in.Flags(&item->style)) {
    return false;
  }
  return !in.TakeWord("EXSTYLE") || in.Flags(&item->exStyle);
}

bool ParseDialog(Reader& in, DialogResource* dialog) {
  if (!in.Id(&dialog->id) || !in.Number(&dialog->x, -32768, 32767) || !in.Number(&dialog->y, -32768, 32767) ||
      !in.Number(&dialog->cx, 0, 32767) || !in.Number(&dialog->cy, 0, 32767)) {
    return false;
  }
  for (;;) {
    if (in.TakeWord("STYLE")) {
      if (!in.Flags(&dialog->style)) return false;
    } else if (in.TakeWord("EXSTYLE")) {
      if (!in.Flags(&dialog->exStyle)) return false;
    } else if (in.TakeWord("CLASS")) {
      if (!in.String(&dialog->className)) return false;
    } else if (in.TakeWord("TITLE")) {
      if (!in.String(&dialog->title)) return false;
    } else if (in.TakeWord("FONT")) {
      if (!in.Number(&dialog->pointSize, 1, 72) || !in.String(&dialog->face)) return false;
      dialog->style |= 0x40;
    } else {
      break;
    }
  }
  while (!in.TakeWord("END")) {
    if (!in.TakeWord("CONTROL")) return in.Fail("expected CONTROL or END");
    DialogItem item;
    if (!ParseControl(in, &item)) return false;
    dialog->items.push_back(std::move(item));
  }
  return true;
}

bool ParseBitmapRows(Reader& in, BitmapResource* bitmap, const std::map<char, std::uint32_t>& palette,
                     int cellWidth, int cellX, int rows) {
  for (int y = 0; y < rows; ++y) {
    std::string row;
    if (!in.String(&row)) return false;
    if (static_cast<int>(row.size()) != cellWidth) return in.Fail("row of the wrong width");
    for (int x = 0; x < cellWidth; ++x) {
      auto it = palette.find(row[static_cast<std::size_t>(x)]);
      if (it == palette.end()) return in.Fail(std::string("colour '") + row[static_cast<std::size_t>(x)] + "' not in the palette");
      bitmap->pixels[static_cast<std::size_t>(y * bitmap->width + cellX + x)] = it->second;
    }
  }
  return true;
}

bool ParseBitmap(Reader& in, BitmapResource* bitmap) {
  int cells = 1;
  if (!in.Id(&bitmap->id) || !in.Number(&bitmap->width, 1, 1024) || !in.Number(&bitmap->height, 1, 1024)) {
    return false;
  }
  if (in.TakeWord("CELLS") && !in.Number(&cells, 1, 256)) return false;
  const int cellWidth = bitmap->width;
  bitmap->width *= cells;
  std::map<char, std::uint32_t> palette;
  while (in.TakeWord("COLOR")) {
    std::string key;
    std::uint32_t color = 0;
    if (!in.String(&key) || key.size() != 1 || !in.Number(&color, 0, 0xFFFFFF)) {
      return in.Fail("COLOR takes one quoted character and a colour 0xRRGGBB");
    }
    palette[key[0]] = color;
  }
  if (palette.empty()) return in.Fail("a bitmap needs a palette");
  // Cells nobody drew stay in the first colour of the palette, the transparent key by convention.
  bitmap->pixels.assign(static_cast<std::size_t>(bitmap->width * bitmap->height), palette.begin()->second);
  if (cells == 1 && in.PeekString()) {
    if (!ParseBitmapRows(in, bitmap, palette, cellWidth, 0, bitmap->height)) return false;
  }
  while (in.TakeWord("CELL")) {
    int index = 0;
    if (!in.Number(&index, 0, cells - 1) || !ParseBitmapRows(in, bitmap, palette, cellWidth, index * cellWidth,
                                                             bitmap->height)) {
      return false;
    }
  }
  return in.TakeWord("END") || in.Fail("expected CELL or END");
}

}  // namespace

bool ParseResources(const std::vector<Token>& tokens, ResourceSet* set, std::string* error) {
  Reader in(tokens, error);
  while (!in.AtEnd()) {
    if (in.TakeWord("STRING")) {
      StringResource s;
      if (!in.Id(&s.id) || !in.String(&s.text)) return false;
      set->strings.push_back(std::move(s));
    } else if (in.TakeWord("FONT")) {
      FontResource f;
      if (!in.Id(&f.id) || !in.String(&f.face) || !in.Number(&f.pixelSize, 1, 200) ||
          !in.Number(&f.weight, 0, 1000)) {
        return false;
      }
      set->fonts.push_back(std::move(f));
    } else if (in.TakeWord("MENU")) {
      MenuResource m;
      if (!in.Id(&m.id) || !ParseMenuItems(in, &m.items, 0)) return false;
      set->menus.push_back(std::move(m));
    } else if (in.TakeWord("DIALOG")) {
      DialogResource d;
      if (!ParseDialog(in, &d)) return false;
      set->dialogs.push_back(std::move(d));
    } else if (in.TakeWord("BITMAP")) {
      BitmapResource b;
      if (!ParseBitmap(in, &b)) return false;
      set->bitmaps.push_back(std::move(b));
    } else {
      return in.Fail("expected STRING, FONT, MENU, DIALOG or BITMAP");
    }
  }
  return true;
}

}  // namespace resource_compiler
