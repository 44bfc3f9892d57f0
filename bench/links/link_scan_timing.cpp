// bench_link_scan --write-text FILE [KB]: writes message-like prose with a link every few lines.
// bench_link_scan FILE ROUNDS: scans FILE (UTF-8) ROUNDS times and prints the median in ms and the
// number of links found, as "median_ms=... links=...", in processor time.
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "device/link_detection.h"
#include "platform/text/text_conversion.h"
#include "scratch_device.h"

namespace {

const char* const kSentences[] = {
    "Hi! The photos from Saturday are finally here, sorry it took so long.",
    "We are meeting at the station at half past six, bring the tickets.",
    "Kiitos viestist\xC3\xA4, n\xC3\xA4hd\xC3\xA4\xC3\xA4n huomenna kahvilassa.",
    "Don't forget that the shop closes early on Sundays (around 4 pm).",
    "The weather looks good for the weekend, maybe we can go to the lake.",
    "Call me when you get this, my battery is almost empty though.",
    "I left the keys with the neighbour; she is home until eight.",
    "Happy birthday! Hope you have a wonderful day with the family.",
};

const char* const kLinks[] = {
    "See www.example.com/photos/2024/summer.html for the rest.",
    "My number is +358 40 123 4567, or the office (09)123-4567.",
    "Mail the list to anna.maria+party@example.co.uk before Friday.",
    "Tickets: https://tickets.example.org/event?id=4711&seat=12.",
    "Map is at http://maps.example.net/?q=station (the north exit).",
    "Old pictures on ftp://files.example.com/pub/pics/.",
    "Call 040-7654321 if the door is locked.",
};

// Processor time, not wall time: the machine may be shared, and the other side counts the same.
double CpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

int WriteText(const char* file, long kilobytes) {
  std::string text;
  unsigned state = 12345;
  const std::size_t target = static_cast<std::size_t>(kilobytes) * 1024;
  while (text.size() < target) {
    state = state * 1103515245u + 12345u;
    const unsigned pick = (state >> 16) % 40;
    if (pick < 8) {
      text += kLinks[pick % (sizeof kLinks / sizeof *kLinks)];
    } else {
      text += kSentences[pick % (sizeof kSentences / sizeof *kSentences)];
    }
    text += (pick % 5 == 0) ? "\n" : " ";
  }
  std::ofstream(file, std::ios::binary) << text;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--write-text") {
    return WriteText(argv[2], argc >= 4 ? std::atol(argv[3]) : 1024);
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_link_scan --write-text FILE [KB] | bench_link_scan FILE ROUNDS\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::u16string text = platform::Utf8ToUtf16(buffer.str());
  bench::ScratchDevice device("link-scan");
  const int rounds = std::max(1, std::atoi(argv[2]));
  std::vector<double> times;
  std::size_t links = 0;
  for (int round = 0; round < rounds; ++round) {
    LinkList list;
    const double start = CpuMilliseconds();
    list.ScanLinks(text, true);
    times.push_back(CpuMilliseconds() - start);
    links = list.Links().size();
  }
  std::sort(times.begin(), times.end());
  std::printf("median_ms=%.3f links=%zu\n", times[times.size() / 2], links);
  return 0;
}
