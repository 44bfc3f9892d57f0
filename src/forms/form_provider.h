// The module's exports, with C linkage so that a host finds them by name in the loaded library.
#pragma once

#include "forms/form_interface.h"

extern "C" {
__attribute__((visibility("default"))) int MMSForm_Init();
__attribute__((visibility("default"))) int MMSForm_Uninit();
__attribute__((visibility("default"))) HRESULT MMSForm_CreateReadForm(IFormHost* host, IMessage* message,
                                                                     HWND parentWindow, DWORD* activateArg,
                                                                     IMMSForm** formOut);
__attribute__((visibility("default"))) HRESULT MMSForm_CreateComposeForm(IFormHost* host, IMessage* message,
                                                                        DWORD mode, IMessage* source,
                                                                        void* dataBlock, HWND parentWindow,
                                                                        DWORD initArg, IMMSForm** formOut,
                                                                        LPCWSTR messageClass);
}

// How a host declares them after GetProcAddressW.
using MMSForm_InitFn = int (*)();
using MMSForm_UninitFn = int (*)();
using MMSForm_CreateReadFormFn = HRESULT (*)(IFormHost*, IMessage*, HWND, DWORD*, IMMSForm**);
using MMSForm_CreateComposeFormFn = HRESULT (*)(IFormHost*, IMessage*, DWORD, IMessage*, void*, HWND, DWORD,
                                                IMMSForm**, LPCWSTR);
