// What the composer lets into a message: the creation mode, the content class of an object with its
// size limit, and the content check of one file.
#pragma once

#include "model/media_types.h"
#include "platform/win_types.h"

enum class CreationMode { kRestricted = 0, kWarning = 1, kFree = 2 };

// DefaultCreationMode; any other value counts as free.
CreationMode CurrentCreationMode();

// 2 for a picture, 1 for text, 3 for anything else.
int ContentClassOf(MediaType type);
// The size limit in bytes of content class 1, 2 or 3.
LONG ContentClassSizeLimit(int contentClass);

// Passes in free mode. Otherwise a DRM object that may not be forwarded fails; the file's extension
// must be an item of CreationFilter; a picture must fit 640 x 480 in either orientation.
bool PassesContentCheck(LPCWSTR path, MediaType type);
