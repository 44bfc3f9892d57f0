#include "device/link_detection.h"

#include <algorithm>
#include <optional>

#include "device/link_words.h"
#include "platform/kernel/last_error.h"
#include "transport/mms_global.h"

namespace {

using link_words::StartsWithNoCase;

constexpr DWORD kCanonicalBufferChars = 2084;
constexpr std::u16string_view kRtsp = u"rtsp://";

// Start of the last "rtsp://" (ASCII case ignored) in `text`, or npos.
std::size_t LastRtsp(std::u16string_view text) {
  for (std::size_t p = text.size(); p >= kRtsp.size(); --p) {
    if (StartsWithNoCase(text.substr(p - kRtsp.size()), kRtsp)) return p - kRtsp.size();
  }
  return std::u16string_view::npos;
}

std::int32_t LinkTypeOfScheme(INTERNET_SCHEME scheme) {
  switch (scheme) {
    case INTERNET_SCHEME_FTP: return kLinkFtp;
    case INTERNET_SCHEME_GOPHER: return kLinkGopher;
    case INTERNET_SCHEME_HTTP: return kLinkHttp;
    case INTERNET_SCHEME_HTTPS: return kLinkHttps;
    case INTERNET_SCHEME_FILE: return kLinkFile;
    case INTERNET_SCHEME_NEWS: return kLinkNews;
    case INTERNET_SCHEME_MAILTO: return kLinkEmail;
    case INTERNET_SCHEME_SOCKS: return kLinkSocks;
    default: return kLinkNone;
  }
}

}  // namespace

namespace link_scheme {
namespace {

bool IsAsciiAlpha(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char16_t c) { return c >= '0' && c <= '9'; }
bool IsPlainHostChar(char16_t c) {
  return IsAsciiAlpha(c) || IsAsciiDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}
// What a path, query or fragment may hold without the library changing its meaning: no "%", no
// brackets, no "#" (the one fragment mark is handled by the caller) and nothing outside ASCII.
bool IsPlainPathChar(char16_t c) {
  if (IsPlainHostChar(c)) return true;
  switch (c) {
    case '!': case '$': case '&': case '\'': case '(': case ')': case '*': case '+': case ',': case ';':
    case '=': case ':': case '@': case '/': case '?':
      return true;
    default:
      return false;
  }
}

}  // namespace

// Canonicalising and splitting every candidate was most of a scan's time, though only the scheme
// number is used: a plain address gives it by its prefix.
std::optional<INTERNET_SCHEME> OfPlainAddress(std::u16string_view url) {
  struct Known {
    std::u16string_view name;
    INTERNET_SCHEME number;
  };
  static constexpr Known kKnown[] = {
      {u"http://", INTERNET_SCHEME_HTTP},     {u"https://", INTERNET_SCHEME_HTTPS}, {u"ftp://", INTERNET_SCHEME_FTP},
      {u"file://", INTERNET_SCHEME_FILE},     {u"gopher://", INTERNET_SCHEME_GOPHER},
  };
  const Known* scheme = nullptr;
  for (const Known& known : kKnown) {
    if (StartsWithNoCase(url, known.name)) scheme = &known;
  }
  if (scheme == nullptr) return std::nullopt;
  std::size_t i = scheme->name.size();
  const std::size_t hostStart = i;
  while (i < url.size() && IsPlainHostChar(url[i])) ++i;
  if (i == hostStart) return std::nullopt;
  if (i < url.size() && url[i] == ':') {
    const std::size_t portStart = ++i;
    std::uint32_t port = 0;
    while (i < url.size() && IsAsciiDigit(url[i]) && i - portStart < 5) port = port * 10 + (url[i++] - '0');
    if (i == portStart || port > 0xFFFF) return std::nullopt;
  }
  if (i < url.size() && url[i] != '/' && url[i] != '?' && url[i] != '#') return std::nullopt;
  bool fragment = false;
  for (; i < url.size(); ++i) {
    if (url[i] == '#' && !fragment) {
      fragment = true;
    } else if (!IsPlainPathChar(url[i])) {
      return std::nullopt;
    }
  }
  return scheme->number;
}

std::optional<INTERNET_SCHEME> OfLibrary(LPCWSTR url) {
  ULC_Global* global = ULC_Global::GetGlobal();
  if (global->canonicalizeUrl == nullptr || global->crackUrl == nullptr) return std::nullopt;
  WCHAR buffer[kCanonicalBufferChars];
  LPCWSTR canonical = buffer;
  std::u16string larger;
  DWORD length = kCanonicalBufferChars;
  if (!global->canonicalizeUrl(url, buffer, &length, ICU_BROWSER_MODE)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    larger.assign(length, u'\0');
    if (!global->canonicalizeUrl(url, larger.data(), &length, ICU_BROWSER_MODE)) return std::nullopt;
    canonical = larger.c_str();
  }
  URL_COMPONENTSW components{};
  components.dwStructSize = sizeof components;
  if (!global->crackUrl(canonical, 0, 0, &components)) return std::nullopt;
  return components.nScheme;
}

}  // namespace link_scheme

