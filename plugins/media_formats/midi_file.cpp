#include <algorithm>
#include <cstring>
#include <vector>

#include "byte_cursor.h"
#include "frame_walkers.h"

namespace media_formats {
namespace {

constexpr uint16_t kMaxTracks = 256;
constexpr size_t kMaxTempoChanges = 65536;

struct TempoChange {
  uint64_t tick;
  uint32_t microsPerQuarter;
};

struct TrackScan {
  uint64_t endTick = 0;
};

// Walks one track's events: delta times, running status, meta and system-exclusive lengths. Tempo
// changes are collected; the track ends at End of Track or where its data stops.
size_t ScanTrack(ByteCursor track, std::vector<TempoChange>& tempos, TrackScan& scan) {
  uint64_t tick = 0;
  uint8_t status = 0;
  while (track.remaining() > 0) {
    uint32_t delta = 0;
    if (!track.ReadVarLen(delta)) return track.position();
    tick += delta;
    scan.endTick = std::max(scan.endTick, tick);
    uint8_t byte = 0;
    if (!track.ReadU8(byte)) return track.position();
    if (byte == 0xFF) {
      uint8_t type = 0;
      uint32_t length = 0;
      std::span<const uint8_t> body;
      if (!track.ReadU8(type) || !track.ReadVarLen(length) || !track.ReadBytes(body, length)) return track.position();
      if (type == 0x2F) return track.position();
      if (type == 0x51 && length == 3 && tempos.size() < kMaxTempoChanges) {
        tempos.push_back({tick, static_cast<uint32_t>(body[0]) << 16 | static_cast<uint32_t>(body[1]) << 8 | body[2]});
      }
      continue;
    }
    if (byte == 0xF0 || byte == 0xF7) {
      uint32_t length = 0;
      if (!track.ReadVarLen(length) || !track.Skip(length)) return track.position();
      continue;
    }
    size_t dataBytes = 0;
    if (byte & 0x80) {
      status = byte;
    } else {
      if (status == 0) return track.position();
      dataBytes = 1;  // the byte read was the first data byte
    }
    uint8_t kind = status & 0xF0;
    size_t needed = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
    if (!track.Skip(needed - dataBytes)) return track.position();
  }
  return track.position();
}

// Microseconds of `ticks` at one tempo, and their sum, saturate: a length that does not fit is
// refused by the caller rather than wrapped round into one that looks plausible.
uint64_t SpanMicros(uint64_t ticks, uint32_t tempo, uint16_t division) {
  uint64_t product = 0;
  if (__builtin_mul_overflow(ticks, tempo, &product)) return UINT64_MAX;
  return product / division;
}

uint64_t AddMicros(uint64_t a, uint64_t b) {
  uint64_t sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? UINT64_MAX : sum;
}

uint64_t TicksToMicros(uint64_t tick, const std::vector<TempoChange>& tempos, uint16_t division) {
  uint64_t micros = 0, lastTick = 0;
  uint32_t tempo = 500000;
  for (const TempoChange& change : tempos) {
    if (change.tick >= tick) break;
    micros = AddMicros(micros, SpanMicros(change.tick - lastTick, tempo, division));
    lastTick = change.tick;
    tempo = change.microsPerQuarter;
  }
  return AddMicros(micros, SpanMicros(tick - lastTick, tempo, division));
}

}  // namespace

std::optional<uint32_t> MidiDurationMs(std::span<const uint8_t> bytes) {
  ByteCursor cursor(bytes);
  uint32_t id = 0, length = 0;
  uint16_t format = 0, tracks = 0, division = 0;
  if (!cursor.ReadBe32(id) || id != 0x4D546864 || !cursor.ReadBe32(length) || length < 6 || !cursor.ReadBe16(format) ||
      !cursor.ReadBe16(tracks) || !cursor.ReadBe16(division) || !cursor.Skip(length - 6)) {
    return std::nullopt;
  }
  // SMPTE divisions and format 2 (independent sequences) have no single tempo-mapped length.
  if (format > 1 || division == 0 || (division & 0x8000) || tracks == 0) return std::nullopt;
  std::vector<TempoChange> tempos;
  uint64_t endTick = 0;
  int found = 0;
  for (uint16_t i = 0; i < std::min(tracks, kMaxTracks) && cursor.remaining() >= 8; ++i) {
    cursor.ReadBe32(id);
    cursor.ReadBe32(length);
    size_t start = cursor.position();
    bool lies = length > cursor.remaining();
    std::span<const uint8_t> body;
    cursor.ReadBytes(body, lies ? cursor.remaining() : length);
    if (id != 0x4D54726B) continue;
    TrackScan scan;
    size_t used = ScanTrack(ByteCursor(body), tempos, scan);
    // A length past the end of the file: the next track starts where this one's events ended.
    if (lies) cursor.Seek(start + used);
    endTick = std::max(endTick, scan.endTick);
    ++found;
  }
  if (found == 0) return std::nullopt;
  std::stable_sort(tempos.begin(), tempos.end(), [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  uint64_t micros = TicksToMicros(endTick, tempos, division);
  if (micros / 1000 > 0x7FFFFFFF) return std::nullopt;
  return static_cast<uint32_t>((micros + 500) / 1000);
}

}  // namespace media_formats
