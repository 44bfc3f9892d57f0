#include "platform/gdi/break_iterators.h"

#include <memory>

namespace platform::gdi {
namespace {

struct BreakIteratorCloser {
  void operator()(UBreakIterator* iterator) const { Unicode()->breakClose(iterator); }
};
using BreakIteratorPtr = std::unique_ptr<UBreakIterator, BreakIteratorCloser>;

BreakIteratorPtr Open(UBreakIteratorType kind) {
  const UnicodeLibrary* unicode = Unicode();
  if (unicode == nullptr) return BreakIteratorPtr();
  UErrorCode status = U_ZERO_ERROR;
  BreakIteratorPtr opened(unicode->breakOpen(kind, "", nullptr, 0, &status));
  return U_SUCCESS(status) ? std::move(opened) : BreakIteratorPtr();
}

}  // namespace

UBreakIterator* ThreadBreakIterator(UBreakIteratorType kind) {
  thread_local BreakIteratorPtr line = Open(UBRK_LINE);
  thread_local BreakIteratorPtr character = Open(UBRK_CHARACTER);
  switch (kind) {
    case UBRK_LINE: return line.get();
    case UBRK_CHARACTER: return character.get();
    default: return nullptr;
  }
}

}  // namespace platform::gdi
