// A system library opened by its run-time name when a feature first needs it, instead of being
// linked: a process that never uses the feature never pays for loading the library and the ones it
// brings. The library stays loaded for the life of the process, since what was made with it (fonts,
// break iterators, cipher contexts) may outlive any caller.
#pragma once

#include <optional>

namespace platform::internal {

class SharedLibrary {
 public:
  explicit SharedLibrary(const char* name);

  // Looks a function or an object up by name; a missing one leaves the library incomplete.
  template <typename Pointer>
  void Resolve(Pointer& pointer, const char* name) {
    pointer = reinterpret_cast<Pointer>(Symbol(name));
    m_complete = m_complete && pointer != nullptr;
  }

  // Whether the library was found with everything asked of it so far.
  bool Complete() const { return m_handle != nullptr && m_complete; }

 private:
  void* Symbol(const char* name) const;

  void* m_handle;
  bool m_complete = true;
};

// The table of functions `resolve` fills from the named library, or nothing when the library or one
// of the functions is missing (then the feature that needs them quietly does without).
template <typename Table>
std::optional<Table> LoadFunctions(const char* name, void (*resolve)(SharedLibrary&, Table&)) {
  SharedLibrary library(name);
  Table table{};
  resolve(library, table);
  if (!library.Complete()) return std::nullopt;
  return table;
}

}  // namespace platform::internal
