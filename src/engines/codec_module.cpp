#include "engines/codec_module.h"

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/kernel/module_api.h"
#include "platform/text/cstring.h"
#include "transport/mms_global.h"

namespace {

constexpr const char16_t* kPrefixes[] = {u"JPEG_", u"PNG_", u"BMP_", u"WBMP_", u"GIF_"};
constexpr const char16_t* kNames[] = {
    u"DecodeInit", u"DecodeUninit", u"DecodeSetDimension", u"DecodeGetInfoHeader", u"DecodeScanLines",
    u"DecodeGetColorTab", u"DecodeGetMask", u"DecodeGetPngInfo", u"DecodeGetGlobInfo", u"DecodeSetFrameIndex",
    u"DecodeGetFrameInfo", u"EncodeInit", u"EncodeUninit", u"EncodeScanLines", u"EncodeSetQuality",
    u"EncodeSetExifData", u"EncodeSetColorTab", u"EncodeSetGlobalInfo", u"EncodeSetFrameInfo", u"EncodeSetLoop",
    u"GetInfoFromFile", u"GetDuration", u"GetGifInfo"};
static_assert(std::size(kNames) == static_cast<size_t>(CodecEntry::kCount));

std::array<CodecModule, 5>& Modules() {
  static std::array<CodecModule, 5> modules = {CodecModule(CodecFamily::kJpeg), CodecModule(CodecFamily::kPng),
                                               CodecModule(CodecFamily::kBmp), CodecModule(CodecFamily::kWbmp),
                                               CodecModule(CodecFamily::kGif)};
  return modules;
}

// Frees the library when the process ends. Made right after the first load, so that it goes
// before the platform's own module table does.
struct LibraryReleaser {
  ~LibraryReleaser() { FreeCodecLibrary(); }
};

HMODULE LoadCodecLibrary() {
  ULC_Global* global = ULC_Global::GetGlobal();
  if (global->imageCodecModule != nullptr) return global->imageCodecModule;
  CString path = GetFolderSetting(folder_setting::kImageDecPath);
  if (path.IsEmpty()) return nullptr;
  path += u"ImageDLL.dll";
  global->imageCodecModule = LoadLibraryW(path);
  if (global->imageCodecModule != nullptr) static LibraryReleaser releaser;
  return global->imageCodecModule;
}

}  // namespace

FARPROC CodecModule::Resolve(CodecEntry entry) {
  auto index = static_cast<size_t>(entry);
  HMODULE module = ULC_Global::GetGlobal()->imageCodecModule;
  if (m_cache[index] != nullptr && module != nullptr) return m_cache[index];
  module = LoadCodecLibrary();
  if (module == nullptr) return nullptr;
  std::u16string name = std::u16string(kPrefixes[static_cast<size_t>(m_family)]) + kNames[index];
  m_cache[index] = GetProcAddressW(module, name.c_str());
  return m_cache[index];
}

bool FamilyOfType(DWORD typeCode, CodecFamily& family) {
  switch (typeCode) {
    case 0x10001: family = CodecFamily::kJpeg; return true;
    case 0x10002: family = CodecFamily::kGif; return true;
    case 0x10003: family = CodecFamily::kPng; return true;
    case 0x10004: family = CodecFamily::kBmp; return true;
    case 0x10005: family = CodecFamily::kWbmp; return true;
    default: return false;
  }
}

CodecModule& Codec(CodecFamily family) { return Modules()[static_cast<size_t>(family)]; }

void ReleaseCodecs() {
  for (CodecModule& module : Modules()) module.Release();
}

void FreeCodecLibrary() {
  ReleaseCodecs();
  ULC_Global* global = ULC_Global::GetGlobal();
  if (global->imageCodecModule != nullptr) FreeLibrary(global->imageCodecModule);
  global->imageCodecModule = nullptr;
}
