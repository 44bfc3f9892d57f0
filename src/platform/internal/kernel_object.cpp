#include "platform/internal/kernel_object.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform::internal {
namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<HANDLE, std::unique_ptr<KernelObject>> objects;
};

// Never destroyed: handles may be closed by other static objects' destructors at exit.
Table& Objects() {
  static Table& table = *new Table;
  return table;
}

}  // namespace

HANDLE RegisterKernelObject(KernelObject* object) {
  Table& table = Objects();
  std::lock_guard lock(table.mutex);
  HANDLE handle = object;
  table.objects.emplace(handle, std::unique_ptr<KernelObject>(object));
  return handle;
}

KernelObject* LookUpKernelObject(HANDLE handle) {
  Table& table = Objects();
  std::lock_guard lock(table.mutex);
  auto found = table.objects.find(handle);
  return found == table.objects.end() ? nullptr : found->second.get();
}

bool CloseKernelObject(HANDLE handle) {
  std::unique_ptr<KernelObject> object;
  {
    Table& table = Objects();
    std::lock_guard lock(table.mutex);
    auto found = table.objects.find(handle);
    if (found == table.objects.end()) return false;
    object = std::move(found->second);
    table.objects.erase(found);
  }
  return true;
}

}  // namespace platform::internal
