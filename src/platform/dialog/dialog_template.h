// Binary dialog templates (DLGTEMPLATE followed by DLGITEMTEMPLATE items, each item on a 4-byte
// boundary), read through a bounded cursor: a template that ends early or names too many items is
// refused with the offset where reading stopped.
#pragma once

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/win_types.h"

struct DLGTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  WORD cdit;
  short x;
  short y;
  short cx;
  short cy;
};

constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_CENTER = 0x800;

// The predefined control classes of item templates (0xFFFF followed by the ordinal).
constexpr WORD kButtonOrdinal = 0x0080;
constexpr WORD kEditOrdinal = 0x0081;
constexpr WORD kStaticOrdinal = 0x0082;
constexpr WORD kListBoxOrdinal = 0x0083;
constexpr WORD kScrollBarOrdinal = 0x0084;
constexpr WORD kComboBoxOrdinal = 0x0085;

namespace platform::dialog {

// A name field: nothing, an ordinal, or a text.
struct NameField {
  bool isOrdinal = false;
  WORD ordinal = 0;
  std::u16string text;
  bool Empty() const { return !isOrdinal && text.empty(); }
};

struct DialogItemTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  WORD id = 0;
  NameField windowClass;
  NameField title;
  std::span<const BYTE> creationData;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  NameField menu;
  NameField windowClass;
  std::u16string title;
  WORD pointSize = 0;
  std::u16string face;
  std::vector<DialogItemTemplate> items;
};

struct TemplateError {
  std::size_t offset = 0;
  std::string reason;
};

// More items than this is taken as a damaged template.
constexpr WORD kMaxDialogItems = 512;

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> bytes, TemplateError* error = nullptr);

// The class name of a predefined ordinal ("BUTTON", ...), or empty.
std::u16string_view ClassNameOfOrdinal(WORD ordinal);

}  // namespace platform::dialog
