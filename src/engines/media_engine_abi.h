// The calling interface of the media engine library: the entry points the adapter resolves by name,
// with their argument lists, the state values and the notifications. Pointers travel where the
// device passes 32-bit words; paths are device paths in UTF-16. (The transport makes and releases
// the two shared engines through entry points of its own.)
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct DibImage;

using MediaEngineHandle = void*;

// State values of Audio_GetState and Video_GetState.
namespace engine_state {
constexpr int32_t kLoading = 0;  // video: loaded, not yet played
constexpr int32_t kIdle = 1;     // nothing loaded, or finished
constexpr int32_t kStopped = 2;  // audio: stopped after playing; play starts again
constexpr int32_t kPlaying = 3;
constexpr int32_t kPaused = 4;
constexpr int32_t kBusy = 7;
constexpr int32_t kNoRegion = 8;
}  // namespace engine_state

// Notifications the engine sends to the windows it was given.
namespace engine_message {
constexpr UINT kAudioProgress = 0x04CB;  // wParam position in ms, lParam duration; wParam -1 at the end
constexpr UINT kVideoEnd = 1225;
constexpr UINT kVideoState = 1226;  // posted when play starts, resumes or pauses: wParam the state, lParam the position
constexpr UINT kVideoProgress = 1227;  // wParam position in ms, lParam duration
constexpr UINT kRecordProgress = 0x04DC;  // wParam bytes written, lParam milliseconds recorded
constexpr UINT kRecordLimit = 0x04DE;
}  // namespace engine_message

// What Video_SetConfig keys 0 and 1 select, and the flag of Video_GetFlag.
namespace engine_config {
constexpr int32_t kThumbnailOwner = 0;
constexpr int32_t kEngineKind = 1;    // key: the kind Video_GetEngineType reports, for the whole library
constexpr int32_t kFlagFinished = 1;  // flag: set once the loaded video has played to its end
}  // namespace engine_config

// The kinds of video engine Video_GetEngineType reports. The module treats each the way the
// device's engine of that kind needs.
namespace video_engine_type {
// Plays files it makes no still of (protected content among them), and is left to play on when
// its view loses the focus or the input panel comes up. This library's own kind.
constexpr int32_t kPlaysWithoutStill = 1;
// Plays only what it made a still of; its views pause it when they lose the focus.
constexpr int32_t kNeedsStill = 2;
// Plays in a full-screen player window of its own, which takes the activation when it shows.
constexpr int32_t kOwnPlayer = 5;
}  // namespace video_engine_type

// Record types of GetRecordEngine: 1 is AMR-NB (RFC 4867 storage format); 0 (QCELP) has no encoder.
namespace record_type {
constexpr int32_t kQcelp = 0;
constexpr int32_t kAmr = 1;
}  // namespace record_type

extern "C" {
using AudioGetEngineTypeFn = int32_t (*)();
using AudioIsUseVideoPlayerFn = int32_t (*)(MediaEngineHandle engine);
using AudioGetAudioFileDurationFn = int32_t (*)(MediaEngineHandle engine, LPCWSTR path);
using AudioLoadFileFn = int32_t (*)(MediaEngineHandle engine, LPCWSTR path, HWND window, int32_t reserved);
using AudioUnloadFileFn = void (*)(MediaEngineHandle engine);
using AudioPlayFn = void (*)(MediaEngineHandle engine, int32_t start, int32_t end, int32_t count, int32_t volume);
using AudioPauseFn = void (*)(MediaEngineHandle engine);
using AudioStopFn = void (*)(MediaEngineHandle engine);
using AudioGetStateFn = int32_t (*)(MediaEngineHandle engine);
using VideoLoadFirstFrameFn = DibImage* (*)(MediaEngineHandle engine, LPCWSTR path, SIZE* box);
using VideoGetVideoInfoFn = int32_t (*)(MediaEngineHandle engine, LPCWSTR path, int32_t* width, int32_t* height,
                                        int32_t* durationMs, int32_t reserved);
using VideoGetEngineTypeFn = int32_t (*)();
using VideoSetEngineFn = int32_t (*)(MediaEngineHandle engine, HWND window, int32_t left, int32_t top,
                                     int32_t right, int32_t bottom);
using VideoLoadFileFn = int32_t (*)(MediaEngineHandle engine, LPCWSTR path, int32_t reserved);
using VideoUnloadFileFn = void (*)(MediaEngineHandle engine);
using VideoPlayFn = void (*)(MediaEngineHandle engine, int32_t volume);
using VideoPauseFn = void (*)(MediaEngineHandle engine, int32_t flag);
using VideoStopFn = void (*)(MediaEngineHandle engine);
using VideoGetStateFn = int32_t (*)(MediaEngineHandle engine);
using VideoCaptureCurrentFrameFn = DibImage* (*)(MediaEngineHandle engine);
using VideoResetRegionFn = void (*)(MediaEngineHandle engine, HWND window, int32_t left, int32_t top,
                                    int32_t right, int32_t bottom);
using VideoGetFlagFn = int32_t (*)(MediaEngineHandle engine, int32_t flag, int32_t* value);
using VideoSetConfigFn = void (*)(MediaEngineHandle engine, int32_t key, intptr_t value);
using DestroyRecordEngineFn = void (*)(MediaEngineHandle* holder);
using RecordStopFn = void (*)(MediaEngineHandle record);
using GetRecordEngineFn = MediaEngineHandle (*)(int32_t type);
using RecordStartFn = int32_t (*)(MediaEngineHandle record, LPCWSTR path, HWND window, int32_t limit,
                                  int32_t type);
}

// The largest video frame (pixels) and audio layout the engine accepts; files claiming more fail
// before anything is allocated.
inline constexpr int64_t kMaxVideoPixels = 4096 * 2304;
inline constexpr int kMaxAudioChannels = 8;
inline constexpr int kMaxSampleRate = 192000;
