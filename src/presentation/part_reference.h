// Which message part a SMIL `src` or `alt` names: by content identifier ("cid:...") or by name.
#pragma once

#include <string_view>

#include "model/message_model.h"

// The first part, in list order, that the reference names; nullptr when none does.
// - "cid:X" (any case) names the part whose content identifier is X, written with or without angle
//   brackets, in any case.
// - Any other reference names the part whose content location (or, without one, file name) equals it
//   in any case, with "/" and "\" read as "_" on both sides; a reference ending in ".dm" matches
//   whatever extension the part has now.
// The reference is UTF-8; text that is not valid UTF-8 is read in the system code page.
MediaPart* FindReferencedPart(PartList& parts, std::string_view reference);
