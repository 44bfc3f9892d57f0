// The picture codec library "ImageDLL.dll" as five families of entry points (JPEG, PNG, BMP, WBMP,
// GIF). The library is loaded on the first call of any entry point; every family shares the one
// module handle kept in ULC_Global, and caches its entry points on first use.
#pragma once

#include <array>
#include <cstdint>

#include "engines/image_codec_abi.h"
#include "platform/win_types.h"

enum class CodecFamily { kJpeg, kPng, kBmp, kWbmp, kGif, kCount };

// Entry points by their name after the family prefix ("JPEG_" + "DecodeInit"). A family that does
// not have a name simply fails to resolve it.
enum class CodecEntry {
  kDecodeInit, kDecodeUninit, kDecodeSetDimension, kDecodeGetInfoHeader, kDecodeScanLines,
  kDecodeGetColorTab, kDecodeGetMask, kDecodeGetPngInfo, kDecodeGetGlobInfo, kDecodeSetFrameIndex,
  kDecodeGetFrameInfo, kEncodeInit, kEncodeUninit, kEncodeScanLines, kEncodeSetQuality,
  kEncodeSetExifData, kEncodeSetColorTab, kEncodeSetGlobalInfo, kEncodeSetFrameInfo, kEncodeSetLoop,
  kGetInfoFromFile, kGetDuration, kGetGifInfo, kCount
};

class CodecModule {
 public:
  explicit CodecModule(CodecFamily family) : m_family(family) {}

  // The entry point, from the cache or resolved now (loading the library when needed); null when
  // the library or the name is missing.
  FARPROC Resolve(CodecEntry entry);
  // Forgets every cached entry point.
  void Release() { m_cache.fill(nullptr); }

 private:
  CodecFamily m_family;
  std::array<FARPROC, static_cast<size_t>(CodecEntry::kCount)> m_cache{};
};

CodecModule& Codec(CodecFamily family);

// Calls an entry point; -1 without calling anything when it cannot be resolved.
template <typename Function, typename... Args>
int32_t CallCodec(CodecFamily family, CodecEntry entry, Args... args) {
  FARPROC proc = Codec(family).Resolve(entry);
  if (proc == nullptr) return -1;
  return reinterpret_cast<Function>(proc)(args...);
}

// A codec context from a family's ...Init, released through its ...Uninit when the owner ends.
class CodecHandle {
 public:
  CodecHandle(CodecFamily family, CodecEntry uninit) : m_family(family), m_uninit(uninit) {}
  ~CodecHandle() { Close(); }
  CodecHandle(const CodecHandle&) = delete;
  CodecHandle& operator=(const CodecHandle&) = delete;

  ImageCodecHandle* out() { return &m_handle; }
  ImageCodecHandle get() const { return m_handle; }
  // Releases the context now; the ...Uninit result (an encoder reports there whether it finished).
  int32_t Close() {
    if (m_handle == nullptr) return -1;
    int32_t result = CallCodec<ImageUninitFn>(m_family, m_uninit, m_handle);
    m_handle = nullptr;
    return result;
  }

 private:
  CodecFamily m_family;
  CodecEntry m_uninit;
  ImageCodecHandle m_handle = nullptr;
};

// The family that codes a picture type; false for types the library does not handle.
bool FamilyOfType(DWORD typeCode, CodecFamily& family);

// Discards the cached entry points of all five families (at module shut-down); a later call
// resolves afresh.
void ReleaseCodecs();
// Discards the cached entry points and frees the library, clearing the shared handle.
void FreeCodecLibrary();
