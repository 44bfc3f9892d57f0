// What the resource sources describe, before it is encoded into the binary forms the device reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace resource_compiler {

struct StringResource {
  std::uint16_t id = 0;
  std::string text;  // UTF-8
};

struct FontResource {
  std::uint16_t id = 0;
  std::string face;
  std::int32_t pixelSize = 0;  // at 96 dots per inch
  std::int32_t weight = 400;
};

struct MenuNode {
  enum class Kind { kItem, kSeparator, kPopup } kind = Kind::kItem;
  std::uint16_t id = 0;
  std::string text;
  std::uint16_t stateFlags = 0;  // MF_GRAYED, MF_CHECKED
  std::vector<MenuNode> children;
};

struct MenuResource {
  std::uint16_t id = 0;
  std::vector<MenuNode> items;
};

struct DialogItem {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::uint16_t id = 0;
  std::uint16_t classOrdinal = 0;  // 0x0080 button ... 0x0085 combo box; 0 for a named class
  std::string className;
  bool titleIsOrdinal = false;
  std::uint16_t titleOrdinal = 0;
  std::string title;
};

struct DialogResource {
  std::uint16_t id = 0;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::string className;
  std::string title;
  std::uint16_t pointSize = 0;  // written with the face when the style has DS_SETFONT
  std::string face;
  std::vector<DialogItem> items;
};

struct BitmapResource {
  std::uint16_t id = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
};

struct ResourceSet {
  std::vector<StringResource> strings;
  std::vector<FontResource> fonts;
  std::vector<MenuResource> menus;
  std::vector<DialogResource> dialogs;
  std::vector<BitmapResource> bitmaps;
};

}  // namespace resource_compiler
