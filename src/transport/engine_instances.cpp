// The media engine library and the two engines the transport shares with every view of the
// process. The library makes an engine with "Engine_Create" (1 audio, 2 video) and releases it with
// "Engine_Destroy"; "Engine_ReleaseNotify" detaches an engine from the windows it notifies.
#include "platform/kernel/module_api.h"
#include "transport/mms_global.h"

namespace {

using EngineCreateFn = void* (*)(int kind);
using EngineHandleFn = void (*)(void* engine);

template <typename Function>
Function Resolve(HMODULE module, LPCWSTR name) {
  return module == nullptr ? nullptr : reinterpret_cast<Function>(GetProcAddressW(module, name));
}

void* CreateEngine(HMODULE module, int kind) {
  auto create = Resolve<EngineCreateFn>(module, u"Engine_Create");
  return create == nullptr ? nullptr : create(kind);
}

void CallWithHandle(HMODULE module, LPCWSTR name, void* handle) {
  if (handle == nullptr) return;
  if (auto function = Resolve<EngineHandleFn>(module, name)) function(handle);
}

}  // namespace

HMODULE ULC_Global::GetEngineDll() {
  if (engineModule == nullptr) engineModule = LoadLibraryW(u"MediaEngine.dll");
  return engineModule;
}

ULC_AudioEngine* ULC_Global::InitAudioInstance() {
  if (audioEngine) return audioEngine.get();
  void* handle = CreateEngine(GetEngineDll(), 1);
  if (handle == nullptr) return nullptr;
  audioEngine = std::make_unique<ULC_AudioEngine>(ULC_AudioEngine{handle});
  return audioEngine.get();
}

ULC_VideoEngine* ULC_Global::InitVideoInstance() {
  if (videoEngine) return videoEngine.get();
  void* handle = CreateEngine(GetEngineDll(), 2);
  if (handle == nullptr) return nullptr;
  videoEngine = std::make_unique<ULC_VideoEngine>(ULC_VideoEngine{handle});
  return videoEngine.get();
}

// The engine stops and forgets its file here; its notification link goes in the next step, so
// that nothing notifies a window between the two.
void ULC_Global::UninitAudioInstance() {
  if (!audioEngine) return;
  if (auto unload = Resolve<EngineHandleFn>(engineModule, u"Audio_UnloadFile")) unload(audioEngine->handle);
  audioNotifyHandle = audioEngine->handle;
  audioEngine.reset();
}

void ULC_Global::UninitAudioNotifyInstance() {
  CallWithHandle(engineModule, u"Engine_ReleaseNotify", audioNotifyHandle);
  CallWithHandle(engineModule, u"Engine_Destroy", audioNotifyHandle);
  audioNotifyHandle = nullptr;
}

void ULC_Global::UninitVideoInstance() {
  if (!videoEngine) return;
  CallWithHandle(engineModule, u"Engine_ReleaseNotify", videoEngine->handle);
  CallWithHandle(engineModule, u"Engine_Destroy", videoEngine->handle);
  videoEngine.reset();
}

BOOL ULC_Global::UnloadEngineModule() {
  // Engines still held are released first: the library's code goes with the module.
  UninitAudioInstance();
  UninitAudioNotifyInstance();
  UninitVideoInstance();
  BOOL freed = engineModule == nullptr ? TRUE : FreeLibrary(engineModule);
  engineModule = nullptr;
  return freed;
}
