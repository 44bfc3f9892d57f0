// Starting a program of the device: CreateProcessW on a device path. Device programs are host
// executables kept under the device root; the program gets the command line as its one argument and
// the current device in MMSFORM_DEVICE.
#pragma once

#include "platform/win_types.h"

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};

// Fails with ERROR_FILE_NOT_FOUND when the program does not exist, ERROR_ACCESS_DENIED when it is
// not an executable file, ERROR_INVALID_PARAMETER for a null name. The process and thread handles,
// when handed out, are closed with CloseHandle. Options beyond the name and command line are ignored.
BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, SECURITY_ATTRIBUTES* processAttributes,
                    SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                    LPCWSTR currentDirectory, LPVOID startupInfo, PROCESS_INFORMATION* processInformation);
