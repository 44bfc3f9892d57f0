#include "transport/resource_module.h"

#include <cstring>

#include "platform/kernel/module_api.h"
#include "platform/resources/resource_api.h"
#include "transport/message_box.h"
#include "transport/mms_global.h"

namespace transport {
namespace {

constexpr int kDefaultFontSize = 12;

struct FontRecord {
  LONG pixelSize = kDefaultFontSize;
  LONG weight = FW_NORMAL;
  std::u16string face = u"DejaVu Sans";
};

// The library's font record: two 32-bit words and a null-terminated face name.
FontRecord ReadFontRecord(int kind) {
  FontRecord record;
  HINSTANCE instance = ResourceInstance();
  HRSRC resource = instance ? FindResourceW(instance, MAKEINTRESOURCEW(static_cast<unsigned>(kind)), RT_FONT) : nullptr;
  const auto* data = resource ? static_cast<const BYTE*>(LockResource(LoadResource(instance, resource))) : nullptr;
  const DWORD size = resource ? SizeofResource(instance, resource) : 0;
  if (!data || size < 8) return record;
  std::memcpy(&record.pixelSize, data, 4);
  std::memcpy(&record.weight, data + 4, 4);
  std::u16string face;
  for (DWORD at = 8; at + 1 < size; at += 2) {
    auto c = static_cast<char16_t>(data[at] | (data[at + 1] << 8));
    if (c == 0) break;
    face.push_back(c);
  }
  if (!face.empty()) record.face = face;
  if (record.pixelSize <= 0 || record.pixelSize > 200) record.pixelSize = kDefaultFontSize;
  return record;
}

}  // namespace

HINSTANCE ResourceInstance() {
  ResourceModuleRecord& record = ULC_Global::GetGlobal()->resourceModule;
  if (!record.instance) {
    if (record.path.IsEmpty()) record.path = CString(kDefaultResourceLibrary);
    record.instance = LoadLibraryExW(record.path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  return record.instance;
}

CString LoadResourceString(UINT id) {
  if (id == kCaptionString && VoiceMailClassConfigured()) id = kVoiceMailCaptionString;
  HINSTANCE instance = ResourceInstance();
  const WCHAR* text = nullptr;
  if (!instance) return CString();
  // A size of 0 hands out the text in place, however long it is.
  const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? CString(std::u16string_view(text, static_cast<std::size_t>(length))) : CString();
}

HMENU LoadResourceMenu(UINT id) {
  HINSTANCE instance = ResourceInstance();
  return instance ? LoadMenuW(instance, MAKEINTRESOURCEW(id)) : nullptr;
}

HBITMAP LoadResourceBitmap(UINT id) {
  HINSTANCE instance = ResourceInstance();
  return instance ? LoadBitmapW(instance, MAKEINTRESOURCEW(id)) : nullptr;
}

const DLGTEMPLATE* LoadResourceDialog(UINT id) {
  HINSTANCE instance = ResourceInstance();
  HRSRC resource = instance ? FindResourceW(instance, MAKEINTRESOURCEW(id), RT_DIALOG) : nullptr;
  return resource ? static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(instance, resource))) : nullptr;
}

HFONT CreateUiFont(int kind, int size) {
  FontRecord record = ReadFontRecord(kind);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const int pixels = size > 0 ? size : record.pixelSize;
  LOGFONTW font{};
  // The size is the font's cell height, as the device's font sizes are.
  font.lfHeight = (pixels * dpi + 95) / 96;
  font.lfWeight = record.weight;
  font.lfQuality = ANTIALIASED_QUALITY;
  std::size_t count = std::min<std::size_t>(record.face.size(), LF_FACESIZE - 1);
  std::copy_n(record.face.begin(), count, font.lfFaceName);
  return CreateFontIndirectW(&font);
}

}  // namespace transport
