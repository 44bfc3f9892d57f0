#include "platform/kernel/device.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <system_error>

#include "platform/internal/device_state.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/lent_files.h"
#include "platform/kernel/storage_problem.h"
#include "platform/kernel/temporary_files.h"
#include "platform/registry/factory_registry.h"
#include "platform/registry/registry.h"
#include "platform/text/text_conversion.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRegistryFile = "registry.db";
constexpr const WCHAR* kDeviceKey = u"\\Platform";

struct OpenDeviceState {
  fs::path root;
  std::unique_ptr<internal::RegistryStore> registry;
  DeviceSettings settings;
};

std::unique_ptr<OpenDeviceState>& Current() {
  static std::unique_ptr<OpenDeviceState> state;
  return state;
}

void EnsureOpen() {
  if (!Current()) OpenDevice(DefaultDeviceRoot(), RegistrySeed::kFactory);
}

fs::path PluginSource() {
  if (const char* fromEnvironment = std::getenv("MMSFORM_PLUGIN_DIR"); fromEnvironment && *fromEnvironment) {
    return fromEnvironment;
  }
  return MMSFORM_PLUGIN_DIR;
}

// Whether `target` has the size of `source` and is no older: one status call each, since every
// process of the device asks this of every library when it starts.
bool IsCurrentCopy(const fs::path& target, const fs::path& source) {
  struct stat targetStatus {};
  struct stat sourceStatus {};
  if (::stat(target.c_str(), &targetStatus) != 0 || ::stat(source.c_str(), &sourceStatus) != 0) return false;
  const auto nanoseconds = [](const timespec& time) {
    return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
  };
  return targetStatus.st_size == sourceStatus.st_size &&
         nanoseconds(targetStatus.st_mtim) >= nanoseconds(sourceStatus.st_mtim);
}

// Puts the libraries built for the device into its "\windows\" folder, replacing older ones. Each
// goes in under a temporary name and is renamed, so that another process of the device never loads
// a half-written library; a device whose libraries are current is not written at all.
void InstallPlugins(const fs::path& windowsFolder) {
  std::error_code error;
  if (IsReadOnlyFolder(Current()->root)) return;
  bool folderReady = fs::is_directory(windowsFolder, error);
  for (const auto& entry : fs::directory_iterator(PluginSource(), error)) {
    if (!entry.is_regular_file(error)) continue;
    fs::path target = windowsFolder / entry.path().filename();
    std::error_code targetError;
    if (IsCurrentCopy(target, entry.path())) continue;
    if (!folderReady) folderReady = fs::create_directories(windowsFolder, targetError) || !targetError;
    fs::path temporary = target;
    temporary += TemporarySuffix();
    // A hard link costs nothing for the many short-lived devices of a test run; on another file
    // system a symbolic link, and a copy where neither can be made.
    fs::create_hard_link(entry.path(), temporary, targetError);
    if (targetError) fs::create_symlink(entry.path(), temporary, targetError);
    if (targetError) fs::copy_file(entry.path(), temporary, targetError);
    if (!targetError) fs::rename(temporary, target, targetError);
    // Renaming a hard link over another link to the same file (another process of the device has
    // just installed it) succeeds and does nothing, so the temporary name may still be there.
    fs::remove(temporary, error);
  }
}

fs::path ContentSource() {
  if (const char* fromEnvironment = std::getenv("MMSFORM_CONTENT_DIR"); fromEnvironment && *fromEnvironment) {
    return fromEnvironment;
  }
  return MMSFORM_CONTENT_DIR;
}

// Gives a new device the files a phone of this kind ships with (the emoticon set, the templates),
// each under its device path. A file already there is left alone: it is the device's own now.
// Each file goes in under a temporary name and is renamed, so that a half-written one is never seen.
void InstallContent() {
  const fs::path source = ContentSource();
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(source, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    std::error_code fileError;
    if (!it->is_regular_file(fileError)) continue;
    std::u16string devicePath;
    for (const fs::path& part : fs::relative(it->path(), source, fileError)) devicePath += u"\\" + Utf8ToUtf16(part.string());
    auto target = HostPath(devicePath);
    if (!target || fs::exists(*target, fileError)) continue;
    fs::create_directories(target->parent_path(), fileError);
    fs::path temporary = *target;
    temporary += TemporarySuffix();
    fs::copy_file(it->path(), temporary, fs::copy_options::overwrite_existing, fileError);
    if (!fileError) fs::rename(temporary, *target, fileError);
    if (fileError) fs::remove(temporary, fileError);
  }
}

DWORD ReadDword(HKEY key, const WCHAR* name, DWORD fallback) {
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = REG_NONE;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return fallback;
  }
  return value;
}

DeviceSettings LoadSettings() {
  DeviceSettings settings;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDeviceKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return settings;
  auto positive = [](DWORD value, int fallback) {
    return value > 0 && value <= 8192 ? static_cast<int>(value) : fallback;
  };
  settings.screenWidth = positive(ReadDword(key, u"ScreenWidth", 240), 240);
  settings.screenHeight = positive(ReadDword(key, u"ScreenHeight", 320), 320);
  settings.dpi = positive(ReadDword(key, u"LogPixels", 96), 96);
  settings.codePage = ReadDword(key, u"CodePage", 1252);
  RegCloseKey(key);
  return settings;
}

