// Live links in a message text: which words are web addresses, e-mail addresses or telephone
// numbers, found in one pass and kept in document order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/link_checks.h"
#include "device/link_record.h"
#include "device/link_words.h"
#include "platform/net/internet_api.h"

// The type of a candidate link (LinkType), or kLinkNone. Addresses are canonicalised and split by
// the internet library, which must be loaded (ULC_Global::LoadWinINet) for them to classify.
std::int32_t ClassifyLink(std::u16string_view target);
std::int32_t ClassifyLink(std::u16string_view target, const LinkSettings& settings);

namespace link_scheme {

// The scheme number of a plain "scheme://host[:port][/path][?query][#fragment]" address, which
// canonicalising can neither make fail nor change the scheme of, read without the library; nothing
// for anything else (the library decides those). Most links in message texts are plain.
std::optional<INTERNET_SCHEME> OfPlainAddress(std::u16string_view url);

// The scheme number that the loaded internet library gives an address (with its terminating null)
// after canonicalising it, or nothing when the library fails.
std::optional<INTERNET_SCHEME> OfLibrary(LPCWSTR url);

}  // namespace link_scheme

class LinkList {
 public:
  // Clears the list, keeps a copy of the text and, when enabled and the text is not empty, finds
  // its links. Without the internet library no links are made. The length settings and alpha tags
  // are read once per scan.
  void ScanLinks(std::u16string_view text, bool enabled);

  const std::u16string& Text() const { return m_text; }
  const std::vector<LinkRecord>& Links() const { return m_links; }
  void Clear();

 private:
  void ScanWord(std::size_t first, std::size_t end, const link_words::WordShape& shape, const LinkSettings& settings);

  std::u16string m_text;
  std::vector<LinkRecord> m_links;
};
