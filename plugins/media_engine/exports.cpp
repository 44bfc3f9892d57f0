// The library's entry points, exported under the names the module resolves. Every handle is checked
// against the engines this library made, so a stale or foreign handle does nothing.
#include <memory>
#include <set>

#include "engine.h"
#include "recorder.h"

#define ENGINE_EXPORT extern "C" __attribute__((visibility("default")))

using media_engine::Engine;
using media_engine::Recorder;

namespace {

// What Audio_GetEngineType reports: this engine plays EVRC (6).
constexpr int32_t kAudioEngineType = 6;

// What Video_GetEngineType reports. This library plays protected videos it makes no still of (1);
// a host may have it report one of the device's other kinds (Video_SetConfig key
// engine_config::kEngineKind) to run the module as it runs over those. Decoding and drawing stay
// the same.
int32_t& VideoEngineKind() {
  static int32_t kind = video_engine_type::kPlaysWithoutStill;
  return kind;
}

bool IsVideoEngineKind(intptr_t value) {
  return value == video_engine_type::kPlaysWithoutStill || value == video_engine_type::kNeedsStill ||
         value == video_engine_type::kOwnPlayer;
}

std::set<Engine*>& Engines() {
  static std::set<Engine*> engines;
  return engines;
}
std::set<Recorder*>& Recorders() {
  static std::set<Recorder*> recorders;
  return recorders;
}

Engine* Live(MediaEngineHandle handle) {
  auto* engine = static_cast<Engine*>(handle);
  return Engines().count(engine) != 0 ? engine : nullptr;
}

Recorder* LiveRecorder(MediaEngineHandle handle) {
  auto* recorder = static_cast<Recorder*>(handle);
  return Recorders().count(recorder) != 0 ? recorder : nullptr;
}

// FFmpeg's own messages about broken files would go to the host's standard error.
__attribute__((constructor)) void QuietLibraries() { av_log_set_level(AV_LOG_QUIET); }

RECT Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) { return RECT{left, top, right, bottom}; }

}  // namespace

ENGINE_EXPORT MediaEngineHandle Engine_Create(int32_t kind) {
  if (kind != 1 && kind != 2) return nullptr;
  auto* engine = new Engine(kind == 1 ? Engine::Kind::kAudio : Engine::Kind::kVideo);
  Engines().insert(engine);
  return engine;
}

ENGINE_EXPORT void Engine_Destroy(MediaEngineHandle handle) {
  if (Engine* engine = Live(handle)) {
    Engines().erase(engine);
    delete engine;
  }
}

ENGINE_EXPORT void Engine_ReleaseNotify(MediaEngineHandle handle) {
  if (Engine* engine = Live(handle)) engine->ReleaseNotifications();
}

ENGINE_EXPORT int32_t Audio_GetEngineType() { return kAudioEngineType; }

ENGINE_EXPORT int32_t Audio_IsUseVideoPlayer(MediaEngineHandle) { return 0; }

ENGINE_EXPORT int32_t Audio_GetAudioFileDuration(MediaEngineHandle, LPCWSTR path) {
  std::filesystem::path host = media_engine::HostPathOf(path);
  return host.empty() ? -1 : media_engine::FileDurationMs(host);
}

ENGINE_EXPORT int32_t Audio_LoadFile(MediaEngineHandle handle, LPCWSTR path, HWND window, int32_t) {
  Engine* engine = Live(handle);
  return engine ? engine->LoadAudio(path, window) : 0;
}

ENGINE_EXPORT void Audio_UnloadFile(MediaEngineHandle handle) {
  if (Engine* engine = Live(handle)) engine->Unload();
}

ENGINE_EXPORT void Audio_Play(MediaEngineHandle handle, int32_t, int32_t, int32_t, int32_t volume) {
  if (Engine* engine = Live(handle)) engine->Play(volume);
}

ENGINE_EXPORT void Audio_Pause(MediaEngineHandle handle) {
  if (Engine* engine = Live(handle)) engine->Pause();
}

ENGINE_EXPORT void Audio_Stop(MediaEngineHandle handle) {
  if (Engine* engine = Live(handle)) engine->Stop();
}

ENGINE_EXPORT int32_t Audio_GetState(MediaEngineHandle handle) {
  Engine* engine = Live(handle);
  return engine ? engine->state() : engine_state::kIdle;
}

// The first frame fitted into the box (the picture's own size for an empty box); the no-still
// marker -1 for a file that plays but shows no picture (sound only); null when it does not open.
ENGINE_EXPORT DibImage* Video_LoadFirstFrame(MediaEngineHandle, LPCWSTR path, SIZE* box) {
  if (box == nullptr) return nullptr;
  auto input = media_engine::MediaInput::Open(media_engine::HostPathOf(path));
  if (!input) return nullptr;
  auto decoder = media_engine::VideoDecoder::Open(*input);
  if (!decoder) {
    return input->BestStream(AVMEDIA_TYPE_AUDIO) >= 0 ? reinterpret_cast<DibImage*>(static_cast<intptr_t>(-1))
                                                     : nullptr;
  }
  int64_t time = 0;
  media_engine::FramePointer frame = decoder->Next(&time);
  if (!frame) return nullptr;
  SIZE size = media_engine::FitInto(decoder->info().width, decoder->info().height, *box);
  DibImage* image = media_engine::FrameToDib(frame.get(), decoder->info().rotation, size);
  if (image != nullptr) *box = size;
  return image;
}

