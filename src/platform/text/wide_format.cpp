#include "platform/text/wide_format.h"

#include <cstdio>
#include <cstring>

#include "platform/text/text_conversion.h"

namespace platform {
namespace {

// One conversion of a format: flags, width and precision (-1 when absent), length modifier, kind.
struct Conversion {
  std::string flags;
  int width = -1;
  int precision = -1;
  std::string length;
  char kind = 0;
};

// Reads a conversion after its '%'; returns the position after it, or `at` unchanged when malformed.
std::size_t ParseConversion(std::u16string_view format, std::size_t at, va_list& args, Conversion* c) {
  std::size_t i = at;
  while (i < format.size() && std::u16string_view(u"-+ #0").find(format[i]) != std::u16string_view::npos) {
    c->flags += static_cast<char>(format[i++]);
  }
  if (i < format.size() && format[i] == u'*') {
    c->width = va_arg(args, int);
    ++i;
  } else {
    while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') {
      c->width = (c->width < 0 ? 0 : c->width) * 10 + (format[i++] - u'0');
      if (c->width > 4096) c->width = 4096;
    }
  }
  if (i < format.size() && format[i] == u'.') {
    ++i;
    c->precision = 0;
    if (i < format.size() && format[i] == u'*') {
      c->precision = va_arg(args, int);
      ++i;
    } else {
      while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') {
        c->precision = c->precision * 10 + (format[i++] - u'0');
        if (c->precision > 4096) c->precision = 4096;
      }
    }
  }
  while (i < format.size() && std::u16string_view(u"hlLqjzt").find(format[i]) != std::u16string_view::npos) {
    c->length += static_cast<char>(format[i++]);
  }
  if (i + 2 < format.size() && format[i] == u'I' && format[i + 1] == u'6' && format[i + 2] == u'4') {
    c->length = "ll";
    i += 3;
  }
  if (i >= format.size()) return at;
  c->kind = static_cast<char>(format[i]);
  return i + 1;
}

void AppendPadded(std::u16string& out, std::u16string_view text, const Conversion& c) {
  if (c.precision >= 0 && text.size() > static_cast<std::size_t>(c.precision)) text = text.substr(0, c.precision);
  std::size_t pad = c.width > 0 && static_cast<std::size_t>(c.width) > text.size() ? c.width - text.size() : 0;
  bool left = c.flags.find('-') != std::string::npos;
  if (!left) out.append(pad, u' ');
  out += text;
  if (left) out.append(pad, u' ');
}

void AppendNumber(std::u16string& out, const Conversion& c, va_list& args) {
  std::string narrowFormat = "%" + c.flags;
  if (c.width >= 0) narrowFormat += std::to_string(c.width);
  if (c.precision >= 0) narrowFormat += "." + std::to_string(c.precision);
  char buffer[128];
  bool wide = c.length == "ll" || c.length == "q" || c.length == "j" || c.length == "z" || c.length == "t";
  bool isSigned = c.kind == 'd' || c.kind == 'i';
  if (c.kind == 'p') {
    std::snprintf(buffer, sizeof buffer, "%p", va_arg(args, void*));
  } else if (c.kind == 'f' || c.kind == 'g' || c.kind == 'e') {
    narrowFormat += c.kind;
    std::snprintf(buffer, sizeof buffer, narrowFormat.c_str(), va_arg(args, double));
  } else if (wide) {
    narrowFormat += std::string("ll") + c.kind;
    if (isSigned) std::snprintf(buffer, sizeof buffer, narrowFormat.c_str(), va_arg(args, long long));
    else std::snprintf(buffer, sizeof buffer, narrowFormat.c_str(), va_arg(args, unsigned long long));
  } else if (c.length == "l") {
    narrowFormat += std::string("l") + c.kind;
    if (isSigned) std::snprintf(buffer, sizeof buffer, narrowFormat.c_str(), va_arg(args, long));
    else std::snprintf(buffer, sizeof buffer, narrowFormat.c_str(), va_arg(args, unsigned long));
  } else {
    narrowFormat += c.kind;
    if (isSigned) std::snprintf(buffer, sizeof buffer, narrowFormat.c_str(), va_arg(args, int));
    else std::snprintf(buffer, sizeof buffer, narrowFormat.c_str(), va_arg(args, unsigned int));
  }
  for (const char* p = buffer; *p; ++p) out += static_cast<char16_t>(static_cast<unsigned char>(*p));
}

}  // namespace

std::u16string FormatWideV(const WCHAR* formatText, va_list argsIn) {
  std::u16string out;
  if (formatText == nullptr) return out;
  std::u16string_view format(formatText);
  va_list args;
  va_copy(args, argsIn);
  for (std::size_t i = 0; i < format.size();) {
    if (format[i] != u'%') {
      out += format[i++];
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == u'%') {
      out += u'%';
      i += 2;
      continue;
    }
    Conversion c;
    std::size_t next = ParseConversion(format, i + 1, args, &c);
    if (next == i + 1) {
      out += format.substr(i);
      break;
    }
    i = next;
    switch (c.kind) {
      case 's':
      case 'S': {
        bool narrow = (c.kind == 's' && c.length == "h") || (c.kind == 'S' && c.length != "l");
        if (narrow) {
          const char* text = va_arg(args, const char*);
          AppendPadded(out, text ? Utf8ToUtf16(text) : u"(null)", c);
        } else {
          const WCHAR* text = va_arg(args, const WCHAR*);
          AppendPadded(out, text ? std::u16string_view(text) : u"(null)", c);
        }
        break;
      }
      case 'c':
      case 'C': {
        WCHAR ch = static_cast<WCHAR>(va_arg(args, int));
        AppendPadded(out, std::u16string_view(&ch, 1), c);
        break;
      }
      case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'p': case 'f': case 'g': case 'e':
        AppendNumber(out, c, args);
        break;
      default:
        out += u'%';
        out += static_cast<char16_t>(c.kind);
    }
  }
  va_end(args);
  return out;
}

std::u16string FormatWide(const WCHAR* format, ...) {
  va_list args;
  va_start(args, format);
  std::u16string text = FormatWideV(format, args);
  va_end(args);
  return text;
}

}  // namespace platform

namespace {

int CopyFormatted(LPWSTR out, std::size_t count, const std::u16string& text) {
  if (out == nullptr || count == 0) return -1;
  if (text.size() >= count) {
    std::memcpy(out, text.data(), (count - 1) * sizeof(WCHAR));
    out[count - 1] = 0;
    return -1;
  }
  std::memcpy(out, text.data(), text.size() * sizeof(WCHAR));
  out[text.size()] = 0;
  return static_cast<int>(text.size());
}

}  // namespace

int _snwprintf(LPWSTR out, std::size_t count, LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  std::u16string text = platform::FormatWideV(format, args);
  va_end(args);
  return CopyFormatted(out, count, text);
}
