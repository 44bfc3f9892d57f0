#include "pcm_source.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

extern "C" {
#include <fluidsynth.h>
#include <libavcodec/avcodec.h>
#include <libswresample/swresample.h>
#include <opencore-amrnb/interf_dec.h>
}

#include "engines/media_engine_abi.h"
#include "frame_walkers.h"
#include "media_input.h"
#include "qcp_file.h"

namespace media_engine {
namespace {

// Packets read without a decoded sample before the stream counts as broken.
constexpr int kMaxIdlePackets = 4096;

class AmrSource : public PcmSource {
 public:
  AmrSource(std::vector<uint8_t> bytes, media_formats::AmrStream stream)
      : m_bytes(std::move(bytes)), m_offset(stream.firstFrame), m_framesLeft(stream.frames) {
    m_rate = 8000;
    m_channels = 1;
    m_decoder = Decoder_Interface_init();
  }
  ~AmrSource() override {
    if (m_decoder != nullptr) Decoder_Interface_exit(m_decoder);
  }
  bool valid() const { return m_decoder != nullptr; }

 protected:
  bool Decode(std::vector<int16_t>& pending) override {
    if (m_framesLeft == 0) return false;
    uint32_t size = media_formats::AmrFrameBytes(media_formats::AmrKind::kNarrowband, m_bytes[m_offset] >> 3);
    // The walk checked every frame's size against the file; the decoder reads at most a full frame.
    uint8_t frame[32] = {};
    std::memcpy(frame, m_bytes.data() + m_offset, std::min<size_t>(size, sizeof frame));
    m_offset += size;
    --m_framesLeft;
    short samples[160];
    Decoder_Interface_Decode(m_decoder, frame, samples, 0);
    pending.insert(pending.end(), samples, samples + 160);
    return true;
  }

 private:
  std::vector<uint8_t> m_bytes;
  size_t m_offset;
  uint32_t m_framesLeft;
  void* m_decoder = nullptr;
};

// Decoded frames of one codec context resampled to interleaved 16-bit, mono or stereo.
class FrameConverter {
 public:
  ~FrameConverter() {
    swr_free(&m_resampler);
    av_channel_layout_uninit(&m_inLayout);
    av_frame_free(&m_frame);
  }
  bool Open(AVCodecContext* codec, int& rate, int& channels) {
    int sourceChannels = codec->ch_layout.nb_channels;
    if (codec->sample_rate <= 0 || codec->sample_rate > kMaxSampleRate || sourceChannels <= 0 ||
        sourceChannels > kMaxAudioChannels) {
      return false;
    }
    rate = codec->sample_rate;
    channels = std::min(sourceChannels, 2);
    m_rate = rate;
    m_channels = channels;
    m_frame = av_frame_alloc();
    return m_frame != nullptr && Configure(codec->ch_layout, codec->sample_fmt, codec->sample_rate);
  }
  // Takes every frame the codec has ready; returns whether any sample came.
  bool Drain(AVCodecContext* codec, std::vector<int16_t>& pending) {
    bool any = false;
    while (avcodec_receive_frame(codec, m_frame) == 0) {
      int samples = m_frame->nb_samples;
      // Decoders may change channels, rate or sample format between frames (MPEG audio's channel
      // mode, AAC's channel configuration); the resampler must read the frame as it is.
      bool same = m_frame->format == m_inFormat && m_frame->sample_rate == m_inRate &&
                  av_channel_layout_compare(&m_frame->ch_layout, &m_inLayout) == 0;
      if (!same && !Configure(m_frame->ch_layout, static_cast<AVSampleFormat>(m_frame->format), m_frame->sample_rate)) {
        samples = 0;
      }
      // Resampling a long frame from a very low rate would ask for a huge block: skipped.
      int room = samples > 0 && samples <= 1 << 20 ? swr_get_out_samples(m_resampler, samples) : 0;
      if (room > 0 && room <= 1 << 22) {
        size_t start = pending.size();
        pending.resize(start + static_cast<size_t>(room) * m_channels);
        uint8_t* out[1] = {reinterpret_cast<uint8_t*>(pending.data() + start)};
        int done = swr_convert(m_resampler, out, room, const_cast<const uint8_t**>(m_frame->extended_data), samples);
        pending.resize(start + static_cast<size_t>(std::max(done, 0)) * m_channels);
        any = any || done > 0;
      }
      av_frame_unref(m_frame);
    }
    return any;
  }

 private:
  // The resampler from this input to the output chosen at Open; on failure none is left, and
  // frames are skipped until one comes that can be read.
  bool Configure(const AVChannelLayout& layout, AVSampleFormat format, int rate) {
    swr_free(&m_resampler);
    av_channel_layout_uninit(&m_inLayout);
    m_inFormat = AV_SAMPLE_FMT_NONE;
    m_inRate = 0;
    if (rate <= 0 || rate > kMaxSampleRate || layout.nb_channels <= 0 || layout.nb_channels > kMaxAudioChannels) {
      return false;
    }
    AVChannelLayout in{};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC) {
      av_channel_layout_default(&in, layout.nb_channels);
    } else if (av_channel_layout_copy(&in, &layout) < 0) {
      return false;
    }
    AVChannelLayout out{};
    av_channel_layout_default(&out, m_channels);
    int result = swr_alloc_set_opts2(&m_resampler, &out, AV_SAMPLE_FMT_S16, m_rate, &in, format, rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (result < 0 || swr_init(m_resampler) < 0) {
      swr_free(&m_resampler);
      return false;
    }
    if (av_channel_layout_copy(&m_inLayout, &layout) < 0) {
      swr_free(&m_resampler);
      return false;
    }
    m_inFormat = format;
    m_inRate = rate;
    return true;
  }

