#include "engines/media_engine_adapter.h"

#include "platform/kernel/module_api.h"

namespace {

// The entry point as it is now; null without the library or the name.
template <typename Function>
Function Entry(LPCWSTR name) {
  HMODULE module = ULC_Global::GetGlobal()->GetEngineDll();
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(GetProcAddressW(module, name));
}

MediaEngineHandle HandleOf(const ULC_AudioEngine* engine) { return engine == nullptr ? nullptr : engine->handle; }
MediaEngineHandle HandleOf(const ULC_VideoEngine* engine) { return engine == nullptr ? nullptr : engine->handle; }

// Calls an entry point whose result is relied on; `missing` when it cannot be resolved.
template <typename Function, typename... Args>
int32_t CallValue(LPCWSTR name, int32_t missing, Args... args) {
  auto function = Entry<Function>(name);
  return function == nullptr ? missing : function(args...);
}

// Calls an entry point without a result: 1 when called, 0 when it cannot be resolved.
template <typename Function, typename... Args>
int32_t CallVoid(LPCWSTR name, Args... args) {
  auto function = Entry<Function>(name);
  if (function == nullptr) return 0;
  function(args...);
  return 1;
}

}  // namespace

int32_t Audio_GetEngineType() { return CallValue<AudioGetEngineTypeFn>(u"Audio_GetEngineType", 0); }

int32_t Audio_IsUseVideoPlayer(ULC_AudioEngine* engine) {
  return CallValue<AudioIsUseVideoPlayerFn>(u"Audio_IsUseVideoPlayer", 0, HandleOf(engine));
}

int32_t Audio_GetAudioFileDuration(ULC_AudioEngine* engine, LPCWSTR path) {
  return CallValue<AudioGetAudioFileDurationFn>(u"Audio_GetAudioFileDuration", -1, HandleOf(engine), path);
}

int32_t Audio_LoadFile(ULC_AudioEngine* engine, LPCWSTR path, HWND window, int32_t reserved) {
  return CallValue<AudioLoadFileFn>(u"Audio_LoadFile", 0, HandleOf(engine), path, window, reserved);
}

int32_t Audio_UnloadFile(ULC_AudioEngine* engine) {
  return CallVoid<AudioUnloadFileFn>(u"Audio_UnloadFile", HandleOf(engine));
}

int32_t Audio_Play(ULC_AudioEngine* engine, int32_t start, int32_t end, int32_t count, int32_t volume) {
  return CallVoid<AudioPlayFn>(u"Audio_Play", HandleOf(engine), start, end, count, volume);
}

int32_t Audio_Pause(ULC_AudioEngine* engine) { return CallVoid<AudioPauseFn>(u"Audio_Pause", HandleOf(engine)); }

int32_t Audio_Stop(ULC_AudioEngine* engine) { return CallVoid<AudioStopFn>(u"Audio_Stop", HandleOf(engine)); }

int32_t Audio_GetState(ULC_AudioEngine* engine) {
  return CallValue<AudioGetStateFn>(u"Audio_GetState", 0, HandleOf(engine));
}

DibImage* Video_LoadFirstFrame(ULC_VideoEngine* engine, LPCWSTR path, SIZE* box) {
  auto function = Entry<VideoLoadFirstFrameFn>(u"Video_LoadFirstFrame");
  return function == nullptr ? nullptr : function(HandleOf(engine), path, box);
}

int32_t Video_GetVideoInfo(ULC_VideoEngine* engine, LPCWSTR path, int32_t* width, int32_t* height,
                           int32_t* durationMs, int32_t reserved) {
  return CallValue<VideoGetVideoInfoFn>(u"Video_GetVideoInfo", 0, HandleOf(engine), path, width, height, durationMs,
                                        reserved);
}

int32_t Video_GetEngineType() { return CallValue<VideoGetEngineTypeFn>(u"Video_GetEngineType", 0); }

int32_t Video_SetEngine(ULC_VideoEngine* engine, HWND window, int32_t left, int32_t top, int32_t right,
                        int32_t bottom) {
  return CallValue<VideoSetEngineFn>(u"Video_SetEngine", 0, HandleOf(engine), window, left, top, right, bottom);
}

