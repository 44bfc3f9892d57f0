// The functions the library exports to its host: start and end the module, and create the read and
// compose forms. Everything else of the module is reached through the form objects they return.
#pragma once

#include "platform/win_types.h"

struct IMessage;
struct IMessageFormHost;
struct IMessageForm;

extern "C" {

// Keeps the module instance on process attach; returns 1 for every reason.
BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

// 1 when the form context could be obtained, else 0.
int MMSForm_Init();
// The result of unloading the transport's engine module.
int MMSForm_Uninit();
// activateArg points to a word that the form writes 0 into on success.
HRESULT MMSForm_CreateReadForm(IMessageFormHost* host, IMessage* message, HWND parentWindow, DWORD* activateArg,
                               IMessageForm** formOut);
// source is the message replied to or forwarded (may be null); messageClass the class the host opened
// the form for.
HRESULT MMSForm_CreateComposeForm(IMessageFormHost* host, IMessage* message, DWORD mode, IMessage* source,
                                  LPVOID dataBlock, HWND parentWindow, LPVOID initArg, IMessageForm** formOut,
                                  LPCWSTR messageClass);
}
