#include "engines/media_shutdown.h"

#include "engines/codec_module.h"
#include "engines/svg_library.h"
#include "transport/mms_global.h"

int ShutDownMediaEngines() {
  ReleaseCodecs();
  ULC_Global* global = ULC_Global::GetGlobal();
  global->UninitAudioInstance();
  global->UninitAudioNotifyInstance();
  global->UninitVideoInstance();
  DestroySvgContext();
  return global->UnloadEngineModule();
}
