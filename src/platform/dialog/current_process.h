// The identifier of the running process, as GetWindowThreadProcessId reports it for its windows.
#pragma once

#include "platform/win_types.h"

DWORD GetCurrentProcessId();
