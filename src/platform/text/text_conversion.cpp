#include "platform/text/text_conversion.h"

#include <iconv.h>

#include <array>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/kernel/device.h"
#include "platform/kernel/last_error.h"

namespace platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 when it is malformed.
std::size_t DecodeUtf8Sequence(std::string_view text, std::size_t i, char32_t* codePoint) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  std::size_t length;
  char32_t value;
  if (lead < 0x80) {
    *codePoint = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
  bool surrogate = value >= 0xD800 && value <= 0xDFFF;
  if (overlong || surrogate || value > 0x10FFFF) return 0;
  *codePoint = value;
  return length;
}

// Decodes UTF-8; *valid is cleared when some bytes had to be replaced. No text needs more UTF-16
// units than it has bytes, so the result is written in place and cut to length at the end.
std::u16string DecodeUtf8(std::string_view text, bool* valid) {
  std::u16string out(text.size(), u'\0');
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out[length++] = lead;
      ++i;
      continue;
    }
    char32_t c = 0;
    const std::size_t sequence = DecodeUtf8Sequence(text, i, &c);
    if (sequence == 0) {
      *valid = false;
      out[length++] = kReplacement;
      ++i;
    } else if (c < 0x10000) {
      out[length++] = static_cast<char16_t>(c);
      i += sequence;
    } else {
      c -= 0x10000;
      out[length++] = static_cast<char16_t>(0xD800 + (c >> 10));
      out[length++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
      i += sequence;
    }
  }
  out.resize(length);
  return out;
}

std::string EncodeUtf8(std::u16string_view text, bool* lossless) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      *lossless = false;
      c = kReplacement;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

const char* IconvName(UINT codePage) {
  switch (codePage) {
    case 1250: return "CP1250";
    case 1252: return "CP1252";
    case 936: return "CP936";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 20127: return "ASCII";
    default: return nullptr;
  }
}

bool IsSingleByte(UINT codePage) { return codePage != 936; }

// A single-byte code page as a table of 256 characters (U+FFFD where a byte has no character) and
// the reverse map. Built once per code page from iconv.
struct ByteTable {
  std::array<char16_t, 256> toWide{};
  std::unordered_map<char16_t, unsigned char> fromWide;
};

const ByteTable& TableFor(UINT codePage) {
  static std::mutex mutex;
  static std::unordered_map<UINT, ByteTable> tables;
  std::lock_guard lock(mutex);
  auto found = tables.find(codePage);
  if (found != tables.end()) return found->second;
  ByteTable& table = tables[codePage];
  iconv_t cd = iconv_open("UTF-16LE", IconvName(codePage));
  for (int b = 0; b < 256; ++b) {
    table.toWide[b] = kReplacement;
    if (cd == reinterpret_cast<iconv_t>(-1)) continue;
    char in = static_cast<char>(b);
    char out[8];
    char* inPtr = &in;
    char* outPtr = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) && outLeft == sizeof out - 2) {
      char16_t c = static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
      table.toWide[b] = c;
      table.fromWide.emplace(c, static_cast<unsigned char>(b));
    }
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  return table;
}

// Multi-byte code pages through iconv, replacing each undecodable byte.
std::u16string DecodeMultiByte(UINT codePage, std::string_view text, bool* valid) {
  std::u16string out;
  iconv_t cd = iconv_open("UTF-16LE", IconvName(codePage));
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    *valid = false;
    return out;
  }
  std::string buffer(text.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    std::size_t produced = buffer.size() - outLeft;
    for (std::size_t k = 0; k + 1 < produced; k += 2) {
      out += static_cast<char16_t>(static_cast<unsigned char>(buffer[k]) | (static_cast<unsigned char>(buffer[k + 1]) << 8));
    }
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      *valid = false;
      out += kReplacement;
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

std::string EncodeMultiByte(UINT codePage, std::u16string_view text, bool* lossless) {
  std::string out;
  iconv_t cd = iconv_open(IconvName(codePage), "UTF-16LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    *lossless = false;
    return out;
  }
  for (char16_t c : text) {
    char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    char encoded[8];
    char* inPtr = in;
    char* outPtr = encoded;
    std::size_t inLeft = 2, outLeft = sizeof encoded;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      *lossless = false;
      out += '?';
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    } else {
      out.append(encoded, sizeof encoded - outLeft);
    }
  }
  iconv_close(cd);
  return out;
}