namespace {

// The scheme number of an address given as a view and with its terminating null, or nothing when
// the library fails.
std::optional<INTERNET_SCHEME> SchemeOf(std::u16string_view target, LPCWSTR terminated) {
  ULC_Global* global = ULC_Global::GetGlobal();
  if (global->canonicalizeUrl == nullptr || global->crackUrl == nullptr) return std::nullopt;
  if (std::optional<INTERNET_SCHEME> plain = link_scheme::OfPlainAddress(target)) return plain;
  return link_scheme::OfLibrary(terminated);
}

// ClassifyLink on a target that carries its terminating null.
std::int32_t ClassifyTerminated(std::u16string_view target, LPCWSTR terminated, const LinkSettings& settings) {
  if (IsEmailAddress(target, true, settings)) return kLinkEmail;
  if (IsPhoneNumber(target, true, settings)) return kLinkPhone;
  if (target.size() > kRtsp.size() && LastRtsp(target) != std::u16string_view::npos) return kLinkRtsp;
  ULC_Global* global = ULC_Global::GetGlobal();
  if (!global->LoadWinINet()) return kLinkNone;
  const std::optional<INTERNET_SCHEME> scheme = SchemeOf(target, terminated);
  global->UnloadWinINet();
  if (!scheme) return kLinkNone;
  if (std::int32_t type = LinkTypeOfScheme(*scheme)) return type;
  if (target.size() > 6 && StartsWithNoCase(target, u"wsp://")) return kLinkWsp;
  return kLinkNone;
}

}  // namespace

std::int32_t ClassifyLink(std::u16string_view target) { return ClassifyLink(target, LinkSettings::Read()); }

std::int32_t ClassifyLink(std::u16string_view target, const LinkSettings& settings) {
  const std::u16string terminated(target);
  return ClassifyTerminated(target, terminated.c_str(), settings);
}

void LinkList::Clear() {
  m_text.clear();
  m_links.clear();
}

void LinkList::ScanLinks(std::u16string_view text, bool enabled) {
  m_links.clear();
  m_text.assign(text);
  if (!enabled || m_text.empty()) return;
  ULC_Global* global = ULC_Global::GetGlobal();
  if (!global->LoadWinINet()) return;
  const LinkSettings settings = LinkSettings::Read();
  const std::u16string_view all(m_text);
  std::size_t p = 0;
  while (p < all.size()) {
    link_words::WordShape shape;
    const std::size_t end = link_words::WordEnd(all, p, settings, &shape);
    if (end == p) {
      ++p;
      continue;
    }
    if (shape.hasAt || shape.phoneCharsOnly || shape.firstAddress != std::u16string_view::npos) {
      ScanWord(p, end, shape, settings);
    }
    p = end;
  }
  global->UnloadWinINet();
}

void LinkList::ScanWord(std::size_t first, std::size_t end, const link_words::WordShape& shape,
                        const LinkSettings& settings) {
  const std::u16string_view word = std::u16string_view(m_text).substr(first, end - first);
  auto append = [&](std::size_t at, std::size_t count, CString target, std::int32_t type) {
    LinkRecord record;
    record.first = static_cast<std::int32_t>(first + at);
    record.last = static_cast<std::int32_t>(first + at + count - 1);
    record.target = std::move(target);
    record.display = CString(word.substr(at, count));
    record.type = type;
    m_links.push_back(std::move(record));
  };
  if (shape.hasAt && IsEmailAddress(word, true, settings)) return append(0, word.size(), CString(word), kLinkEmail);
  if (shape.phoneCharsOnly && IsPhoneNumber(word, true, settings)) {
    return append(0, word.size(), CString(word), kLinkPhone);
  }
  if (shape.firstAddress == std::u16string_view::npos) return;
  const std::u16string_view range = word.back() == ')' ? word.substr(0, word.size() - 1) : word;
  // Candidates after "mailto:" or "telnet:" classify as an address only through an "rtsp://"
  // inside them; knowing where the last one is keeps a long word from being classified per offset.
  std::optional<std::size_t> lastRtsp;
  for (std::size_t q = std::max(shape.firstAddress, first) - first; q < range.size(); ++q) {
    if (!link_words::MayStartAddress(range, q)) continue;
    const std::size_t left = range.size() - q;
    const std::u16string_view rest = range.substr(q);
    CString target;
    if (link_words::MatchPrefix(range, q, left) != 0) {
      target = CString(u"http://") + rest;
    } else if (link_words::MatchScheme(range, q, left) != 0) {
      const bool neverAddress = StartsWithNoCase(rest, u"mailto:") || StartsWithNoCase(rest, u"telnet:");
      if (neverAddress && !lastRtsp) lastRtsp = LastRtsp(range);
      if (neverAddress && (*lastRtsp == std::u16string_view::npos || *lastRtsp < q)) continue;
      target = CString(rest);
    } else {
      continue;
    }
    const std::int32_t type = ClassifyTerminated(target.View(), target.GetString(), settings);
    if (IsAddressLinkType(type)) return append(q, left, std::move(target), type);
  }
}
