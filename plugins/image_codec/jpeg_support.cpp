#include "jpeg_support.h"

#include <algorithm>

namespace image_codec {
namespace {

constexpr size_t kIoBufferSize = 64 * 1024;
const JOCTET kFakeEndOfImage[2] = {0xFF, JPEG_EOI};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  std::longjmp(manager->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  // Warnings (level -1) are counted; a flood of them means a broken stream that would only waste time.
  if (level < 0 && ++cinfo->err->num_warnings > kMaxJpegWarnings) ErrorExit(cinfo);
}

void OutputMessage(j_common_ptr) {}

void ScanLimit(j_common_ptr cinfo) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (decompress->is_decompressor && decompress->input_scan_number > kMaxJpegScans) ErrorExit(cinfo);
}

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  auto* source = reinterpret_cast<JpegSourceManager*>(cinfo->src);
  int64_t got = source->io->ReadSome(source->buffer.data(), static_cast<uint32_t>(source->buffer.size()));
  if (got <= 0) {
    // The data ended early: give the decoder an end marker so it finishes with what it has.
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source->pub.next_input_byte = kFakeEndOfImage;
    source->pub.bytes_in_buffer = 2;
    return TRUE;
  }
  source->pub.next_input_byte = source->buffer.data();
  source->pub.bytes_in_buffer = static_cast<size_t>(got);
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  auto* source = reinterpret_cast<JpegSourceManager*>(cinfo->src);
  while (count > 0) {
    if (source->pub.bytes_in_buffer == 0) FillInputBuffer(cinfo);
    size_t step = std::min(static_cast<size_t>(count), source->pub.bytes_in_buffer);
    source->pub.next_input_byte += step;
    source->pub.bytes_in_buffer -= step;
    count -= static_cast<long>(step);
    if (source->pub.next_input_byte == kFakeEndOfImage + 2 && count > 0) return;
  }
}

void TermSource(j_decompress_ptr) {}

void InitDestination(j_compress_ptr cinfo) {
  auto* destination = reinterpret_cast<JpegDestinationManager*>(cinfo->dest);
  destination->pub.next_output_byte = destination->buffer.data();
  destination->pub.free_in_buffer = destination->buffer.size();
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* destination = reinterpret_cast<JpegDestinationManager*>(cinfo->dest);
  if (!destination->io->Write(destination->buffer.data(), static_cast<uint32_t>(destination->buffer.size()))) {
    ERREXIT(cinfo, JERR_FILE_WRITE);
  }
  InitDestination(cinfo);
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* destination = reinterpret_cast<JpegDestinationManager*>(cinfo->dest);
  size_t used = destination->buffer.size() - destination->pub.free_in_buffer;
  if (!destination->io->Write(destination->buffer.data(), static_cast<uint32_t>(used))) {
    ERREXIT(cinfo, JERR_FILE_WRITE);
  }
}

}  // namespace

jpeg_error_mgr* InstallJpegErrors(JpegErrorManager& manager) {
  jpeg_error_mgr* errors = jpeg_std_error(&manager.pub);
  errors->error_exit = ErrorExit;
  errors->emit_message = EmitMessage;
  errors->output_message = OutputMessage;
  return errors;
}

void InstallScanLimit(j_decompress_ptr cinfo, jpeg_progress_mgr& progress) {
  progress.progress_monitor = ScanLimit;
  cinfo->progress = &progress;
}

void InstallJpegSource(j_decompress_ptr cinfo, JpegSourceManager& source, StreamIo& io) {
  source.io = &io;
  source.buffer.resize(kIoBufferSize);
  source.pub.init_source = InitSource;
  source.pub.fill_input_buffer = FillInputBuffer;
  source.pub.skip_input_data = SkipInputData;
  source.pub.resync_to_restart = jpeg_resync_to_restart;
  source.pub.term_source = TermSource;
  source.pub.bytes_in_buffer = 0;
  source.pub.next_input_byte = nullptr;
  cinfo->src = &source.pub;
}

void InstallJpegDestination(j_compress_ptr cinfo, JpegDestinationManager& destination, StreamIo& io) {
  destination.io = &io;
  destination.buffer.resize(kIoBufferSize);
  destination.pub.init_destination = InitDestination;
  destination.pub.empty_output_buffer = EmptyOutputBuffer;
  destination.pub.term_destination = TermDestination;
  cinfo->dest = &destination.pub;
}

}  // namespace image_codec