UINT Resolve(UINT codePage) { return codePage == CP_ACP ? SystemCodePage() : codePage; }

std::u16string DecodeChecked(UINT codePage, std::string_view text, bool* valid) {
  codePage = Resolve(codePage);
  if (codePage == CP_UTF8) return DecodeUtf8(text, valid);
  if (!IsSingleByte(codePage)) return DecodeMultiByte(codePage, text, valid);
  const ByteTable& table = TableFor(codePage);
  std::u16string out(text.size(), u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    out[i] = table.toWide[static_cast<unsigned char>(text[i])];
    if (out[i] == kReplacement) *valid = false;
  }
  return out;
}

std::string EncodeChecked(UINT codePage, std::u16string_view text, bool* lossless) {
  codePage = Resolve(codePage);
  if (codePage == CP_UTF8) return EncodeUtf8(text, lossless);
  if (!IsSingleByte(codePage)) return EncodeMultiByte(codePage, text, lossless);
  const ByteTable& table = TableFor(codePage);
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto found = table.fromWide.find(text[i]);
    if (found == table.fromWide.end()) {
      *lossless = false;
      out[i] = '?';
    } else {
      out[i] = static_cast<char>(found->second);
    }
  }
  return out;
}

}  // namespace

UINT SystemCodePage() {
  UINT codePage = ReadDeviceSettings().codePage;
  return IsSupportedCodePage(codePage) && codePage != CP_ACP ? codePage : 1252;
}

bool IsSupportedCodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_UTF8 || IconvName(codePage) != nullptr;
}

std::u16string Decode(UINT codePage, std::string_view text) {
  bool valid = true;
  return DecodeChecked(codePage, text, &valid);
}

std::string Encode(UINT codePage, std::u16string_view text) {
  bool lossless = true;
  return EncodeChecked(codePage, text, &lossless);
}

std::u16string Utf8ToUtf16(std::string_view text) { return Decode(CP_UTF8, text); }

std::string Utf16ToUtf8(std::u16string_view text) { return Encode(CP_UTF8, text); }

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    std::size_t length = DecodeUtf8Sequence(text, i, &c);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  return c;
}

std::u16string FoldCase(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = FoldCase(c);
  return out;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace platform

namespace {

// Copies a whole-string result into a caller's buffer with the Win32 size rules.
template <typename Char>
int CopyOut(const std::basic_string<Char>& result, Char* out, int outSize) {
  if (outSize == 0) return static_cast<int>(result.size());
  if (out == nullptr || static_cast<std::size_t>(outSize) < result.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(out, result.data(), result.size() * sizeof(Char));
  return static_cast<int>(result.size());
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length, WCHAR* out, int outSize) {
  if (text == nullptr || length < -1 || length == 0 || outSize < 0 || !platform::IsSupportedCodePage(codePage)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t size = length == -1 ? std::strlen(text) + 1 : static_cast<std::size_t>(length);
  bool valid = true;
  std::u16string result = platform::DecodeChecked(codePage, std::string_view(text, size), &valid);
  if (!valid && (flags & MB_ERR_INVALID_CHARS)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  return CopyOut(result, out, outSize);
}

int WideCharToMultiByte(UINT codePage, DWORD, const WCHAR* text, int length, char* out, int outSize,
                        const char*, BOOL* usedDefault) {
  if (text == nullptr || length < -1 || length == 0 || outSize < 0 || !platform::IsSupportedCodePage(codePage)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t size = length == -1 ? std::char_traits<char16_t>::length(text) + 1 : static_cast<std::size_t>(length);
  bool lossless = true;
  std::string result = platform::EncodeChecked(codePage, std::u16string_view(text, size), &lossless);
  if (usedDefault != nullptr) *usedDefault = lossless ? FALSE : TRUE;
  return CopyOut(result, out, outSize);
}
