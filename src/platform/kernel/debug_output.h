// Debug output of the device: the module's failure reports go to standard error.
#pragma once

#include "platform/win_types.h"

void OutputDebugStringW(LPCWSTR text);

namespace platform {

// printf-style report to standard error, one call one write.
void DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The module's three report forms: "FAILED(0x%08x) at FILE:LINE", "OOM at ..." and
// "Invalid parameter passed at ...".
void ReportFailed(HRESULT hr, const char* file, int line);
void ReportOutOfMemory(const char* file, int line);
void ReportInvalidParameter(const char* file, int line);

}  // namespace platform