// Whether a host file name (UTF-8) equals the wanted name without regard to case. Plain ASCII names,
// the usual case, are compared byte by byte without converting them.
bool SameNameNoCase(std::string_view hostName, std::u16string_view wanted) {
  bool ascii = hostName.size() == wanted.size();
  for (std::size_t i = 0; ascii && i < hostName.size(); ++i) {
    auto c = static_cast<unsigned char>(hostName[i]);
    if (c >= 0x80 || wanted[i] >= 0x80) {
      ascii = false;
    } else if (FoldCase(static_cast<char16_t>(c)) != FoldCase(wanted[i])) {
      return false;
    }
  }
  if (ascii) return true;
  return EqualsNoCase(Utf8ToUtf16(hostName), wanted);
}

// Finds a name in a folder without regard to case; the exact spelling wins when it exists.
std::optional<fs::path> FindNoCase(const fs::path& folder, std::u16string_view name) {
  std::error_code error;
  fs::path exact = folder / fs::path(Utf16ToUtf8(name));
  if (fs::exists(fs::symlink_status(exact, error))) return exact;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (SameNameNoCase(entry.path().filename().native(), name)) return entry.path();
  }
  return std::nullopt;
}

}  // namespace

fs::path DefaultDeviceRoot() {
  if (const char* fromEnvironment = std::getenv("MMSFORM_DEVICE"); fromEnvironment && *fromEnvironment) {
    return fromEnvironment;
  }
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : "/tmp") / ".local/share/mmsform/device";
}

bool OpenDevice(const fs::path& root, RegistrySeed seed, std::string* error) {
  CloseDevice();
  std::error_code fsError;
  fs::create_directories(root, fsError);
  if (fsError) {
    if (error) {
      std::string plain = StorageProblem(root.parent_path(), fsError.value());
      *error = root.string() + ": " + (plain.empty() ? fsError.message() : plain);
    }
    return false;
  }
  auto state = std::make_unique<OpenDeviceState>();
  state->root = fs::absolute(root, fsError).lexically_normal();
  internal::RegistryStore::Seeder seeder;
  bool factoryNew = false;
  if (seed == RegistrySeed::kFactory) {
    seeder = [&factoryNew](internal::RegistryStore& store, std::string* seedError) {
      factoryNew = true;
      return internal::ApplyRegistryEntries(store, FactoryRegistryText(), seedError);
    };
  }
  state->registry = internal::RegistryStore::Open(state->root / kRegistryFile, seeder, error);
  if (!state->registry) return false;
  Current() = std::move(state);
  Current()->settings = LoadSettings();
  if (auto windows = HostPath(u"\\windows")) InstallPlugins(*windows);
  if (factoryNew && !IsReadOnlyFolder(Current()->root)) InstallContent();
  return true;
}

const fs::path& DeviceRoot() {
  EnsureOpen();
  static const fs::path kNone;
  return Current() ? Current()->root : kNone;
}

void CloseDevice() { Current().reset(); }

std::optional<fs::path> HostPath(std::u16string_view devicePath) {
  if (auto lent = LentHostPath(devicePath)) return lent;
  EnsureOpen();
  if (!Current()) return std::nullopt;
  fs::path host = Current()->root;
  bool existing = true;
  while (!devicePath.empty()) {
    std::size_t end = devicePath.find_first_of(u"\\/");
    std::u16string_view part = devicePath.substr(0, end);
    devicePath = end == std::u16string_view::npos ? std::u16string_view() : devicePath.substr(end + 1);
    if (part.empty()) continue;
    if (part == u"." || part == u".." || part.find(u'\0') != std::u16string_view::npos) {
      SetLastError(ERROR_BAD_PATHNAME);
      return std::nullopt;
    }
    if (existing) {
      if (auto found = FindNoCase(host, part)) {
        host = *found;
        continue;
      }
      existing = false;
    }
    host /= fs::path(Utf16ToUtf8(part));
  }
  return host;
}

std::optional<std::u16string> DevicePathOf(const fs::path& hostPath) {
  EnsureOpen();
  if (!Current()) return std::nullopt;
  std::error_code error;
  fs::path relative = fs::absolute(hostPath, error).lexically_normal().lexically_relative(Current()->root);
  if (error || relative.empty() || *relative.begin() == "..") return std::nullopt;
  std::u16string device;
  for (const auto& part : relative) {
    if (part == ".") continue;
    device += u'\\';
    device += Utf8ToUtf16(part.string());
  }
  return device.empty() ? u"\\" : device;
}

DeviceSettings ReadDeviceSettings() {
  EnsureOpen();
  return Current() ? Current()->settings : DeviceSettings{};
}

bool WriteDeviceSettings(const DeviceSettings& settings) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDeviceKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  bool ok = true;
  auto write = [&](const WCHAR* name, DWORD value) {
    ok = ok && RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
                   ERROR_SUCCESS;
  };
  write(u"ScreenWidth", static_cast<DWORD>(settings.screenWidth));
  write(u"ScreenHeight", static_cast<DWORD>(settings.screenHeight));
  write(u"LogPixels", static_cast<DWORD>(settings.dpi));
  write(u"CodePage", settings.codePage);
  RegFlushKey(key);
  RegCloseKey(key);
  if (ok && Current()) Current()->settings = LoadSettings();
  return ok;
}

namespace internal {

RegistryStore* Registry() {
  EnsureOpen();
  return Current() ? Current()->registry.get() : nullptr;
}

}  // namespace internal
}  // namespace platform
