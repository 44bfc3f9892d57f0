#include "platform/kernel/module_api.h"

#include <dlfcn.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

#include "platform/kernel/device.h"
#include "platform/kernel/last_error.h"
#include "platform/resources/resource_api.h"
#include "platform/text/text_conversion.h"

struct ModuleRecord {
  void* library;
  std::string hostPath;
  int references;
};

namespace {

struct ModuleTable {
  std::mutex mutex;
  std::map<std::string, ModuleRecord*> byPath;
};

// Never destroyed: static objects of the module may free libraries from their destructors at exit.
ModuleTable& Modules() {
  static ModuleTable& table = *new ModuleTable;
  return table;
}

bool IsLive(ModuleTable& table, HMODULE module) {
  for (const auto& [path, record] : table.byPath) {
    if (record == module) return true;
  }
  return false;
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR path) {
  if (path == nullptr || *path == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::u16string devicePath(path);
  if (devicePath.find_first_of(u"\\/") == std::u16string::npos) devicePath = u"\\windows\\" + devicePath;
  auto host = platform::HostPath(devicePath);
  std::error_code error;
  if (!host || !std::filesystem::is_regular_file(*host, error)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  ModuleTable& table = Modules();
  std::lock_guard lock(table.mutex);
  std::string key = host->string();
  if (auto found = table.byPath.find(key); found != table.byPath.end()) {
    ++found->second->references;
    return found->second;
  }
  // Lazy: the system libraries under a plugin (the whole FFmpeg or librsvg stack) bind a function
  // when it is first called, as in any program, instead of all of them before the load returns.
  // Our plugins are linked to bind at load, so one that lacks a function is still refused here.
  void* library = ::dlopen(key.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (library == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  auto* record = new ModuleRecord{library, key, 1};
  table.byPath.emplace(key, record);
  return record;
}

FARPROC GetProcAddressW(HMODULE module, LPCWSTR name) {
  // Names only: a value below 0x10000 is an ordinal, and no library here exports by ordinal.
  if (module == nullptr || name == nullptr || reinterpret_cast<std::uintptr_t>(name) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  ModuleTable& table = Modules();
  std::lock_guard lock(table.mutex);
  if (!IsLive(table, module)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  void* symbol = ::dlsym(module->library, platform::Utf16ToUtf8(name).c_str());
  if (symbol == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

HMODULE LoadLibraryExW(LPCWSTR path, HANDLE, DWORD flags) {
  if (flags & LOAD_LIBRARY_AS_DATAFILE) return platform::resources::LoadDataModule(path);
  return LoadLibraryW(path);
}

BOOL FreeLibrary(HMODULE module) {
  // Resource files loaded as data (LoadLibraryExW) are released by their own table.
  if (platform::resources::FreeDataModule(module)) return TRUE;
  ModuleTable& table = Modules();
  void* library = nullptr;
  {
    std::lock_guard lock(table.mutex);
    if (module == nullptr || !IsLive(table, module)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    if (--module->references > 0) return TRUE;
    library = module->library;
    table.byPath.erase(module->hostPath);
    delete module;
  }
  // Outside the lock: the library's static destructors may free the libraries it loaded itself.
  ::dlclose(library);
  return TRUE;
}
