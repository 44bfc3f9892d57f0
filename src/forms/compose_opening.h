// Opening a compose form: what MMSForm_CreateComposeForm does. It checks what the host handed
// over, readies the message for its mode and makes the form. A problem found before the frame
// exists does not fail the call: the form opens and is closed again at once (composeAbort).
#pragma once

#include "forms/compose_data_block.h"
#include "forms/form_interface.h"

HRESULT OpenComposeForm(IFormHost* host, IMessage* message, DWORD mode, IMessage* source,
                        const ComposeDataBlock* dataBlock, HWND parentWindow, DWORD initArg, IMMSForm** formOut,
                        LPCWSTR messageClass);
