// The transport library's process context: CMMSGlobal (the form context of the compose path) and
// ULC_Global (the fields the form module reads and writes for the process).
#pragma once

#include <memory>

#include "platform/net/internet_api.h"
#include "platform/text/cstring.h"
#include "platform/win_types.h"
#include "transport/ulc_poom.h"

struct IMsgStore;
struct SIZE;
struct DibImage;

// The resource library record: loaded on first use as a data file from its path.
struct ResourceModuleRecord {
  HMODULE instance = nullptr;
  CString path;
};

// Protected playback in progress: (active, window, 2) and a flag, set as one.
struct DrmContextRecord {
  DWORD active = 0;
  HWND window = nullptr;
  DWORD constant = 2;
};

// The picture hooks the module installs at start: decode a picture file for display at a size, and
// read a picture's size. Flags carry the decode mode in their high word.
using ImageDecodeHook = DibImage* (*)(LPCWSTR file, const SIZE* size, DWORD flags);
using ImageSizeHook = BOOL (*)(LPCWSTR file, int* width, int* height, DWORD flags);

// The two shared engines of the media engine library; the first word is the handle its entry
// points take.
struct ULC_AudioEngine {
  void* handle = nullptr;
};
struct ULC_VideoEngine {
  void* handle = nullptr;
};

class ULC_Global {
 public:
  // The one process-wide instance; never null.
  static ULC_Global* GetGlobal();

  ResourceModuleRecord resourceModule;
  IMsgStore* messageStore = nullptr;
  CString appTitle;
  CString appTitle2;
  CString helpTopic;  // what the help viewer opens for the windows of the forms
  CString genericFilter;  // extensions allowed as generic attachments, each followed by ";", or "*"
  CString importedFile;
  int flixFlag = 0;
  int mmsFlag = 0;
  int mmsComposeFlag = 0;
  int smsComposeFlag = 0;
  int transientFlag = 0;
  ImageDecodeHook imageDecodeHook = nullptr;
  ImageSizeHook imageSizeHook = nullptr;
  DrmContextRecord drmContext;
  int drmContextFlag = 0;
  HMODULE imageCodecModule = nullptr;
  HWND composerWindow = nullptr;
  // The internet library while loaded: its two address calls, both null otherwise.
  HMODULE winINetModule = nullptr;
  int winINetLoads = 0;
  InternetCanonicalizeUrlFunction canonicalizeUrl = nullptr;
  InternetCrackUrlFunction crackUrl = nullptr;

  HMODULE engineModule = nullptr;
  std::unique_ptr<ULC_AudioEngine> audioEngine;
  std::unique_ptr<ULC_VideoEngine> videoEngine;
  // The audio engine whose notifications are still to be released after the engine itself.
  void* audioNotifyHandle = nullptr;

  // Reads what the transport keeps in the device's registry (the generic-attachment filter); done
  // when the instance is first made, and again when a host switches devices.
  void LoadDeviceConfiguration();

  // Loads the internet library ("wininet.dll") and resolves both calls; nested loads count, and
  // each successful one is matched by UnloadWinINet. FALSE when the library or a call is missing.
  BOOL LoadWinINet();
  void UnloadWinINet();

  // The media engine library ("MediaEngine.dll" in "\windows\"), loaded on first use; null when
  // it is missing.
  HMODULE GetEngineDll();
  // The process's shared engines, made on first request; null without the library.
  ULC_AudioEngine* InitAudioInstance();
  ULC_VideoEngine* InitVideoInstance();
  // Releases in the order the module's shut-down calls them: the audio engine, the audio
  // engine's notifications, the video engine, then the library itself.
  void UninitAudioInstance();
  void UninitAudioNotifyInstance();
  void UninitVideoInstance();
  // TRUE when the library was freed or was not loaded.
  BOOL UnloadEngineModule();

  // Sets the DRM context record and its flag in one step.
  void SetDrmContext(DWORD active, HWND window, int flag);
};

class CMMSGlobal {
 public:
  // The compose form being opened must close at once when composeAbort is set; composeAbortForm is
  // the form it applies to.
  int composeAbort = 0;
  void* composeAbortForm = nullptr;

  // Readies the context for a new run of forms: no compose form is left marked to close.
  BOOL InitFormGlobal();

  // A message box with the text of a resource string number, or with a ready text, captioned by
  // the transport's rule (transport/message_box.h); returns the button pressed (IDYES 6, ...).
  int MessageBoxW(HWND owner, UINT textId, UINT style);
  int MessageBoxW(HWND owner, LPCWSTR text, UINT style);

  // The contact store wrappers of the process, one per kind; never null.
  ULC_Poom* GetContactPoom() { return &m_contactPoom; }
  ULC_Poom* GetTaskPoom() { return &m_taskPoom; }
  ULC_Poom* GetAppointmentPoom() { return &m_appointmentPoom; }

 private:
  ULC_Poom m_contactPoom{platform::pim::PimKind::kContact};
  ULC_Poom m_taskPoom{platform::pim::PimKind::kTask};
  ULC_Poom m_appointmentPoom{platform::pim::PimKind::kAppointment};
};

// The process's form context.
CMMSGlobal* GetMMSGlobal();

// The shared empty string that every empty CString points to.
LPCWSTR GetAddress1();
LPCWSTR GetAddress();