  SwrContext* m_resampler = nullptr;
  AVFrame* m_frame = nullptr;
  int m_channels = 1;
  int m_rate = 8000;
  AVChannelLayout m_inLayout{};
  AVSampleFormat m_inFormat = AV_SAMPLE_FMT_NONE;
  int m_inRate = 0;
};

AVCodecContext* OpenDecoder(AVCodecID id, const AVCodecParameters* parameters, int rate) {
  const AVCodec* codec = avcodec_find_decoder(id);
  if (codec == nullptr) return nullptr;
  AVCodecContext* context = avcodec_alloc_context3(codec);
  if (context == nullptr) return nullptr;
  if (parameters != nullptr) {
    avcodec_parameters_to_context(context, parameters);
  } else {
    context->sample_rate = rate;
    av_channel_layout_default(&context->ch_layout, 1);
  }
  context->thread_count = 1;
  if (avcodec_open2(context, codec, nullptr) < 0) avcodec_free_context(&context);
  return context;
}

class FfmpegSource : public PcmSource {
 public:
  ~FfmpegSource() override {
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
  }
  bool Open(std::unique_ptr<MediaInput> input) {
    m_input = std::move(input);
    if (!m_input) return false;
    m_stream = m_input->BestStream(AVMEDIA_TYPE_AUDIO);
    if (m_stream < 0) return false;
    for (unsigned i = 0; i < m_input->format()->nb_streams; ++i) {
      if (static_cast<int>(i) != m_stream) m_input->format()->streams[i]->discard = AVDISCARD_ALL;
    }
    const AVCodecParameters* parameters = m_input->format()->streams[m_stream]->codecpar;
    m_codec = OpenDecoder(parameters->codec_id, parameters, 0);
    m_packet = av_packet_alloc();
    return m_codec != nullptr && m_packet != nullptr && m_converter.Open(m_codec, m_rate, m_channels);
  }

 protected:
  bool Decode(std::vector<int16_t>& pending) override {
    m_input->ExtendDeadline(2);
    for (int idle = 0; idle < kMaxIdlePackets && !m_ended; ++idle) {
      if (m_converter.Drain(m_codec, pending)) return true;
      if (av_read_frame(m_input->format(), m_packet) < 0) {
        avcodec_send_packet(m_codec, nullptr);
        m_ended = true;
        return m_converter.Drain(m_codec, pending);
      }
      if (m_packet->stream_index == m_stream) avcodec_send_packet(m_codec, m_packet);
      av_packet_unref(m_packet);
    }
    return false;
  }

 private:
  std::unique_ptr<MediaInput> m_input;
  int m_stream = -1;
  AVCodecContext* m_codec = nullptr;
  AVPacket* m_packet = nullptr;
  FrameConverter m_converter;
  bool m_ended = false;
};

class QcpSource : public PcmSource {
 public:
  explicit QcpSource(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}
  ~QcpSource() override {
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
  }
  bool Open() {
    if (media_formats::ParseQcp(m_bytes, m_file) != media_formats::QcpStatus::kOk) return false;
    AVCodecID id = m_file.codec == media_formats::QcpCodec::kEvrc ? AV_CODEC_ID_EVRC
                   : m_file.codec == media_formats::QcpCodec::kQcelp13k ? AV_CODEC_ID_QCELP
                                                                         : AV_CODEC_ID_NONE;
    if (id == AV_CODEC_ID_NONE) return false;
    m_codec = OpenDecoder(id, nullptr, 8000);
    m_packet = av_packet_alloc();
    m_reader = std::make_unique<media_formats::QcpPacketReader>(m_file);
    return m_codec != nullptr && m_packet != nullptr && m_converter.Open(m_codec, m_rate, m_channels);
  }

 protected:
  bool Decode(std::vector<int16_t>& pending) override {
    media_formats::QcpPacket packet;
    if (!m_reader->Next(packet)) return false;
    size_t before = pending.size();
    if (packet.rate != 0 && av_new_packet(m_packet, static_cast<int>(packet.data.size())) == 0) {
      std::memcpy(m_packet->data, packet.data.data(), packet.data.size());
      if (avcodec_send_packet(m_codec, m_packet) == 0) m_converter.Drain(m_codec, pending);
      av_packet_unref(m_packet);
    }
    // A blank packet, or one the decoder refused, still lasts its 20 ms.
    if (pending.size() == before) pending.resize(before + 160, 0);
    return true;
  }

