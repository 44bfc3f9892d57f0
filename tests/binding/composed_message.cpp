#include "composed_message.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "mm1/file_io.h"
#include "mm1/message_writer.h"
#include "model/media_types.h"
#include "platform/kernel/device.h"
#include "platform/text/text_conversion.h"
#include "support/test_device.h"

namespace binding_test {
namespace {

namespace fs = std::filesystem;

// A data file of one text, so that the binding has a model to build in.
bool SeedDataFile(MessageBinding& binding) {
  auto dataFile = platform::HostPath(binding.DataFile().View());
  auto partFolder = platform::HostPath(binding.PartFolder().View());
  if (!dataFile || !partFolder) return false;
  fs::path seed = *partFolder / "seed.txt";
  if (!mm1::WriteFileAtomically(seed, std::vector<std::uint8_t>{'s', 'e', 'e', 'd'})) return false;
  mm1::MessageWriter writer;
  mm1::PartRecord record;
  record.folder = *partFolder;
  record.fileName = "seed.txt";
  record.contentType = "text/plain;charset=utf-8";
  bool written = writer.AddPart(record) && writer.Write(*dataFile);
  fs::remove(seed);
  return written;
}

MediaPart* AddFile(MessageModel& model, const fs::path& folder, const std::string& corpusName) {
  fs::path source = test_support::CorpusPath(corpusName);
  fs::path target = folder / source.filename();
  std::error_code error;
  if (!fs::copy_file(source, target, fs::copy_options::overwrite_existing, error)) return nullptr;
  std::u16string name = platform::Utf8ToUtf16(source.filename().string());
  return &*AddPartOfType(model, name, TypeOfFile(name, false));
}

MediaPart* AddText(MessageModel& model, const fs::path& folder, const std::u16string& text, std::size_t number) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  std::string name = "text" + std::to_string(number) + ".txt";
  std::ofstream(folder / name, std::ios::binary) << bytes;
  return &*AddPartOfType(model, platform::Utf8ToUtf16(name), media_type::kPlainText);
}

void WritePcap(const std::vector<std::uint8_t>& pdu, const fs::path& file) {
  // The PDU as the body of an HTTP/1.1 200 response on one TCP stream from port 80, in segments,
  // which is how tshark's MMS dissector is reached.
  std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/vnd.wap.mms-message\r\nContent-Length: " +
                     std::to_string(pdu.size()) + "\r\n\r\n";
  std::string stream = head + std::string(pdu.begin(), pdu.end());
  auto u16 = [](std::string& out, unsigned v) { out += static_cast<char>(v >> 8), out += static_cast<char>(v & 0xFF); };
  auto u32 = [&](std::string& out, unsigned v) { u16(out, v >> 16), u16(out, v & 0xFFFF); };
  auto le32 = [](std::string& out, unsigned v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  std::string file_bytes;
  le32(file_bytes, 0xA1B2C3D4);
  file_bytes += std::string("\x02\x00\x04\x00", 4);
  le32(file_bytes, 0), le32(file_bytes, 0), le32(file_bytes, 65535), le32(file_bytes, 1);
  constexpr std::size_t kSegment = 1400;
  unsigned sequence = 1000;
  unsigned record = 0;
  for (std::size_t start = 0; start < stream.size(); start += kSegment, ++record) {
    std::string payload = stream.substr(start, kSegment);
    std::string tcp;
    u16(tcp, 80), u16(tcp, 40000), u32(tcp, sequence), u32(tcp, 1);
    tcp += static_cast<char>(5 << 4), tcp += static_cast<char>(0x18);
    u16(tcp, 65535), u16(tcp, 0), u16(tcp, 0);
    std::string ip;
    ip += '\x45', ip += '\0';
    u16(ip, static_cast<unsigned>(20 + tcp.size() + payload.size())), u16(ip, 1), u16(ip, 0);
    ip += '\x40', ip += '\x06';
    u16(ip, 0);
    ip += std::string("\x0a\x00\x00\x01\x0a\x00\x00\x02", 8);
    std::string frame = std::string("\0\0\0\0\0\x02\0\0\0\0\0\x01\x08\x00", 14) + ip + tcp + payload;
    le32(file_bytes, 0), le32(file_bytes, record);
    le32(file_bytes, static_cast<unsigned>(frame.size())), le32(file_bytes, static_cast<unsigned>(frame.size()));
    file_bytes += frame;
    sequence += static_cast<unsigned>(payload.size());
  }
  std::ofstream(file, std::ios::binary) << file_bytes;
}

}  // namespace

bool ComposeAndSave(MessageBinding& binding, const std::vector<SlideSource>& slides) {
  if (!SeedDataFile(binding)) return false;
  MessageModel* model = binding.Model();
  auto folder = platform::HostPath(binding.PartFolder().View());
  if (model == nullptr || !folder) return false;
  for (const auto& entry : fs::directory_iterator(*folder)) fs::remove_all(entry.path());
  ResetModel(*model, true);
  model->layout.width = 176;
  model->layout.height = 144;
  model->layout.regions = {LayoutRegion{RegionKind::kImage, 0, 0, 100, 70, RegionFit::kMeet},
                           LayoutRegion{RegionKind::kText, 0, 70, 100, 100, RegionFit::kScroll}};
  std::size_t number = 0;
  for (const SlideSource& source : slides) {
    Slide slide = NewSlide();
    slide.duration = 4000;
    if (!source.picture.empty()) {
      MediaPart* part = AddFile(*model, *folder, source.picture);
      if (part == nullptr) return false;
      SetReference(slide.image, MediaRef{RegionKind::kImage, 0, 0, part, nullptr});
    }
    if (!source.text.empty()) {
      SetReference(slide.text, MediaRef{RegionKind::kText, 0, 0, AddText(*model, *folder, source.text, ++number), nullptr});
    }
    if (!source.sound.empty()) {
      MediaPart* part = AddFile(*model, *folder, source.sound);
      if (part == nullptr) return false;
      SetReference(slide.audio, MediaRef{RegionKind::kImage, 0, 0, part, nullptr});
    }
    model->slides.push_back(std::move(slide));
  }
  CountAttachments(*model);
  return binding.SaveModel();
}

std::vector<SlideSource> NineSlides() {
  return {
      {"jpeg/canon-eos-40d.jpg", "media/amrnb-122-sweep.amr", u"Hello from the first slide."},
      {"png/basn2c08.png", "", u"Привет! Это второй слайд."},
      {"gif/pm-nowmms-p2.gif", "media/mp3-vbr-22k-mono.mp3", u"你好，这是第三张幻灯片。"},
      {"jpeg/nikon-coolpix-p1.jpg", "", u"مرحبا، هذه الشريحة الرابعة."},
      {"", "media/midi-format1.mid", u"Emoji: \U0001F600\U0001F389 and \U0001F44D."},
      {"jpeg/fujifilm-finepix6900zoom.jpg", "media/amrnb-dtx-modes.amr", u"Ελληνικά και English together."},
      {"gif/pm-sonyericsson-t310-p1.gif", "", u"日本語とEnglishと한국어."},
      {"png/basn0g08.png", "media/pcm16-8k-mono.wav", u"עברית ו-العربية side by side."},
      {"jpeg/konica-minolta-dimage-z3.jpg", "", u"The last slide: ¡Adiós! \U0001F44B"},
  };
}

std::optional<std::string> TsharkReading(const std::vector<std::uint8_t>& pdu, const fs::path& work) {
  if (std::system("command -v tshark >/dev/null 2>&1") != 0) return std::nullopt;
  fs::path capture = work / "message.pcap";
  fs::path output = work / "tshark.txt";
  WritePcap(pdu, capture);
  std::string command = "tshark -r '" + capture.string() + "' -V -O mmse -Y mmse > '" + output.string() + "' 2>&1";
  if (std::system(command.c_str()) != 0) return std::string("tshark failed");
  std::ifstream in(output, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace binding_test
