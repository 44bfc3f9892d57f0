#include "model/text_charset.h"

#include <algorithm>
#include <memory>

#include "mm1/content_type_split.h"
#include "model/device_file.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"

namespace {

using namespace charset_code;

constexpr std::string_view kUcs2ContentType = "text/plain;charset=iso-10646-ucs-2";
// Text parts are small; a larger file is not a text part worth holding in memory.
constexpr DWORD kMaxTextFileSize = 32u << 20;
constexpr UINT kCodePageLatin2 = 28592;
constexpr UINT kCodePageChinese = 936;
constexpr DWORD kMibUtf8 = 106;
constexpr DWORD kMibAscii = 3;
constexpr DWORD kMibUcs2 = 1000;

constexpr std::string_view kMarkUtf8 = "\xEF\xBB\xBF";
constexpr std::string_view kMarkLittleEndian = "\xFF\xFE";
constexpr std::string_view kMarkBigEndian = "\xFE\xFF";

struct CharsetName {
  std::string_view name;
  int code;
};

// "utf-8" and "utf-16" are the registered names of encodings decoded here; other phones send them.
constexpr CharsetName kCharsetNames[] = {
    {"iso-10646-ucs-2", kUcs2}, {"utf-16", kUcs2},      {"utf_8", kUtf8}, {"utf-8", kUtf8},
    {"iso-8859-1", kLatin1},    {"iso-8859-2", kLatin2}, {"gb2312", kGb2312}, {"gbk", kGbk},
};

using platform::EqualsNoCase;

struct HandleCloser {
  void operator()(void* handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

FileHandle OpenFile(const std::u16string& path, DWORD access, DWORD disposition) {
  HANDLE handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}


bool WriteWholeFile(const std::u16string& path, std::string_view data) {
  const FileHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
  if (!file) return false;
  while (!data.empty()) {
    DWORD written = 0;
    if (!WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) || written == 0) {
      return false;
    }
    data.remove_prefix(written);
  }
  return true;
}

// Replaces the file through a sibling renamed over it, so that a failed write leaves the original in
// place. Part files can be made again from the message file, so they are not forced to the disk.
bool ReplaceFile(const std::u16string& path, std::string_view data) {
  const std::u16string temporary = path + u"~";
  if (!WriteWholeFile(temporary, data) || !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

// UTF-16 that keeps FF FE little-endian and reads everything else big-endian, FE FF skipped.
std::u16string DecodeUcs2(std::string_view data, bool littleEndianWithoutMark) {
  if (data.starts_with(kMarkLittleEndian)) return DecodeUtf16(data.substr(2), true);
  if (data.starts_with(kMarkBigEndian)) return DecodeUtf16(data.substr(2), false);
  return DecodeUtf16(data, littleEndianWithoutMark);
}

std::optional<std::u16string> DecodeCodePage(UINT codePage, std::string_view data) {
  if (!platform::IsSupportedCodePage(codePage)) return std::nullopt;
  return platform::Decode(codePage, data);
}

std::optional<std::u16string> DecodeText(std::string_view data, int code) {
  switch (code) {
    case kUcs2: return DecodeUcs2(data, false);
    case kSystemCodePage: return DecodeCodePage(CP_ACP, data);
    case kUtf8:
      if (data.starts_with(kMarkUtf8)) data.remove_prefix(kMarkUtf8.size());
      return DecodeCodePage(CP_UTF8, data);
    case kLatin1: {
      std::u16string text;
      for (char c : data) text += static_cast<char16_t>(static_cast<unsigned char>(c));
      return text;
    }
    // ISO-8859-2 as itself: code page 1250 puts other letters (š, ž, ś, ą, ź, ť, ľ) on some bytes.
    case kLatin2: return DecodeCodePage(kCodePageLatin2, data);
    // GB2312 and GBK are subsets of code page 936, whatever the device's own code page is.
    case kGb2312:
    case kGbk: return DecodeCodePage(kCodePageChinese, data);
    default: return std::nullopt;
  }
}

// UTF-16LE bytes with the mark FF FE; CR LF and lone LF both end lines as CR LF, a lone CR stays.
std::string Utf16LeWithCrLf(std::u16string_view text) {
  std::string bytes(kMarkLittleEndian.size() + text.size() * 4, '\0');
  std::size_t length = 0;
  auto put = [&](char16_t c) {
    bytes[length++] = static_cast<char>(c & 0xFF);
    bytes[length++] = static_cast<char>(c >> 8);
  };
  put(0xFEFF);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    if (text[i] == u'\n') put(u'\r');
    put(text[i]);
  }
  bytes.resize(length);
  return bytes;
}

// The code of the charset the content type names, when it is one decoded here.
std::optional<int> NamedCharsetCode(const std::string& contentType) {
  if (const std::optional<std::string> charset = mm1::ContentTypeParameter(contentType, "charset")) {
    for (const CharsetName& entry : kCharsetNames) {
      if (EqualsNoCase(*charset, entry.name)) return entry.code;
    }
  }
  return std::nullopt;
}

}  // namespace

std::u16string DecodeUtf16(std::string_view data, bool littleEndian) {
  std::u16string text;
  text.reserve(data.size() / 2);
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto first = static_cast<unsigned char>(data[i]);
    const auto second = static_cast<unsigned char>(data[i + 1]);
    text += static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second);
  }
  return text;
}

bool IsConvertedText(MediaType type) {
  return media_type::KindOf(type) == media_type::kText && type != media_type::kMarkupText;
}

int CharsetCode(std::string& contentType, std::u16string_view file) {
  if (const std::optional<int> code = NamedCharsetCode(contentType)) return *code;
  return CharsetCodeOfText(contentType, ReadDeviceFileStart(file, 3).value_or(std::string()));
}

int CharsetCodeOfText(std::string& contentType, std::string_view start) {
  if (const std::optional<int> code = NamedCharsetCode(contentType)) return *code;
  contentType = kUcs2ContentType;
  // The UTF-8 mark says UTF-8: reading those bytes as UTF-16 would turn the whole text to garbage.
  if (start.starts_with(kMarkUtf8)) return kUtf8;
  if (start.starts_with(kMarkLittleEndian) || start.starts_with(kMarkBigEndian)) return kUcs2;
  return kSystemCodePage;
}

std::optional<std::string> ConvertText(std::string_view data, int charsetCode) {
  if (data.size() > kMaxTextFileSize) return std::nullopt;
  const std::optional<std::u16string> text = DecodeText(data, charsetCode);
  if (!text) return std::nullopt;
  return Utf16LeWithCrLf(*text);
}

bool ConvertTextFile(std::u16string_view path, int charsetCode) {
  const std::u16string file(path);
  const std::optional<std::string> data = ReadDeviceFileStart(file, kMaxTextFileSize + 1);
  if (!data) return false;
  const std::optional<std::string> converted = ConvertText(*data, charsetCode);
  return converted && ReplaceFile(file, *converted);
}

std::optional<CString> DecodeHeaderText(DWORD charset, std::string_view data) {
  if (data.empty()) return std::nullopt;
  std::u16string text;
  switch (charset) {
    case kMibUtf8: text = platform::Utf8ToUtf16(data); break;
    case kMibAscii: text = platform::Decode(CP_ACP, data); break;
    case kMibUcs2: text = DecodeUcs2(data, false); break;
    default: return CString();
  }
  return CString(std::u16string_view(text).substr(0, text.find(u'\0')));
}
