// Media types: the 32-bit codes every object of a message carries, and the two tables that tie them to
// file extensions and to MIME content types. The extension rows are switched on and off by the
// filter settings (EnableMediaTypes); lookups that ask for enabled rows treat the others as absent.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/cstring.h"
#include "platform/win_types.h"

// Kind in the high 16 bits, format in the low 16 bits.
using MediaType = DWORD;

namespace media_type {

constexpr DWORD kImage = 1;
constexpr DWORD kAudio = 2;
constexpr DWORD kText = 3;
constexpr DWORD kVideo = 4;
constexpr DWORD kPersonalData = 5;
constexpr DWORD kGeneric = 7;
constexpr DWORD kNoKind = 0xFFFF;

// Another format of the kind, known only from the top-level MIME type.
constexpr DWORD kOtherFormat = 0xFFFE;
// A format the views refuse to show; such an object never gets an extension.
constexpr DWORD kRefusedFormat = 0xFFFD;

constexpr MediaType kNone = 0xFFFF0000;
constexpr MediaType kJpeg = 0x10001;
constexpr MediaType kPlainText = 0x30001;
constexpr MediaType kMarkupText = 0x30009;  // HTML, XHTML and XML
constexpr MediaType kInlineText = 0x3FFFF;  // text given directly instead of a file
constexpr MediaType kGenericByExtension = 0x70000;
constexpr MediaType kGenericText = 0x7FFFF;  // a text extension sent as application/octet-stream

constexpr DWORD KindOf(MediaType type) { return type >> 16; }
constexpr DWORD FormatOf(MediaType type) { return type & 0xFFFF; }
constexpr MediaType Make(DWORD kind, DWORD format) { return kind << 16 | (format & 0xFFFF); }

}  // namespace media_type

// Recomputes the enabled flags of the extension rows from the filter settings, and the transport's
// flixFlag (when set) from whether any filter item is an enabled video type.
void EnableMediaTypes();

// The type of a file by its extension; falls back to the generic-attachment rule.
MediaType TypeOfFile(std::u16string_view path, bool enabledOnly);

// The type of a content type (with or without parameters), then of the file name, then of the
// top-level type. An empty fileName means none.
MediaType TypeOfContentType(std::string_view contentType, std::u16string_view fileName = {});

// The type of the content-type row that equals the text exactly (without regard to case); no
// parameter stripping and no fallback.
MediaType TypeOfContentTypeRow(std::string_view contentType);

// The first content type of the type; empty when unknown.
std::string ContentTypeOfType(MediaType type);

// The first extension of the type; empty when unknown, or (enabledOnly) when that row is disabled.
CString ExtensionOfType(MediaType type, bool enabledOnly);

// Whether the path ends with one of the extensions the table lists for exactly this type, enabled
// or not.
bool HasExtensionOfType(std::u16string_view path, MediaType type);

// Gives the path the extension of the first enabled row of the type unless it already has one of the
// type's extensions. Returns whether the path changed.
bool FixExtension(CString& path, MediaType type);

// Whether a file may go into a message as a generic attachment.
bool IsGenericAllowed(std::u16string_view path);

// Whether the media player takes the type, by the MediaPlayerSupportFilter setting.
bool IsMediaPlayerType(MediaType type);
