// A link found in a text: where it stands, what it leads to and how it was written.
#pragma once

#include <cstdint>

#include "platform/text/cstring.h"

// Link types, in the order of the address schemes' numbers.
enum LinkType : std::int32_t {
  kLinkNone = 0,
  kLinkFtp = 1,
  kLinkRtsp = 2,
  kLinkGopher = 3,
  kLinkHttp = 4,
  kLinkHttps = 5,
  kLinkFile = 6,
  kLinkNews = 7,
  kLinkWsp = 8,
  kLinkSocks = 9,
  kLinkEmail = 10,
  kLinkPhone = 11,
};

struct LinkRecord {
  std::int32_t first = 0;  // index of the link's first character in the text
  std::int32_t last = 0;   // index of its last character, inclusive
  std::int32_t own = 0;    // kept by the hypertext control for itself; 0 when the record is made
  CString target;          // what to act on
  CString display;         // the text as written in the message
  std::int32_t type = kLinkNone;
};

// Address link types (web, file, streaming and the rest), as opposed to e-mail and telephone.
inline bool IsAddressLinkType(std::int32_t type) { return type >= kLinkFtp && type <= kLinkSocks; }
