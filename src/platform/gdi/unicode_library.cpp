#include "platform/gdi/unicode_library.h"

#include <dlfcn.h>
#include <unicode/uvernum.h>

#include <optional>
#include <string>

namespace platform::gdi {
namespace {

// ICU renames every function after its version (ubrk_open is ubrk_open_72): the name looked up is
// the one the headers turn the plain name into.
#define MMSFORM_ICU_NAME_TEXT(name) #name
#define MMSFORM_ICU_NAME(name) MMSFORM_ICU_NAME_TEXT(name)

template <typename Function>
bool Resolve(void* library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(dlsym(library, name));
  return *function != nullptr;
}

std::optional<UnicodeLibrary> Load() {
  // The library of the version the headers describe, the one the build was checked against.
  const std::string name = std::string("libicuuc.so.") + U_ICU_VERSION_SHORT;
  void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return std::nullopt;
  UnicodeLibrary unicode{};
  bool complete = Resolve(library, MMSFORM_ICU_NAME(ubrk_open), &unicode.breakOpen) &&
                  Resolve(library, MMSFORM_ICU_NAME(ubrk_close), &unicode.breakClose) &&
                  Resolve(library, MMSFORM_ICU_NAME(ubrk_setText), &unicode.breakSetText) &&
                  Resolve(library, MMSFORM_ICU_NAME(ubrk_following), &unicode.breakFollowing) &&
                  Resolve(library, MMSFORM_ICU_NAME(ubrk_next), &unicode.breakNext) &&
                  Resolve(library, MMSFORM_ICU_NAME(ubrk_getRuleStatus), &unicode.breakRuleStatus) &&
                  Resolve(library, MMSFORM_ICU_NAME(u_hasBinaryProperty), &unicode.hasBinaryProperty);
  // Kept loaded for the life of the process: break iterators opened from it live in thread storage.
  if (!complete) return std::nullopt;
  return unicode;
}

}  // namespace

const UnicodeLibrary* Unicode() {
  static const std::optional<UnicodeLibrary> unicode = Load();
  return unicode ? &*unicode : nullptr;
}

bool HasUnicodeProperty(char32_t c, UProperty property) {
  const UnicodeLibrary* unicode = Unicode();
  return unicode != nullptr && unicode->hasBinaryProperty(static_cast<UChar32>(c), property) != 0;
}

}  // namespace platform::gdi
