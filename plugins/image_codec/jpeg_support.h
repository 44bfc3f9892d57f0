// libjpeg glue: errors that jump back to the entry point instead of exiting, and source and
// destination managers over a codec stream.
#pragma once

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "codec_io.h"

namespace image_codec {

// The most scans a progressive picture may have; more is a hostile file built to burn time.
constexpr int kMaxJpegScans = 500;
// The most corrupt-data warnings tolerated before the decode gives up.
constexpr long kMaxJpegWarnings = 1000;
// Memory the library may use for one picture (whole-image buffers of progressive pictures).
constexpr long kMaxJpegMemory = 512L * 1024 * 1024;

struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

// Installs the error manager; every libjpeg call must then run after a setjmp on manager.jump.
jpeg_error_mgr* InstallJpegErrors(JpegErrorManager& manager);

// Installs a progress monitor that fails the decode beyond kMaxJpegScans scans.
void InstallScanLimit(j_decompress_ptr cinfo, jpeg_progress_mgr& progress);

struct JpegSourceManager {
  jpeg_source_mgr pub;
  StreamIo* io = nullptr;
  std::vector<JOCTET> buffer;
};
void InstallJpegSource(j_decompress_ptr cinfo, JpegSourceManager& source, StreamIo& io);

struct JpegDestinationManager {
  jpeg_destination_mgr pub;
  StreamIo* io = nullptr;
  std::vector<JOCTET> buffer;
};
void InstallJpegDestination(j_compress_ptr cinfo, JpegDestinationManager& destination, StreamIo& io);

}  // namespace image_codec