int32_t Video_LoadFile(ULC_VideoEngine* engine, LPCWSTR path, int32_t reserved) {
  return CallValue<VideoLoadFileFn>(u"Video_LoadFile", 0, HandleOf(engine), path, reserved);
}

int32_t Video_UnloadFile(ULC_VideoEngine* engine) {
  return CallVoid<VideoUnloadFileFn>(u"Video_UnloadFile", HandleOf(engine));
}

int32_t Video_Play(ULC_VideoEngine* engine, int32_t volume) {
  return CallVoid<VideoPlayFn>(u"Video_Play", HandleOf(engine), volume);
}

int32_t Video_Pause(ULC_VideoEngine* engine, int32_t flag) {
  return CallVoid<VideoPauseFn>(u"Video_Pause", HandleOf(engine), flag);
}

int32_t Video_Stop(ULC_VideoEngine* engine) { return CallVoid<VideoStopFn>(u"Video_Stop", HandleOf(engine)); }

int32_t Video_GetState(ULC_VideoEngine* engine) {
  return CallValue<VideoGetStateFn>(u"Video_GetState", 0, HandleOf(engine));
}

DibImage* Video_CaptureCurrentFrame(ULC_VideoEngine* engine) {
  auto function = Entry<VideoCaptureCurrentFrameFn>(u"Video_CaptureCurrentFrame");
  return function == nullptr ? nullptr : function(HandleOf(engine));
}

int32_t Video_ResetRegion(ULC_VideoEngine* engine, HWND window, int32_t left, int32_t top, int32_t right,
                          int32_t bottom) {
  return CallVoid<VideoResetRegionFn>(u"Video_ResetRegion", HandleOf(engine), window, left, top, right, bottom);
}

int32_t Video_GetFlag(ULC_VideoEngine* engine, int32_t flag, int32_t* value) {
  return CallValue<VideoGetFlagFn>(u"Video_GetFlag", 0, HandleOf(engine), flag, value);
}

int32_t Video_SetConfig(ULC_VideoEngine* engine, int32_t key, intptr_t value) {
  return CallVoid<VideoSetConfigFn>(u"Video_SetConfig", HandleOf(engine), key, value);
}

int32_t DestroyRecordEngine(RecordEngineHolder* holder) {
  if (holder == nullptr) return 0;
  return CallVoid<DestroyRecordEngineFn>(u"DestroyRecordEngine", &holder->handle);
}

int32_t Record_Stop(RecordEngineHolder* holder) {
  if (holder == nullptr) return 0;
  return CallVoid<RecordStopFn>(u"Record_Stop", holder->handle);
}

int32_t GetRecordEngine(RecordEngineHolder* holder, int32_t type) {
  auto function = Entry<GetRecordEngineFn>(u"GetRecordEngine");
  if (holder == nullptr || function == nullptr) return 0;
  holder->handle = function(type);
  return holder->handle != nullptr ? 1 : 0;
}

int32_t Record_Start(RecordEngineHolder* holder, LPCWSTR path, HWND window, int32_t limit, int32_t type) {
  if (holder == nullptr) return 0;
  return CallValue<RecordStartFn>(u"Record_Start", 0, holder->handle, path, window, limit, type);
}

BOOL StartRecording(RecordEngineHolder* holder, LPCWSTR path, HWND window, int32_t limit, int32_t type) {
  if (holder == nullptr || path == nullptr || limit < 1) return FALSE;
  DestroyRecordEngine(holder);
  if (!GetRecordEngine(holder, type)) {
    DestroyRecordEngine(holder);
    return FALSE;
  }
  return Record_Start(holder, path, window, limit, type) != 0 ? TRUE : FALSE;
}

void StopRecording(RecordEngineHolder* holder) {
  if (holder == nullptr) return;
  if (Entry<RecordStopFn>(u"Record_Stop") != nullptr) {
    Record_Stop(holder);
  } else {
    DestroyRecordEngine(holder);
  }
}

void DestroyRecording(RecordEngineHolder* holder) { DestroyRecordEngine(holder); }
