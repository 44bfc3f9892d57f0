// The calling thread's last error code, as set by the failing platform calls.
#pragma once

#include "platform/win_types.h"

DWORD GetLastError();
void SetLastError(DWORD code);
