// mmsform media: sounds and videos through the engine adapter as the forms drive it: what the
// engine reads from a file, a video's first frame, headless playback on the virtual clock into the
// null sink (whose WAV can be kept), and recording (from a WAV file given as the microphone, or the
// capture device).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "cmd_window_options.h"
#include "command.h"
#include "live_commands.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device_file.h"
#include "engines/dib_image.h"
#include "engines/image_encode.h"
#include "engines/media_engine_adapter.h"
#include "engines/picture_type.h"
#include "engines/qcp_format.h"
#include "json_writer.h"
#include "type_text.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/file_api.h"
#include "platform/front_end/front_end.h"
#include "platform/window/window_system.h"
#include "platform/registry/registry.h"
#include "platform/window/window_api.h"

namespace mmsform_tool {
namespace {

constexpr int kUsageError = 2;

void PrintError(const char* file, const char* error) {
  JsonWriter json;
  json.BeginObject().Key("file").String(file).Key("error").String(error).EndObject();
  std::printf("%s\n", json.Text().c_str());
}

bool Exists(const char* file) {
  std::error_code error;
  return std::filesystem::is_regular_file(file, error);
}

// One line of JSON for a file; false when the engine cannot read it.
bool InfoOf(const char* file) {
  if (!Exists(file)) {
    PrintError(file, "no such file");
    return false;
  }
  DeviceInput input(file);
  MediaType type = PlayableAudioType(input.path(), TypeOfFile(input.path(), false));
  DWORD kind = media_type::KindOf(type);
  ULC_Global* global = ULC_Global::GetGlobal();
  ULC_AudioEngine* audio = global->InitAudioInstance();
  if (audio == nullptr) {
    PrintError(file, "no media engine");
    return false;
  }
  int32_t duration = Audio_GetAudioFileDuration(audio, input.path());
  int32_t width = 0, height = 0;
  bool picture = kind == media_type::kVideo &&
                 Video_GetVideoInfo(global->InitVideoInstance(), input.path(), &width, &height, nullptr, 0) != 0;
  if (duration <= 0 && !picture) {
    // The length may be unknown for a sound that still plays; one that does not load is unreadable.
    bool loads = kind != media_type::kVideo && Audio_LoadFile(audio, input.path(), nullptr, 0) > 0;
    Audio_UnloadFile(audio);
    if (!loads) {
      PrintError(file, "cannot read the media");
      return false;
    }
  }
  JsonWriter json;
  json.BeginObject().Key("file").String(file).Key("type").String(Hex(type)).Key("duration_ms").Int(duration);
  if (picture) json.Key("width").Int(width).Key("height").Int(height);
  json.EndObject();
  std::printf("%s\n", json.Text().c_str());
  return true;
}

int Info(std::span<char* const> files) {
  int status = 0;
  for (char* file : files) {
    if (!InfoOf(file)) status = 1;
  }
  ULC_Global::GetGlobal()->UnloadEngineModule();
  return status;
}

int Frame(std::span<char* const> args) {
  SIZE box{0, 0};
  if (args.size() == 5 && std::string(args[2]) == "--fit") {
    box = SIZE{std::atoi(args[3]), std::atoi(args[4])};
    if (box.cx < 1 || box.cy < 1) return kUsageError;
  } else if (args.size() != 2) {
    return kUsageError;
  }
  DeviceInput input(args[0]);
  DeviceOutput output(args[1], u"media-frame-out");
  if (ResolvePictureType(output.path(), media_type::kNone) != picture_type::kPng) return kUsageError;
  ULC_VideoEngine* engine = ULC_Global::GetGlobal()->InitVideoInstance();
  std::unique_ptr<DibImage, DibImageDeleter> image(engine ? Video_LoadFirstFrame(engine, input.path(), &box) : nullptr);
  if (image.get() == reinterpret_cast<DibImage*>(static_cast<intptr_t>(-1))) {
    image.reset();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    std::fprintf(stderr, "mmsform: %s has no picture\n", args[0]);
    return 1;
  }
  bool written = image && EncodeImage(image.get(), output.path(), picture_type::kPng, 90, nullptr, 0) &&
                 output.MoveTo(args[1]);
  image.reset();
  ULC_Global::GetGlobal()->UnloadEngineModule();
  if (!written) {
    std::fprintf(stderr, "mmsform: cannot read a frame of %s\n", args[0]);
    return 1;
  }
  return 0;
}

// Sets or clears a value of HKLM "\Platform\Audio".
void SetAudioSetting(const char16_t* name, const std::u16string& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Audio", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (value.empty()) {
    RegDeleteValueW(key, name);
  } else {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
  }
  RegCloseKey(key);
}

// What the playback window heard from the engine.
struct PlayLog {
  int progress = 0;
  bool ended = false;
  int stateAtEnd = -1;
  DWORD endTick = 0;
  DWORD startTick = 0;
  // The live window closes at the end; headless runs stop the clock themselves.
  bool quitAtEnd = false;
};
PlayLog g_playLog;
ULC_AudioEngine* g_playAudio = nullptr;
ULC_VideoEngine* g_playVideo = nullptr;

// Posted to the playback window to start playing once the live window's loop runs.
constexpr UINT kStartPlaying = WM_APP + 1;

void PrintPlayState(const char* state, int64_t positionMs) {
  JsonWriter json;
  json.BeginObject().Key("media").String(state);
  if (positionMs >= 0) json.Key("position_ms").Int(positionMs);
  json.EndObject();
  std::printf("%s\n", json.Text().c_str());
  std::fflush(stdout);
}

void BeginPlaying() {
  g_playLog.startTick = GetTickCount();
  if (g_playVideo) Video_Play(g_playVideo, 100);
  if (g_playAudio) Audio_Play(g_playAudio, 0, -1, 1, 100);
}

LRESULT PlayWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  bool audioEnd = message == engine_message::kAudioProgress && static_cast<int32_t>(wParam) == -1 && g_playAudio;
  bool videoEnd = message == engine_message::kVideoEnd && g_playVideo;
  if (audioEnd || videoEnd) {
    g_playLog.ended = true;
    g_playLog.endTick = GetTickCount();
    g_playLog.stateAtEnd = audioEnd ? Audio_GetState(g_playAudio) : Video_GetState(g_playVideo);
    if (g_playLog.quitAtEnd) PostQuitMessage(0);
    return 0;
  }
  if (message == engine_message::kAudioProgress || message == engine_message::kVideoProgress) {
    ++g_playLog.progress;
    return 0;
  }
  if (message == kStartPlaying) {
    BeginPlaying();
    PrintPlayState("playing", 0);
    return 0;
  }
  // A video's pause and resume, with the position they hold at.
  if (message == engine_message::kVideoState && g_playLog.quitAtEnd) {
    if (wParam == static_cast<WPARAM>(engine_state::kPaused)) PrintPlayState("paused", lParam);
    if (wParam == static_cast<WPARAM>(engine_state::kPlaying) && lParam > 0) PrintPlayState("resumed", lParam);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreatePlayWindow() {
  WNDCLASSW info{};
  info.lpfnWndProc = PlayWindowProc;
  info.lpszClassName = u"MmsformMediaPlay";
  RegisterClassW(&info);
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  return CreateWindowExW(0, u"MmsformMediaPlay", u"media", WS_VISIBLE | WS_POPUP, 0, 0, width, height, nullptr,
                         nullptr, nullptr, nullptr);
}

// Loads a sound or a video into the engine of its kind, a video drawn over the whole window; the
// length in ms, or 0 when it does not play.
int32_t LoadForPlaying(HWND window, LPCWSTR path, MediaType type) {
  ULC_Global* global = ULC_Global::GetGlobal();
  int32_t duration = 0;
  if (media_type::KindOf(type) == media_type::kVideo) {
    g_playVideo = global->InitVideoInstance();
    RECT client{};
    GetClientRect(window, &client);
    Video_SetEngine(g_playVideo, window, client.left, client.top, client.right, client.bottom);
    if (Video_LoadFile(g_playVideo, path, 0) > 0) {
      int32_t width = 0, height = 0;
      Video_GetVideoInfo(g_playVideo, path, &width, &height, &duration, 0);
    }
  } else if (media_type::KindOf(type) == media_type::kAudio) {
    g_playAudio = global->InitAudioInstance();
    duration = Audio_LoadFile(g_playAudio, path, window, 0);
  }
  return duration;
}

// Pauses a playing sound or video, or resumes a paused one.
void TogglePause() {
  if (g_playVideo) {
    int32_t state = Video_GetState(g_playVideo);
    if (state == engine_state::kPlaying) Video_Pause(g_playVideo, 0);
    if (state == engine_state::kPaused) Video_Play(g_playVideo, 100);
  } else if (g_playAudio) {
    int32_t state = Audio_GetState(g_playAudio);
    if (state == engine_state::kPlaying) Audio_Pause(g_playAudio);
    if (state == engine_state::kPaused) Audio_Play(g_playAudio, 0, -1, 1, 100);
  }
}

// Unloads the media, closes the window and the engine, and prints what was played.
void FinishPlaying(HWND window, const char* file, MediaType type, int32_t duration) {
  int32_t finalState = g_playAudio ? Audio_GetState(g_playAudio) : Video_GetState(g_playVideo);
  if (g_playAudio) Audio_UnloadFile(g_playAudio);
  if (g_playVideo) Video_UnloadFile(g_playVideo);
  DestroyWindow(window);
  ULC_Global::GetGlobal()->UnloadEngineModule();
  JsonWriter json;
  json.BeginObject().Key("file").String(file).Key("type").String(Hex(type)).Key("duration_ms").Int(duration);
  json.Key("played_ms").Int(g_playLog.ended ? static_cast<int64_t>(g_playLog.endTick - g_playLog.startTick) : -1);
  json.Key("progress_notices").Int(g_playLog.progress).Key("state_at_end").Int(g_playLog.stateAtEnd);
  json.Key("state_after").Int(finalState).EndObject();
  std::printf("%s\n", json.Text().c_str());
}

int Play(std::span<char* const> args) {
  std::filesystem::path wav, png;
  bool realClock = false;
  int64_t pictureAt = -1;
  for (size_t i = 1; i < args.size(); ++i) {
    std::string option = args[i];
    if (option == "--wav" && i + 1 < args.size()) {
      wav = args[++i];
    } else if (option == "--real-clock") {
      realClock = true;
    } else if (option == "--png-at" && i + 2 < args.size()) {
      pictureAt = std::atoi(args[++i]);
      png = args[++i];
      if (pictureAt < 0) return kUsageError;
    } else {
      return kUsageError;
    }
  }
  if (args.empty() || (realClock && pictureAt >= 0)) return kUsageError;
  if (!Exists(args[0])) {
    PrintError(args[0], "no such file");
    return 1;
  }
  // Headless runs go on the virtual clock; --real-clock plays in real time (into SDL2 audio when the
  // host has a device, else the null sink paced by the real clock).
  platform::UseVirtualClock(!realClock);
  const std::u16string played = u"\\Temp\\media-played.wav";
  SetAudioSetting(u"PlayedFile", played);
  DeviceInput input(args[0]);
  MediaType type = TypeOfFile(input.path(), false);
  HWND window = CreatePlayWindow();
  int32_t duration = LoadForPlaying(window, input.path(), type);
  if (duration <= 0) {
    SetAudioSetting(u"PlayedFile", u"");
    DestroyWindow(window);
    ULC_Global::GetGlobal()->UnloadEngineModule();
    PrintError(args[0], "cannot play the media");
    return 1;
  }
  BeginPlaying();
  // Runs the clock on until the end notice, with a bound in case no notice ever comes; a picture
  // asked for is taken of the playback paused at that moment of the clock.
  bool pictured = pictureAt < 0;
  std::string pictureError;
  for (int step = 0; !g_playLog.ended && step < duration / 10 + 100; ++step) {
    int64_t elapsed = static_cast<int64_t>(GetTickCount() - g_playLog.startTick);
    if (!pictured && elapsed >= pictureAt) {
      TogglePause();
      pictured = platform::automation::Screenshot(png, &pictureError);
      if (!pictured) break;
      TogglePause();
    }
    platform::automation::AdvanceClock(pictured ? 10 : static_cast<DWORD>(std::clamp<int64_t>(pictureAt - elapsed, 1, 10)));
  }
  SetAudioSetting(u"PlayedFile", u"");
  FinishPlaying(window, args[0], type, duration);
  if (!pictured) {
    std::fprintf(stderr, "mmsform: no picture at %lld ms: %s\n", static_cast<long long>(pictureAt),
                 pictureError.empty() ? "the media ended before" : pictureError.c_str());
    return 1;
  }
  auto host = platform::HostPath(played);
  if (!wav.empty() && host) {
    std::error_code error;
    std::filesystem::copy_file(*host, wav, std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
      std::fprintf(stderr, "mmsform: no sound was written to %s\n", wav.c_str());
      return 1;
    }
  }
  if (host) DeleteFileW(played.c_str());
  return g_playLog.ended ? 0 : 1;
}

// What the recording window heard from the record engine.
bool g_limitReached = false;
int g_recordProgress = 0;

LRESULT RecordWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == engine_message::kRecordLimit) {
    g_limitReached = true;
    return 0;
  }
  if (message == engine_message::kRecordProgress) {
    ++g_recordProgress;
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Records for the given seconds of the clock: headless from a WAV file given as the microphone, on
// the virtual clock; otherwise from the capture device in real time.
int Record(std::span<char* const> args) {
  if (args.size() < 3 || std::string(args[1]) != "--seconds") return kUsageError;
  int seconds = std::atoi(args[2]);
  std::filesystem::path from;
  int32_t limit = 300 * 1024;
  for (size_t i = 3; i + 1 < args.size(); i += 2) {
    std::string option = args[i];
    if (option == "--from") {
      from = args[i + 1];
    } else if (option == "--limit") {
      limit = std::atoi(args[i + 1]);
    } else {
      return kUsageError;
    }
  }
  if (seconds < 1 || seconds > 3600 || (args.size() - 3) % 2 != 0) return kUsageError;
  std::unique_ptr<DeviceInput> microphone;
  if (!from.empty()) {
    if (!Exists(from.c_str())) {
      PrintError(from.c_str(), "no such file");
      return 1;
    }
    platform::UseVirtualClock(true);
    microphone = std::make_unique<DeviceInput>(from);
    SetAudioSetting(u"Microphone", microphone->path());
  }
  DeviceOutput output(args[0], u"media-record");
  WNDCLASSW info{};
  info.lpfnWndProc = RecordWindowProc;
  info.lpszClassName = u"MmsformMediaRecord";
  RegisterClassW(&info);
  HWND window = CreateWindowExW(0, u"MmsformMediaRecord", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  RecordEngineHolder holder;
  int32_t type = GetConfigValue(numeric_setting::kRecordType);
  bool started = StartRecording(&holder, output.path(), window, limit, type) != FALSE;
  DWORD start = GetTickCount();
  for (int step = 0; started && !g_limitReached && step < seconds * 100; ++step) {
    platform::automation::AdvanceClock(10);
  }
  DWORD recorded = GetTickCount() - start;
  StopRecording(&holder);
  DestroyRecording(&holder);
  DestroyWindow(window);
  SetAudioSetting(u"Microphone", u"");
  if (!started) {
    ULC_Global::GetGlobal()->UnloadEngineModule();
    PrintError(args[0], type == 1 ? "recording did not start (no microphone?)" : "no encoder for this record type");
    return 1;
  }
  ULC_AudioEngine* audio = ULC_Global::GetGlobal()->InitAudioInstance();
  int32_t duration = audio ? Audio_GetAudioFileDuration(audio, output.path()) : -1;
  ULC_Global::GetGlobal()->UnloadEngineModule();
  bool moved = output.MoveTo(args[0]);
  std::error_code error;
  JsonWriter json;
  json.BeginObject().Key("file").String(args[0]).Key("record_type").Int(type).Key("recorded_ms").Int(recorded);
  json.Key("duration_ms").Int(duration).Key("bytes").Int(static_cast<int64_t>(std::filesystem::file_size(args[0], error)));
  json.Key("limit_reached").Bool(g_limitReached).Key("progress_notices").Int(g_recordProgress).EndObject();
  std::printf("%s\n", json.Text().c_str());
  return moved && duration > 0 ? 0 : 1;
}

int RunMedia(std::span<char* const> args) {
  std::string verb = args.empty() ? "" : args[0];
  if (verb == "info" && args.size() >= 2) return Info(args.subspan(1));
  if (verb == "frame") {
    if (int status = Frame(args.subspan(1)); status != kUsageError) return status;
  }
  if (verb == "play" && args.size() >= 2) {
    if (int status = Play(args.subspan(1)); status != kUsageError) return status;
  }
  if (verb == "record" && args.size() >= 2) {
    if (int status = Record(args.subspan(1)); status != kUsageError) return status;
  }
  std::fprintf(stderr,
               "usage: mmsform media info FILE...\n"
               "       mmsform media frame FILE OUT.png [--fit W H]\n"
               "       mmsform media play FILE [--wav OUT.wav] [--real-clock | --png-at MS OUT.png]\n"
               "       mmsform media record OUT.amr --seconds N [--from IN.wav] [--limit BYTES]\n");
  return kUsageError;
}

}  // namespace

// mmsform window media FILE [--screen WxH@DPI]: the same playback as `media play --real-clock`, in
// the live window: the video is seen and the sound heard; Space pauses and resumes, Escape stops.
// The window closes at the end.
int RunLiveMedia(std::span<char* const> args) {
  WindowDemoOptions options;
  std::string error;
  if (args.empty() || args[0][0] == '-' || !ParseWindowDemoOptions(args.subspan(1), &options, &error) ||
      !options.png.empty()) {
    std::fprintf(stderr, "usage: mmsform window media FILE [--screen WxH@DPI]\n");
    return kUsageError;
  }
  if (!ApplyScreenOption(options)) {
    std::fprintf(stderr, "window: unsupported screen '%s'\n", options.screen.c_str());
    return kUsageError;
  }
  if (!Exists(args[0])) {
    PrintError(args[0], "no such file");
    return 1;
  }
  platform::UseVirtualClock(false);
  DeviceInput input(args[0]);
  MediaType type = TypeOfFile(input.path(), false);
  HWND window = CreatePlayWindow();
  int32_t duration = LoadForPlaying(window, input.path(), type);
  if (duration <= 0) {
    DestroyWindow(window);
    ULC_Global::GetGlobal()->UnloadEngineModule();
    PrintError(args[0], "cannot play the media");
    return 1;
  }
  g_playLog.quitAtEnd = true;
  PostMessageW(window, kStartPlaying, 0, 0);
  platform::front_end::SetKeyFilter([](UINT message, UINT virtualKey) {
    if (virtualKey != VK_SPACE && virtualKey != VK_ESCAPE) return false;
    if (message == WM_KEYDOWN && virtualKey == VK_SPACE) TogglePause();
    if (message == WM_KEYDOWN && virtualKey == VK_ESCAPE) PostQuitMessage(0);
    return true;
  });
  int status = platform::front_end::RunLiveWindow("MMSForm media", &error);
  platform::front_end::SetKeyFilter(nullptr);
  FinishPlaying(window, args[0], type, duration);
  platform::window::ResetWindowSystem();
  if (status < 0) {
    std::fprintf(stderr, "window: %s\n", error.c_str());
    return 1;
  }
  return status;
}

namespace {

const Command kMediaCommand("media", "media info|frame|play|record ...   sounds and videos through the engine", RunMedia);

}  // namespace
}  // namespace mmsform_tool
