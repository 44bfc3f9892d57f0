// ICU break iterators kept one per kind and thread: opening one loads its rules and dictionaries,
// and the user-interface thread asks for breaks all the time.
#pragma once

#include "platform/gdi/unicode_library.h"

namespace platform::gdi {

// The thread's iterator of a kind, null when ICU cannot be loaded or cannot open it. Callers set their text and clear
// it again (the iterator keeps a pointer to the text) before they return.
UBreakIterator* ThreadBreakIterator(UBreakIteratorType kind);

}  // namespace platform::gdi
