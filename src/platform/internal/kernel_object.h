// Objects behind HANDLE values (open files and the like): CloseHandle frees any registered object,
// and a handle that was never handed out, or was closed already, is refused instead of followed.
#pragma once

#include "platform/win_types.h"

namespace platform::internal {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// Takes ownership and returns the handle for it.
HANDLE RegisterKernelObject(KernelObject* object);
// The live object behind a handle, or null.
KernelObject* LookUpKernelObject(HANDLE handle);
// Frees the object; false when the handle is not live.
bool CloseKernelObject(HANDLE handle);

template <typename T>
T* LookUp(HANDLE handle) {
  return dynamic_cast<T*>(LookUpKernelObject(handle));
}

}  // namespace platform::internal
