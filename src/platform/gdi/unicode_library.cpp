#include "platform/gdi/unicode_library.h"

#include <unicode/uvernum.h>

#include <optional>

#include "platform/internal/shared_library.h"

namespace platform::gdi {
namespace {

// ICU renames every function after its version (ubrk_open is ubrk_open_72): the name looked up is
// the one the headers turn the plain name into.
#define MMSFORM_ICU_NAME_TEXT(name) #name
#define MMSFORM_ICU_NAME(name) MMSFORM_ICU_NAME_TEXT(name)

void ResolveUnicode(internal::SharedLibrary& library, UnicodeLibrary& unicode) {
  library.Resolve(unicode.breakOpen, MMSFORM_ICU_NAME(ubrk_open));
  library.Resolve(unicode.breakClose, MMSFORM_ICU_NAME(ubrk_close));
  library.Resolve(unicode.breakSetText, MMSFORM_ICU_NAME(ubrk_setText));
  library.Resolve(unicode.breakFollowing, MMSFORM_ICU_NAME(ubrk_following));
  library.Resolve(unicode.breakNext, MMSFORM_ICU_NAME(ubrk_next));
  library.Resolve(unicode.breakRuleStatus, MMSFORM_ICU_NAME(ubrk_getRuleStatus));
  library.Resolve(unicode.hasBinaryProperty, MMSFORM_ICU_NAME(u_hasBinaryProperty));
}

}  // namespace

const UnicodeLibrary* Unicode() {
  // The library of the version the headers describe, the one the build was checked against.
  static const std::optional<UnicodeLibrary> unicode =
      internal::LoadFunctions<UnicodeLibrary>("libicuuc.so." U_ICU_VERSION_SHORT, ResolveUnicode);
  return unicode ? &*unicode : nullptr;
}

bool HasUnicodeProperty(char32_t c, UProperty property) {
  const UnicodeLibrary* unicode = Unicode();
  return unicode != nullptr && unicode->hasBinaryProperty(static_cast<UChar32>(c), property) != 0;
}

}  // namespace platform::gdi
