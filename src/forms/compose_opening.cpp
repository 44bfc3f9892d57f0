#include "forms/compose_opening.h"

#include <memory>
#include <new>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/ipc_flag.h"
#include "device/storage_check.h"
#include "device/wait_cursor.h"
#include "forms/attachment_import.h"
#include "forms/compose_form.h"
#include "forms/compose_preparation.h"
#include "forms/content_check.h"
#include "forms/forward_lock_check.h"
#include "forms/message_binding.h"
#include "forms/provider_services.h"
#include "forms/send_option_string.h"
#include "forms/store_properties.h"
#include "model/media_types.h"
#include "platform/kernel/debug_output.h"
#include "platform/kernel/file_api.h"
#include "platform/window/window_api.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"

namespace {

using provider::kSourceName;

constexpr UINT kReportsCannotBeAnswered = 40370;
constexpr UINT kNotDownloaded = 40336;
constexpr UINT kDownloadFirst = 40337;
constexpr UINT kHoldsProtectedObjects = 40339;
constexpr UINT kForwardWithoutDownload = 40730;
constexpr UINT kItemNotSupported = 40479;
constexpr LONG kHideCreationDetail = 8;

// Everything the opening learns on its way, in the order the steps fill it.
struct Opening {
  ComposeWords words;
  int mode = compose_mode::kNew;
  CString messageClass;
  CString mmsClass;
  CString voiceMailClass;
  CString flixClass;
  int importStatus = import_status::kNothing;
  std::unique_ptr<MessageBinding> binding;
  std::unique_ptr<MessageBinding> source;
  LONG messageState = message_state::kRetrieved;
  LONG creationMode = -1;
  BOOL creationFlag = 1;
  bool lockedObjectsRemoved = false;
  bool abort = false;
};

int Show(HWND owner, UINT textId, UINT style = MB_OK) {
  CMMSGlobal* global = GetMMSGlobal();
  return global != nullptr ? global->MessageBoxW(owner, textId, style) : IDNO;
}

// A message of the opening that ends it: shown, and the form will close at once.
void Refuse(Opening& opening, HWND owner, UINT textId) {
  Show(owner, textId);
  opening.abort = true;
}

void TellEarlierComposers() {
  if (HWND picker = ::FindWindowW(u"Dialog", u"MediaPicker")) ::SendMessageW(picker, WM_COMPOSER_REPLACED, 0, 0);
  if (HWND frame = ::FindWindowW(kComposerFrameClass, kComposerFrameTitle)) {
    ::SendMessageW(frame, WM_COMPOSER_REPLACED, 0, 0);
  }
}

void ReadClasses(Opening& opening) {
  opening.mmsClass = GetConfigString(string_setting::kMMSClassName);
  opening.voiceMailClass = GetConfigString(string_setting::kVoiceMailClassName);
  opening.flixClass = GetConfigString(string_setting::kFlixClassName);
  // A notification's class names the same kind of message.
  if (opening.messageClass == opening.mmsClass + u".NT") opening.messageClass = opening.mmsClass;
}

bool LoadBindings(Opening& opening, IMessage* message, IMessage* source) {
  opening.binding.reset(new (std::nothrow) MessageBinding);
  if (!opening.binding || !LoadBinding(*opening.binding, message, nullptr, static_cast<DWORD>(opening.mode))) {
    return false;
  }
  if (source == nullptr) return true;
  opening.source.reset(new (std::nothrow) MessageBinding);
  return opening.source && LoadBinding(*opening.source, source, nullptr, kHostVerbRead);
}

// A host message whose attachment cannot go into a new message starts an empty one, or none.
void CheckImportStatus(Opening& opening) {
  const int status = opening.importStatus;
  if ((opening.mode != compose_mode::kNew && opening.mode != compose_mode::kReopen) || status < 1 || status > 6) return;
  opening.mode = compose_mode::kNew;
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  HWND owner = ::GetForegroundWindow();
  opening.abort = true;
  switch (status) {
    case import_status::kNotAllowed:
      Show(owner, 40479);
      return;
    case import_status::kProtected:
      Show(owner, 40377);
      return;
    case import_status::kNoMms:
      Show(owner, 40629);
      return;
    case import_status::kNoFlix:
      Show(owner, 40628);
      return;
    default:
      break;
  }
  const bool tooLarge = status == import_status::kTooLarge;
  switch (GetConfigValue(numeric_setting::kDefaultCreationMode)) {
    case 1:
      opening.abort = Show(owner, tooLarge ? 40948 : 40947, MB_YESNO) != IDYES;
      return;
    case 0:
      if (tooLarge) {
        Show(owner, 40907);
      } else {
        Show(owner, (GetConfigValue(numeric_setting::kHideDlgControl) & kHideCreationDetail) != 0 ? 40906 : 40905);
      }
      return;
    default:
      return;
  }
}

void CheckVoiceMail(Opening& opening) {
  if (opening.messageClass == opening.voiceMailClass && GetConfigValue(numeric_setting::kVoiceMailClassPresent) != 0 &&
      opening.mode == compose_mode::kNew && opening.words.Has(data_word::kMarker) &&
      GetConfigValue(numeric_setting::kIsVoiceMailSupportText) == 0) {
    Refuse(opening, ::GetForegroundWindow(), kItemNotSupported);
  }
}

void CheckSourceState(Opening& opening) {
  if (!opening.source) return;
  opening.messageState = opening.source->Message().State();
  if (opening.messageState == message_state::kDeliveryReport || opening.messageState == message_state::kReadReport) {
    Refuse(opening, provider::InboxListWindow(), kReportsCannotBeAnswered);
    provider::PostFormFailed();
  }
}

// The client application's requests through the hand-shake value: a reply menu's choice in the
// Bcc word, or a send-option string in the To word for a message it wants forwarded.
void ApplyClientRequest(Opening& opening) {
  ClearIpcFlag();
  if (opening.words.Has(data_word::kBcc)) {
    const CString request = opening.words.Text(data_word::kBcc);
    if (request == kMenuReply) opening.mode = compose_mode::kReply;
    if (request == kMenuReplyAll) opening.mode = compose_mode::kReplyAll;
    opening.words.Drop(data_word::kBcc);
  } else {
    bool removed = false;
    if (!ApplySendOptionString(*opening.binding, opening.words.Text(data_word::kTo).View(), &removed)) {
      opening.abort = true;
    } else {
      opening.lockedObjectsRemoved = removed;
      if (!CheckMessage(opening.binding->Model(), ::GetForegroundWindow(), false, MessageOperation::kOpening)) {
        opening.abort = true;
      }
      opening.mode = compose_mode::kForward;
    }
  }
  opening.words.Drop(data_word::kTo);
}

// A forward takes the source's body into the new message's data file.
void TakeForwardedBody(Opening& opening) {
  if (!opening.source) {
    opening.abort = true;
    return;
  }
  const CString dataFile = opening.binding->DataFile();
  CopyFileW(opening.source->DataFile(), dataFile, TRUE);
  opening.binding->SetSizeFromFile(0);
  bool removed = false;
  if (!CheckForwardLock(*opening.binding, &removed)) {
    opening.binding->DropModel();
    DeleteFileW(dataFile);
    opening.abort = true;
  }
  opening.lockedObjectsRemoved = removed;
}

// Forwarding or reopening: the body must be there (or may be sent on without it) and pass the
// creation mode's check; a reopened message may not hold protected objects.
void CheckStoredBody(Opening& opening) {
  const bool reopen = opening.mode == compose_mode::kReopen;
  opening.messageState = opening.source ? opening.source->Message().State() : opening.binding->Message().State();
  const LONG state = opening.messageState;
  bool bodyAbsent = state == message_state::kNotification;
  if (!bodyAbsent) {
    if (opening.mode == compose_mode::kForward) TakeForwardedBody(opening);
    if (opening.abort) return;
    if (!CheckMessage(opening.binding->Model(), ::GetForegroundWindow(), false, MessageOperation::kOpening)) {
      opening.abort = true;
      return;
    }
    bodyAbsent = state == message_state::kTransport6;
  }
  if (bodyAbsent) {
    HWND owner = ::GetForegroundWindow();
    if (GetConfigValue(numeric_setting::kEnableForwardWithoutDownload) == 0) {
      Refuse(opening, owner, reopen ? kDownloadFirst : kNotDownloaded);
    } else if (!reopen) {
      opening.abort = Show(owner, kForwardWithoutDownload, MB_YESNO) != IDYES;
    } else if (state == message_state::kNotification) {
      Refuse(opening, owner, kDownloadFirst);
    }
  }
  if (!opening.abort && reopen && opening.binding->HasLockedObjects()) {
    Refuse(opening, ::GetForegroundWindow(), kHoldsProtectedObjects);
  }
}

void CheckRequest(Opening& opening, int hostMode) {
  opening.creationMode = CreationModeOf(opening.words);
  if (opening.creationMode != -1) {
    opening.creationFlag = 0;
    opening.words.Drop(data_word::kBcc);
    opening.words.Drop(data_word::kMarker);
    return;
  }
  if (opening.mode == compose_mode::kNew && opening.words.present && GetIpcFlag() != -1) {
    if (!opening.abort) {
      ApplyClientRequest(opening);
      return;
    }
    // The form closes anyway: the hand-shake is used up all the same, so that the next compose
    // form does not take its words for the client's request.
    ClearIpcFlag();
    opening.words.Drop(data_word::kTo);
    opening.words.Drop(data_word::kBcc);
  } else if (!opening.abort && (hostMode == compose_mode::kForward || hostMode == compose_mode::kReopen)) {
    // Once the form is to close, no further question is asked of the user.
    if (opening.mode == hostMode) CheckStoredBody(opening);
  }
}

HRESULT MakeForm(Opening& opening, IFormHost* host, HWND parentWindow, DWORD initArg, CComposeForm** form) {
  *form = new (std::nothrow) CComposeForm(host);
  if (*form == nullptr) {
    platform::ReportOutOfMemory(kSourceName, __LINE__);
    return E_OUTOFMEMORY;
  }
  HRESULT hr = (*form)->Init(parentWindow, initArg, opening.words, opening.messageState, opening.creationFlag,
                             opening.creationMode, opening.messageClass.GetString(),
                             opening.lockedObjectsRemoved ? TRUE : FALSE);
  if (FAILED(hr)) {
    platform::ReportFailed(hr, kSourceName, __LINE__);
    return hr;
  }
  hr = (*form)->Attach(static_cast<DWORD>(opening.mode), std::move(opening.binding));
  if (FAILED(hr)) platform::ReportFailed(hr, kSourceName, __LINE__);
  return hr;
}

}  // namespace

