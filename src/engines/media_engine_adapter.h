// The adapter through which every view, player and recorder drives the media engine library. Each
// call looks its entry point up again by name in the module of ULC_Global::GetEngineDll and
// forwards the call; with no library or no such name it returns 0 (-1 for the duration) and does
// nothing else. The engine objects are the transport's shared ones; their first word is the handle.
#pragma once

#include "engines/media_engine_abi.h"
#include "platform/win_types.h"
#include "transport/mms_global.h"

int32_t Audio_GetEngineType();
int32_t Audio_IsUseVideoPlayer(ULC_AudioEngine* engine);
// Milliseconds, or -1 (also when the library or the name is missing).
int32_t Audio_GetAudioFileDuration(ULC_AudioEngine* engine, LPCWSTR path);
// The file's duration in ms when positive; 0 or less is failure.
int32_t Audio_LoadFile(ULC_AudioEngine* engine, LPCWSTR path, HWND window, int32_t reserved);
int32_t Audio_UnloadFile(ULC_AudioEngine* engine);
int32_t Audio_Play(ULC_AudioEngine* engine, int32_t start, int32_t end, int32_t count, int32_t volume);
int32_t Audio_Pause(ULC_AudioEngine* engine);
int32_t Audio_Stop(ULC_AudioEngine* engine);
int32_t Audio_GetState(ULC_AudioEngine* engine);

// A first frame fitted into *box (which receives the size made), the no-still marker -1, or null.
DibImage* Video_LoadFirstFrame(ULC_VideoEngine* engine, LPCWSTR path, SIZE* box);
// Displayed width and height, and the duration in ms as the third value (when asked for).
int32_t Video_GetVideoInfo(ULC_VideoEngine* engine, LPCWSTR path, int32_t* width, int32_t* height,
                           int32_t* durationMs, int32_t reserved);
int32_t Video_GetEngineType();
int32_t Video_SetEngine(ULC_VideoEngine* engine, HWND window, int32_t left, int32_t top, int32_t right,
                        int32_t bottom);
int32_t Video_LoadFile(ULC_VideoEngine* engine, LPCWSTR path, int32_t reserved);
int32_t Video_UnloadFile(ULC_VideoEngine* engine);
int32_t Video_Play(ULC_VideoEngine* engine, int32_t volume);
int32_t Video_Pause(ULC_VideoEngine* engine, int32_t flag);
int32_t Video_Stop(ULC_VideoEngine* engine);
int32_t Video_GetState(ULC_VideoEngine* engine);
// The frame on screen; the caller frees it.
DibImage* Video_CaptureCurrentFrame(ULC_VideoEngine* engine);
int32_t Video_ResetRegion(ULC_VideoEngine* engine, HWND window, int32_t left, int32_t top, int32_t right,
                          int32_t bottom);
int32_t Video_GetFlag(ULC_VideoEngine* engine, int32_t flag, int32_t* value);
int32_t Video_SetConfig(ULC_VideoEngine* engine, int32_t key, intptr_t value);

// The recorder's one word: the record engine handle or null.
struct RecordEngineHolder {
  MediaEngineHandle handle = nullptr;
};

int32_t DestroyRecordEngine(RecordEngineHolder* holder);
int32_t Record_Stop(RecordEngineHolder* holder);
int32_t GetRecordEngine(RecordEngineHolder* holder, int32_t type);
int32_t Record_Start(RecordEngineHolder* holder, LPCWSTR path, HWND window, int32_t limit, int32_t type);

// Fails at once without a path or with a limit below 1; otherwise replaces the holder's engine with
// a new one of the type (a null engine clears the holder and fails) and starts recording.
BOOL StartRecording(RecordEngineHolder* holder, LPCWSTR path, HWND window, int32_t limit, int32_t type);
// Record_Stop, or DestroyRecordEngine when the library has no Record_Stop.
void StopRecording(RecordEngineHolder* holder);
void DestroyRecording(RecordEngineHolder* holder);