 private:
  std::vector<uint8_t> m_bytes;
  media_formats::QcpFile m_file;
  std::unique_ptr<media_formats::QcpPacketReader> m_reader;
  AVCodecContext* m_codec = nullptr;
  AVPacket* m_packet = nullptr;
  FrameConverter m_converter;
};

class MidiSource : public PcmSource {
 public:
  explicit MidiSource(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {
    m_rate = 22050;
    m_channels = 2;
  }
  ~MidiSource() override {
    if (m_player != nullptr) delete_fluid_player(m_player);
    if (m_synth != nullptr) delete_fluid_synth(m_synth);
    if (m_settings != nullptr) delete_fluid_settings(m_settings);
  }
  bool Open() {
    std::filesystem::path font = SoundFontPath();
    if (font.empty()) return false;
    for (int level = 0; level < LAST_LOG_LEVEL; ++level) fluid_set_log_function(level, nullptr, nullptr);
    m_settings = new_fluid_settings();
    if (m_settings == nullptr) return false;
    fluid_settings_setnum(m_settings, "synth.sample-rate", m_rate);
    fluid_settings_setint(m_settings, "synth.threadsafe-api", 0);
    m_synth = new_fluid_synth(m_settings);
    if (m_synth == nullptr || fluid_synth_sfload(m_synth, font.c_str(), 1) == FLUID_FAILED) return false;
    m_player = new_fluid_player(m_synth);
    if (m_player == nullptr || fluid_player_add_mem(m_player, m_bytes.data(), m_bytes.size()) != FLUID_OK) return false;
    return fluid_player_play(m_player) == FLUID_OK;
  }

 protected:
  bool Decode(std::vector<int16_t>& pending) override {
    constexpr int kFrames = 1024;
    size_t start = pending.size();
    pending.resize(start + kFrames * 2);
    fluid_synth_write_s16(m_synth, kFrames, pending.data() + start, 0, 2, pending.data() + start, 1, 2);
    return true;  // the player's clock decides the end: the file's own length
  }

 private:
  std::vector<uint8_t> m_bytes;
  fluid_settings_t* m_settings = nullptr;
  fluid_synth_t* m_synth = nullptr;
  fluid_player_t* m_player = nullptr;
};

}  // namespace

size_t PcmSource::Read(int16_t* out, size_t frames) {
  size_t done = 0;
  size_t channels = static_cast<size_t>(m_channels);
  while (done < frames) {
    if (m_consumed >= m_pending.size()) {
      m_pending.clear();
      m_consumed = 0;
      if (m_ended || !Decode(m_pending)) {
        m_ended = true;
        break;
      }
      continue;
    }
    size_t available = (m_pending.size() - m_consumed) / channels;
    size_t take = std::min(available, frames - done);
    if (take == 0) {
      m_consumed = m_pending.size();
      continue;
    }
    std::memcpy(out + done * channels, m_pending.data() + m_consumed, take * channels * sizeof(int16_t));
    m_consumed += take * channels;
    done += take;
  }
  return done;
}

std::filesystem::path SoundFontPath() {
  for (const char* candidate : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2"}) {
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return {};
}

namespace {

// The formats whose frames we walk ourselves; null with `matched` false when the bytes are none of
// them, null with `matched` true when they are one but do not play.
std::unique_ptr<PcmSource> OpenWalkedSource(const std::vector<uint8_t>& bytes, bool& matched) {
  matched = true;
  if (auto amr = media_formats::WalkAmr(bytes); amr && amr->kind == media_formats::AmrKind::kNarrowband) {
    auto source = std::make_unique<AmrSource>(bytes, *amr);
    return source->valid() ? std::move(source) : nullptr;
  }
  if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 && std::memcmp(bytes.data() + 8, "QLCM", 4) == 0) {
    auto source = std::make_unique<QcpSource>(bytes);
    return source->Open() ? std::move(source) : nullptr;
  }
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "MThd", 4) == 0) {
    if (!media_formats::MidiDurationMs(bytes)) return nullptr;
    auto source = std::make_unique<MidiSource>(bytes);
    return source->Open() ? std::move(source) : nullptr;
  }
  matched = false;
  return nullptr;
}

std::unique_ptr<PcmSource> OpenFfmpegSource(std::unique_ptr<MediaInput> input) {
  auto source = std::make_unique<FfmpegSource>();
  return source->Open(std::move(input)) ? std::move(source) : nullptr;
}

}  // namespace

std::unique_ptr<PcmSource> OpenPcmSource(const std::filesystem::path& host) {
  std::vector<uint8_t> head = ReadSmallFile(host, kMaxSniffBytes);
  bool matched = false;
  if (!head.empty()) {
    auto source = OpenWalkedSource(head, matched);
    if (matched) return source;
  }
  return OpenFfmpegSource(MediaInput::Open(host));
}

std::unique_ptr<PcmSource> OpenPcmSource(std::shared_ptr<const std::vector<uint8_t>> bytes) {
  if (!bytes || bytes->empty()) return nullptr;
  bool matched = false;
  auto source = OpenWalkedSource(*bytes, matched);
  if (matched) return source;
  return OpenFfmpegSource(MediaInput::OpenBytes(std::move(bytes)));
}

}  // namespace media_engine
