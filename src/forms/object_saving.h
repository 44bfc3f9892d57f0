// Saving one object of a message as a file of the device: the name it gets (its own, made safe,
// with the type's extension after the person agrees), the name-conflict question, text written as
// UTF-8, and the messages that tell how it went. The file is written under a temporary name and
// renamed into place, so that a full storage or a killed process never leaves half a file, and a
// file that is replaced stays whole until its successor is complete.
#pragma once

#include <string_view>

#include "model/media_types.h"
#include "platform/text/cstring.h"
#include "platform/win_types.h"

namespace save_text {
constexpr UINT kStorageFull = 40283;
constexpr UINT kSaved = 40444;
constexpr UINT kNameChanged = 40446;
constexpr UINT kNotCopied = 40447;
constexpr UINT kFolderRefused = 40448;
}  // namespace save_text

// The first name "folder + stem_N + extension" (N from 0) that no file has; empty when the first
// 10000 are all taken.
CString FreeNumberedName(std::u16string_view folder, std::u16string_view name);

// Whether a file of this name is saved under the name with the type's default extension added
// (and the person is asked first): the type is no generic attachment, the name has none of the
// type's extensions, and the type has a default one.
bool NeedsTypeExtension(std::u16string_view name, MediaType type);

// Saves `source` into `folder` (which ends with "\") as an object of `type`, asking the person
// where the rules say so. True when the file was written.
bool SaveObjectToFile(LPCWSTR folder, LPCWSTR source, MediaType type, HWND owner);

// The read view's save of its current object: into the folder for the object's type (from its
// name, or an HTML text when `html` is set).
bool SaveCurrentObject(HWND owner, LPCWSTR path, bool html);
