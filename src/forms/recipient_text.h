// Recipient texts as the store keeps them: lists of entries separated by semicolons, each an
// address or a display name with its address in angle brackets ("\"Ann\"<+123>").
#pragma once

#include <string_view>

#include "platform/text/cstring.h"

struct DisplayAddress {
  CString name;     // the display name without quotes; the whole text when there is no address part
  CString address;  // the text between the angle brackets; the whole text when there are none
};

DisplayAddress SplitDisplayAddress(std::u16string_view entry);

// The addresses of every entry of a display list, joined by ";".
CString AddressListOf(std::u16string_view displayList);

// A list made fit for one line: every tab becomes eight spaces and every CR LF one space.
CString OneLineList(std::u16string_view list);

// Removes the country code from the front of each entry's address; an empty code changes nothing.
CString RemoveCountryCodes(std::u16string_view list, std::u16string_view countryCode);

// A recipient list as a host or another program hands it over: every comma outside double quotes
// separates entries as a semicolon does (a double quote opens or closes a quoted part; two in a
// row inside one stand for a literal quote), so "\"Doe, Jane\"<+1>,+2" keeps the name whole. The
// entries are then trimmed and empty ones dropped.
CString RecipientListFromHostText(std::u16string_view text);
