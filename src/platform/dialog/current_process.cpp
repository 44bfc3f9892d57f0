#include "platform/dialog/current_process.h"

#include <unistd.h>

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }
