#include "platform/internal/shared_library.h"

#include <dlfcn.h>

namespace platform::internal {

// RTLD_LOCAL: the library's symbols stay out of the way of the process's own and of the plugins'.
// Lazy: its functions are looked up by name and checked before use, so nothing binds ahead of need.
SharedLibrary::SharedLibrary(const char* name) : m_handle(dlopen(name, RTLD_LAZY | RTLD_LOCAL)) {}

void* SharedLibrary::Symbol(const char* name) const { return m_handle != nullptr ? dlsym(m_handle, name) : nullptr; }

}  // namespace platform::internal
