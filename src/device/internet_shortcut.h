// Internet shortcuts (".url" files) and the browser's favourites in the registry.
#pragma once

#include <vector>

#include "platform/text/cstring.h"

// Writes "[InternetShortcut]" and "URL=" with the address (trimmed of what ends a word in link
// detection), "http://" put in front unless it starts with "HTTP://" or "FILE://" (any case); an
// empty address writes "URL=http:///". UTF-16LE without a byte-order mark, CR LF line ends; the
// file is written under a temporary name and renamed over the old one.
BOOL WriteInternetShortcut(LPCWSTR filePath, LPCWSTR address);
// The address follows the first "=" of the first word that starts with "URL" (any case), to the
// end of its line. TRUE when an address was found or the file ended cleanly without one (address left empty);
// FALSE for a missing or unreadable file. UTF-16LE with or without a mark, or 8-bit text.
BOOL ReadInternetShortcut(LPCWSTR filePath, CString& address);

// The names of the favourites (subkeys of FavoritesEntries), from the last index down.
std::vector<CString> ReadFavorites();
// Adds a favourite: a FavoritesEntries subkey `name` with the text value "URL" (flushed).
BOOL AddFavorite(LPCWSTR name, LPCWSTR address);
// Adds an address link's target as a favourite named by the address without its scheme ("http://"
// is put in front of a target without one). FALSE when there is no name or the favourite cannot be
// added.
BOOL AddLinkToFavorites(const CString& target);
