// The calling interface of the QCP reader library "qcp_reader.dll": it reads a file through the
// stream functions the caller hands it (in the order of the C library's fopen, fseek, fread,
// fclose, ftell) and reports what the file holds. Plain C types, so the library builds on its own.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct QcpStreamTable {
  void* (*open)(const char* path, const char* mode);
  int (*seek)(void* stream, long offset, int origin);
  size_t (*read)(void* buffer, size_t size, size_t count, void* stream);
  int (*close)(void* stream);
  long (*tell)(void* stream);
};

// EmQcpGetMediaDetails: the third word is the codec's format code (48 EVRC, 47 QCELP-13K, 49 SMV).
struct QcpMediaDetails {
  uint32_t durationMs;
  uint32_t packetCount;
  int32_t formatCode;
  uint32_t samplingRate;
  uint32_t averageBps;
};

typedef void* QcpHandle;

// 1 with a handle when the file is a QCP file whose sizes hold; 0 otherwise.
typedef int32_t (*EmQcpOpenFileFn)(QcpHandle* handle, const char* path, const struct QcpStreamTable* table);
typedef int32_t (*EmQcpGetMediaDetailsFn)(QcpHandle handle, struct QcpMediaDetails* details);
typedef int32_t (*EmQcpCloseFileFn)(QcpHandle handle);

// The largest file the reader takes.
#define QCP_READER_MAX_BYTES (16u * 1024u * 1024u)

#ifdef __cplusplus
}
#endif
