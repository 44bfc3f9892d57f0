#include "platform/resources/resource_api.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "platform/kernel/device.h"
#include "platform/kernel/last_error.h"
#include "platform/resources/resource_file.h"
#include "platform/window/screen.h"

namespace platform::resources {
namespace {

constexpr const WCHAR* kProcessResourceFile = u"\\windows\\MMSRes.dll";

struct DataModule {
  std::unique_ptr<ResourceFile> file;
  std::string hostPath;
  int references = 1;
};

struct DataModules {
  std::map<std::string, std::unique_ptr<DataModule>> byPath;
  // The process's resources: the device's file, opened again when the device changes.
  DataModule* process = nullptr;
  std::string processPath;
};

// Never destroyed: libraries are freed by other static objects' destructors at exit, after this
// table would otherwise be gone.
DataModules& Modules() {
  static DataModules& modules = *new DataModules;
  return modules;
}

DataModule* Live(HMODULE module) {
  for (auto& [path, data] : Modules().byPath) {
    if (reinterpret_cast<HMODULE>(data.get()) == module) return data.get();
  }
  return nullptr;
}

DataModule* OpenData(const std::string& hostPath) {
  DataModules& modules = Modules();
  if (auto it = modules.byPath.find(hostPath); it != modules.byPath.end()) {
    ++it->second->references;
    return it->second.get();
  }
  auto file = ResourceFile::Open(hostPath);
  if (!file) return nullptr;
  auto module = std::make_unique<DataModule>(DataModule{std::move(file), hostPath, 1});
  DataModule* raw = module.get();
  modules.byPath.emplace(hostPath, std::move(module));
  return raw;
}

DataModule* ProcessModule() {
  DataModules& modules = Modules();
  auto host = platform::HostPath(kProcessResourceFile);
  if (!host) return nullptr;
  std::string path = host->string();
  if (modules.process && modules.processPath == path && Live(reinterpret_cast<HMODULE>(modules.process))) {
    return modules.process;
  }
  if (modules.process) FreeDataModule(reinterpret_cast<HMODULE>(modules.process));
  modules.process = OpenData(path);
  modules.processPath = modules.process ? path : std::string();
  return modules.process;
}

// The module a resource call names: a live data module, or the process's for null.
DataModule* Resolve(HMODULE module) {
  return module ? Live(module) : ProcessModule();
}

const ResourceEntry* Lookup(HMODULE module, DWORD type, DWORD id, DWORD variant = 1) {
  DataModule* data = Resolve(module);
  if (!data) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  const ResourceEntry* entry = data->file->Find(type, id, variant);
  if (!entry) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return entry;
}

// A string entry's characters without the closing null.
std::u16string_view StringOf(const ResourceEntry& entry) {
  std::size_t count = entry.data.size() / sizeof(WCHAR);
  const auto* text = reinterpret_cast<const WCHAR*>(entry.data.data());
  std::size_t length = 0;
  while (length < count && text[length] != 0) ++length;
  return {text, length};
}

}  // namespace

bool FreeDataModule(HMODULE module) {
  DataModule* data = Live(module);
  if (!data) return false;
  if (--data->references == 0) {
    DataModules& modules = Modules();
    if (modules.process == data) modules.process = nullptr;
    modules.byPath.erase(data->hostPath);
  }
  return true;
}

std::span<const BYTE> ResourceBytesAt(const void* data) {
  for (auto& [path, module] : Modules().byPath) {
    if (const ResourceEntry* entry = module->file->EntryAt(data)) return entry->data;
  }
  return {};
}

HMODULE LoadDataModule(LPCWSTR path) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::u16string devicePath(path);
  if (devicePath.find_first_of(u"\\/") == std::u16string::npos) devicePath = u"\\windows\\" + devicePath;
  auto host = platform::HostPath(devicePath);
  DataModule* data = host ? OpenData(host->string()) : nullptr;
  if (!data) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HMODULE>(data);
}

}  // namespace platform::resources

using namespace platform::resources;

HMODULE GetModuleHandleW(LPCWSTR name) {
  if (name) return nullptr;
  return reinterpret_cast<HMODULE>(ProcessModule());
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
  if (!IS_INTRESOURCE(name) || !IS_INTRESOURCE(type)) {
    // Resources of this system are numbered; names are never found.
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  auto id = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(name));
  auto kind = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(type));
  return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(Lookup(module, kind, id)));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  DataModule* data = Resolve(module);
  auto* entry = reinterpret_cast<const ResourceEntry*>(resource);
  if (!data || !data->file->Owns(entry)) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  return const_cast<BYTE*>(entry->data.data());
}

LPVOID LockResource(HGLOBAL data) { return data; }

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  DataModule* data = Resolve(module);
  auto* entry = reinterpret_cast<const ResourceEntry*>(resource);
  return data && data->file->Owns(entry) ? static_cast<DWORD>(entry->data.size()) : 0;
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
  const ResourceEntry* entry = Lookup(instance, 6, id & 0xFFFF);
  if (!buffer || size < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!entry) {
    if (size > 0) buffer[0] = 0;
    return 0;
  }
  std::u16string_view text = StringOf(*entry);
  if (size == 0) {
    *reinterpret_cast<const WCHAR**>(buffer) = text.data();
    return static_cast<int>(text.size());
  }
  std::size_t count = std::min(text.size(), static_cast<std::size_t>(size - 1));
  std::copy_n(text.begin(), count, buffer);
  buffer[count] = 0;
  return static_cast<int>(count);
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
  if (!IS_INTRESOURCE(name)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const DWORD variant = platform::window::CurrentScreen().dpi >= 144 ? 2 : 1;
  const ResourceEntry* entry =
      Lookup(instance, 2, static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(name)), variant);
  if (!entry || entry->data.size() < sizeof(BITMAPINFOHEADER)) return nullptr;
  BITMAPINFOHEADER header;
  std::memcpy(&header, entry->data.data(), sizeof header);
  if (header.biSize != sizeof header || header.biBitCount != 24 || header.biWidth <= 0 || header.biHeight <= 0 ||
      header.biWidth > 4096 || header.biHeight > 4096) {
    return nullptr;
  }
  const std::size_t stride = (static_cast<std::size_t>(header.biWidth) * 3 + 3) & ~std::size_t{3};
  const std::size_t needed = stride * static_cast<std::size_t>(header.biHeight);
  if (entry->data.size() - sizeof header < needed) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader = header;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) std::memcpy(bits, entry->data.data() + sizeof header, needed);
  return bitmap;
}

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int, int, UINT) {
  if (type != IMAGE_BITMAP) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  return LoadBitmapW(instance, name);
}
