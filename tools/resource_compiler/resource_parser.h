// Reads the resource source language into a ResourceSet. The language, one statement per resource:
//
//   STRING id "text"
//   FONT id "face" pixel-size-at-96-dpi weight
//   MENU id  { ITEM id "text" [GRAYED] [CHECKED] | SEPARATOR | POPUP "text" ... END } END
//   DIALOG id x y cx cy STYLE flags [EXSTYLE flags] [CLASS "name"] [TITLE "text"] [FONT points "face"]
//     CONTROL id CLASS-or-"name" "title"-or-ORD n x y cx cy flags [EXSTYLE flags]
//   END
//   BITMAP id width height [CELLS count]
//     COLOR c RRGGBB ...            one character per palette entry
//     [CELL index] "row" ...        rows of a cell of a strip, or of the whole bitmap
//   END
//
// Flags are numbers or style names joined with "|" (WS_CHILD|WS_VISIBLE|BS_PUSHBUTTON).
#pragma once

#include <optional>
#include <string>

#include "resource_model.h"
#include "source_lexer.h"

namespace resource_compiler {

// Adds the statements of one source to `set`; false with "line N: reason" on the first error.
bool ParseResources(const std::vector<Token>& tokens, ResourceSet* set, std::string* error);

}  // namespace resource_compiler