ENGINE_EXPORT int32_t Video_GetVideoInfo(MediaEngineHandle, LPCWSTR path, int32_t* width, int32_t* height,
                                         int32_t* durationMs, int32_t) {
  if (width == nullptr || height == nullptr) return 0;
  std::filesystem::path host = media_engine::HostPathOf(path);
  auto input = media_engine::MediaInput::Open(host);
  if (!input) return 0;
  auto info = media_engine::ReadVideoInfo(*input);
  if (!info) return 0;
  *width = info->width;
  *height = info->height;
  if (durationMs != nullptr) *durationMs = media_engine::FileDurationMs(host);
  return 1;
}

ENGINE_EXPORT int32_t Video_GetEngineType() { return VideoEngineKind(); }

ENGINE_EXPORT int32_t Video_SetEngine(MediaEngineHandle handle, HWND window, int32_t left, int32_t top,
                                      int32_t right, int32_t bottom) {
  Engine* engine = Live(handle);
  if (engine == nullptr) return 0;
  engine->SetRegion(window, Rect(left, top, right, bottom));
  return 1;
}

ENGINE_EXPORT int32_t Video_LoadFile(MediaEngineHandle handle, LPCWSTR path, int32_t) {
  Engine* engine = Live(handle);
  return engine ? engine->LoadVideo(path) : 0;
}

ENGINE_EXPORT void Video_UnloadFile(MediaEngineHandle handle) {
  if (Engine* engine = Live(handle)) engine->Unload();
}

ENGINE_EXPORT void Video_Play(MediaEngineHandle handle, int32_t volume) {
  if (Engine* engine = Live(handle)) engine->Play(volume);
}

ENGINE_EXPORT void Video_Pause(MediaEngineHandle handle, int32_t) {
  if (Engine* engine = Live(handle)) engine->Pause();
}

ENGINE_EXPORT void Video_Stop(MediaEngineHandle handle) {
  if (Engine* engine = Live(handle)) engine->Stop();
}

ENGINE_EXPORT int32_t Video_GetState(MediaEngineHandle handle) {
  Engine* engine = Live(handle);
  return engine ? engine->state() : engine_state::kIdle;
}

ENGINE_EXPORT DibImage* Video_CaptureCurrentFrame(MediaEngineHandle handle) {
  Engine* engine = Live(handle);
  return engine ? engine->CaptureFrame() : nullptr;
}

ENGINE_EXPORT void Video_ResetRegion(MediaEngineHandle handle, HWND window, int32_t left, int32_t top, int32_t right,
                                     int32_t bottom) {
  if (Engine* engine = Live(handle)) engine->SetRegion(window, Rect(left, top, right, bottom));
}

ENGINE_EXPORT int32_t Video_GetFlag(MediaEngineHandle handle, int32_t flag, int32_t* value) {
  Engine* engine = Live(handle);
  if (engine == nullptr || value == nullptr || flag != engine_config::kFlagFinished) return 0;
  *value = engine->finished() ? 1 : 0;
  return 1;
}

// Key 0 names the thumbnail's owner; the engine keeps nothing per owner, so there is nothing to set.
// Key 1 chooses the kind the library reports; a value that names no kind changes nothing.
ENGINE_EXPORT void Video_SetConfig(MediaEngineHandle handle, int32_t key, intptr_t value) {
  if (Live(handle) == nullptr || key != engine_config::kEngineKind || !IsVideoEngineKind(value)) return;
  VideoEngineKind() = static_cast<int32_t>(value);
}

ENGINE_EXPORT MediaEngineHandle GetRecordEngine(int32_t type) {
  if (type != record_type::kAmr) return nullptr;  // no free encoder for QCELP
  auto* recorder = new Recorder;
  Recorders().insert(recorder);
  return recorder;
}

ENGINE_EXPORT int32_t Record_Start(MediaEngineHandle handle, LPCWSTR path, HWND window, int32_t limit, int32_t type) {
  Recorder* recorder = LiveRecorder(handle);
  if (recorder == nullptr || type != record_type::kAmr) return 0;
  return recorder->Start(path, window, limit) ? 1 : 0;
}

ENGINE_EXPORT void Record_Stop(MediaEngineHandle handle) {
  if (Recorder* recorder = LiveRecorder(handle)) recorder->Stop();
}

ENGINE_EXPORT void DestroyRecordEngine(MediaEngineHandle* holder) {
  if (holder == nullptr) return;
  if (Recorder* recorder = LiveRecorder(*holder)) {
    Recorders().erase(recorder);
    delete recorder;
  }
  *holder = nullptr;
}
