#include "binary_forms.h"

namespace resource_compiler {
namespace {

void Put16(Bytes* out, std::uint32_t v) {
  out->push_back(static_cast<std::uint8_t>(v & 0xFF));
  out->push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(Bytes* out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutText(Bytes* out, const std::u16string& text) {
  for (char16_t c : text) Put16(out, c);
  Put16(out, 0);
}

bool PutUtf8(Bytes* out, const std::string& text) {
  std::u16string wide;
  if (!Utf8ToUtf16(text, &wide)) return false;
  PutText(out, wide);
  return true;
}

void AlignTo4(Bytes* out) {
  while (out->size() % 4) out->push_back(0);
}

constexpr std::uint16_t kMenuPopup = 0x10;
constexpr std::uint16_t kMenuSeparator = 0x800;
constexpr std::uint16_t kMenuEnd = 0x80;

bool EncodeMenuItems(const std::vector<MenuNode>& items, Bytes* out) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    const MenuNode& node = items[i];
    std::uint16_t flags = node.stateFlags;
    if (i + 1 == items.size()) flags |= kMenuEnd;
    if (node.kind == MenuNode::Kind::kPopup) {
      Put16(out, flags | kMenuPopup);
      if (!PutUtf8(out, node.text) || !EncodeMenuItems(node.children, out)) return false;
      continue;
    }
    if (node.kind == MenuNode::Kind::kSeparator) flags |= kMenuSeparator;
    Put16(out, flags);
    Put16(out, node.id);
    if (!PutUtf8(out, node.text)) return false;
  }
  return true;
}

// A menu, class or title field: 0 for none, or the text.
bool PutNameField(Bytes* out, const std::string& text) {
  if (text.empty()) {
    Put16(out, 0);
    return true;
  }
  return PutUtf8(out, text);
}

}  // namespace

bool Utf8ToUtf16(const std::string& text, std::u16string* out) {
  out->clear();
  for (std::size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0)) return false;
    char32_t code = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (code >= 0x10000) {
      code -= 0x10000;
      out->push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out->push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out->push_back(static_cast<char16_t>(code));
    }
  }
  return true;
}

bool EncodeString(const StringResource& s, Bytes* out) { return PutUtf8(out, s.text); }

bool EncodeFont(const FontResource& f, Bytes* out) {
  Put32(out, static_cast<std::uint32_t>(f.pixelSize));
  Put32(out, static_cast<std::uint32_t>(f.weight));
  return PutUtf8(out, f.face);
}

bool EncodeMenu(const MenuResource& m, Bytes* out) {
  Put16(out, 0);  // version
  Put16(out, 0);  // header size beyond the two words
  return EncodeMenuItems(m.items, out);
}

bool EncodeDialog(const DialogResource& d, Bytes* out) {
  Put32(out, d.style);
  Put32(out, d.exStyle);
  Put16(out, static_cast<std::uint16_t>(d.items.size()));
  for (std::int16_t v : {d.x, d.y, d.cx, d.cy}) Put16(out, static_cast<std::uint16_t>(v));
  Put16(out, 0);  // no menu
  if (!PutNameField(out, d.className) || !PutNameField(out, d.title)) return false;
  if (d.style & 0x40) {
    Put16(out, d.pointSize);
    if (!PutUtf8(out, d.face)) return false;
  }
  for (const DialogItem& item : d.items) {
    AlignTo4(out);
    Put32(out, item.style);
    Put32(out, item.exStyle);
    for (std::int16_t v : {item.x, item.y, item.cx, item.cy}) Put16(out, static_cast<std::uint16_t>(v));
    Put16(out, item.id);
    if (item.classOrdinal) {
      Put16(out, 0xFFFF);
      Put16(out, item.classOrdinal);
    } else if (!PutUtf8(out, item.className)) {
      return false;
    }
    if (item.titleIsOrdinal) {
      Put16(out, 0xFFFF);
      Put16(out, item.titleOrdinal);
    } else if (!PutUtf8(out, item.title)) {
      return false;
    }
    Put16(out, 0);  // no creation data
  }
  return true;
}

Bytes EncodeBitmap(const BitmapResource& b, int scale) {
  const int width = b.width * scale;
  const int height = b.height * scale;
  const int stride = (width * 3 + 3) & ~3;
  Bytes out;
  Put32(&out, 40);
  Put32(&out, static_cast<std::uint32_t>(width));
  Put32(&out, static_cast<std::uint32_t>(height));
  Put16(&out, 1);
  Put16(&out, 24);
  Put32(&out, 0);
  Put32(&out, static_cast<std::uint32_t>(stride * height));
  for (int i = 0; i < 4; ++i) Put32(&out, 0);
  for (int y = height - 1; y >= 0; --y) {
    std::size_t rowStart = out.size();
    for (int x = 0; x < width; ++x) {
      std::uint32_t rgb = b.pixels[static_cast<std::size_t>((y / scale) * b.width + x / scale)];
      out.push_back(static_cast<std::uint8_t>(rgb & 0xFF));          // blue
      out.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));   // green
      out.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));  // red
    }
    while (out.size() - rowStart < static_cast<std::size_t>(stride)) out.push_back(0);
  }
  return out;
}

}  // namespace resource_compiler