HRESULT OpenComposeForm(IFormHost* host, IMessage* message, DWORD mode, IMessage* source,
                        const ComposeDataBlock* dataBlock, HWND parentWindow, DWORD initArg, IMMSForm** formOut,
                        LPCWSTR messageClass) {
  Opening opening;
  opening.words = ComposeWords::CopyOf(dataBlock);
  opening.mode = static_cast<int>(mode & 0xFFFF);
  opening.messageClass = CString(messageClass != nullptr ? messageClass : u"");
  HRESULT result = E_FAIL;
  CheckStorage();
  ReadClasses(opening);
  {
    WaitCursorHold waitCursor;
    provider::StartClient();
    provider::LoadTitles();
  }
  TellEarlierComposers();
  CComposeForm* form = nullptr;
  if (message == nullptr || formOut == nullptr) {
    platform::ReportInvalidParameter(kSourceName, __LINE__);
    result = E_INVALIDARG;
  } else {
    *formOut = nullptr;
    CMMSGlobal* context = GetMMSGlobal();
    context->composeAbort = 0;
    context->composeAbortForm = nullptr;
    EnableMediaTypes();
    ULC_Global* global = ULC_Global::GetGlobal();
    global->flixFlag = GetConfigValue(numeric_setting::kIsSupportCDMA) != 0 ? opening.messageClass != opening.mmsClass : 1;
    global->mmsFlag = opening.messageClass != opening.flixClass;
    global->importedFile.Empty();
    opening.importStatus = ImportAttachment(message, parentWindow, u"\\temp\\", opening.messageClass.GetString(),
                                            global->mmsFlag, global->flixFlag);
    if (LoadBindings(opening, message, source)) {
      const int hostMode = opening.mode;
      CheckImportStatus(opening);
      CheckVoiceMail(opening);
      CheckSourceState(opening);
      CheckRequest(opening, hostMode);
      ApplyDataBlockRecipients(opening.binding->Message(), opening.words);
      PrepareNewMessage(opening.mode, *opening.binding, opening.source.get(),
                        opening.importStatus == import_status::kImported);
      const bool abort = opening.abort;
      // Known to the frame while it loads the message: a form that closes at once asks nothing more.
      context->composeAbort = abort ? 1 : 0;
      result = MakeForm(opening, host, parentWindow, initArg, &form);
      if (SUCCEEDED(result)) {
        *formOut = form;
        context->composeAbort = abort ? 1 : 0;
        context->composeAbortForm = abort ? static_cast<IMMSForm*>(form) : nullptr;
        if (abort && parentWindow != nullptr) ::PostMessageW(parentWindow, WM_COMMAND, 1, 0);
      } else {
        context->composeAbort = 0;
      }
    }
  }
  ::SetCursor(nullptr);
  if (FAILED(result)) {
    if (form != nullptr) {
      form->Close();
      form->Release();
    }
    if (formOut != nullptr) *formOut = nullptr;
    provider::PostFormFailed();
  }
  return result;
}
