// The module's entry points: start and shut-down, and the two create calls. The debug lines name
// the provider's source as "MMSFormProvider" with the line of the failing site, as hosts' logs
// expect.
#include "forms/form_provider.h"

#include <new>

#include "config/settings.h"
#include "device/wait_cursor.h"
#include "engines/image_decode.h"
#include "engines/image_info.h"
#include "engines/media_shutdown.h"
#include "forms/compose_opening.h"
#include "forms/message_binding.h"
#include "forms/provider_services.h"
#include "forms/read_form.h"
#include "model/drm_handling.h"
#include "model/media_types.h"
#include "platform/kernel/debug_output.h"
#include "platform/window/window_api.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace {

using provider::kSourceName;

constexpr DWORD kDecodeFlags = 0xFFFF0000;
constexpr LONG kMessageStateUnopenable = 6;
constexpr UINT kCannotOpenText = 40720;

CMMSGlobal* g_formContext = nullptr;

// A protected picture decoded for display or measured (modes 1 and 4) starts a fresh DRM context,
// and is read with the plain flags like mode 6: its own flags would ask the codec for rights it
// has not got.
DWORD FlagsForPicture(LPCWSTR file, DWORD flags) {
  const DWORD mode = flags >> 16;
  if ((mode == 1 || mode == 4) && DrmStatus(file, 1, nullptr) != kDrmNotProtected) {
    SetDrmContext(0, nullptr, 0);
    return kDecodeFlags;
  }
  return mode == 6 ? kDecodeFlags : flags;
}

DibImage* DecodePictureHook(LPCWSTR file, const SIZE* size, DWORD flags) {
  if (file == nullptr || size == nullptr) return nullptr;
  SIZE box = *size;
  return DecodeImage(file, &box, 0, FlagsForPicture(file, flags));
}

BOOL PictureSizeHook(LPCWSTR file, int* width, int* height, DWORD flags) {
  if (file == nullptr || width == nullptr || height == nullptr) return FALSE;
  FlagsForPicture(file, flags);
  SIZE size{};
  if (!GetImageInfo(file, &size, nullptr, 0)) return FALSE;
  *width = size.cx;
  *height = size.cy;
  return TRUE;
}

}  // namespace

extern "C" int MMSForm_Init() {
  ULC_Global* global = ULC_Global::GetGlobal();
  global->appTitle = transport::LoadResourceString(40876);
  global->appTitle2 = transport::LoadResourceString(40877);
  g_formContext = GetMMSGlobal();
  if (g_formContext != nullptr) g_formContext->InitFormGlobal();
  global->imageDecodeHook = &DecodePictureHook;
  global->imageSizeHook = &PictureSizeHook;
  global->transientFlag = 0;
  return g_formContext != nullptr ? 1 : 0;
}

extern "C" int MMSForm_Uninit() {
  ULC_Global* global = ULC_Global::GetGlobal();
  // The hooks are this library's code: nothing may call them once the host unloads it.
  global->imageDecodeHook = nullptr;
  global->imageSizeHook = nullptr;
  return ShutDownMediaEngines();
}

extern "C" HRESULT MMSForm_CreateReadForm(IFormHost* host, IMessage* message, HWND parentWindow,
                                          DWORD* activateArg, IMMSForm** formOut) {
  ULC_Global* global = ULC_Global::GetGlobal();
  global->transientFlag = 0;
  WaitCursorHold waitCursor;
  provider::StartClient();
  provider::LoadTitles();
  if (message == nullptr || formOut == nullptr) {
    platform::ReportInvalidParameter(kSourceName, __LINE__);
    return E_INVALIDARG;
  }
  *formOut = nullptr;
  EnableMediaTypes();

  // The binding only reads the message's state; it goes when the call returns.
  MessageBinding binding;
  if (!LoadBinding(binding, message, GetFolderSetting(6).GetString(), kHostVerbRead)) return E_FAIL;
  if (binding.Message().State() == kMessageStateUnopenable) {
    if (g_formContext != nullptr) g_formContext->MessageBoxW(provider::InboxListWindow(), kCannotOpenText, MB_OK);
    provider::PostFormFailed();
    return E_FAIL;
  }

  auto* form = new (std::nothrow) CReadForm(host, message, parentWindow);
  if (form == nullptr) {
    platform::ReportOutOfMemory(kSourceName, __LINE__);
    return E_OUTOFMEMORY;
  }
  HRESULT hr = form->Activate(activateArg);
  if (FAILED(hr)) {
    platform::ReportFailed(hr, kSourceName, __LINE__);
    form->Release();
    return hr;
  }
  hr = form->SetMessage(kHostVerbRead, message);
  if (FAILED(hr)) {
    platform::ReportFailed(hr, kSourceName, __LINE__);
    form->Release();
    return hr;
  }
  *formOut = form;
  if (activateArg != nullptr) *activateArg = 0;
  return S_OK;
}

extern "C" HRESULT MMSForm_CreateComposeForm(IFormHost* host, IMessage* message, DWORD mode, IMessage* source,
                                             void* dataBlock, HWND parentWindow, DWORD initArg, IMMSForm** formOut,
                                             LPCWSTR messageClass) {
  return OpenComposeForm(host, message, mode, source, static_cast<const ComposeDataBlock*>(dataBlock), parentWindow,
                         initArg, formOut, messageClass);
}
