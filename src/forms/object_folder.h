// Where a saved object goes: the device folder for its kind, and the type it is saved as (the
// audio-only forms of the video containers are kept with the videos).
#pragma once

#include "model/media_types.h"
#include "platform/text/cstring.h"

// The audio types 0x2000B to 0x2000E become the video types 0x40005, 0x40001, 0x40004 and 0x40006;
// every other type stays.
MediaType SavedTypeOf(MediaType type);

// The folder setting for the kind of the (saved) type: pictures, sounds, videos, texts, or the
// folder for anything else; always ending with "\".
CString FolderForObject(MediaType type);
