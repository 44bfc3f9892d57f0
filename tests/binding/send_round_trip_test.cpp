// A composed message of nine slides (pictures, sounds, texts in several scripts) saved through the
// binding and submitted: tshark reads the m-send-req without complaint, and the host program's
// inspect command plays back the same slides with the same texts.
#include <cstdio>
#include <cstdlib>

#include "binding_fixture.h"
#include "composed_message.h"
#include "forms/message_submission.h"
#include "forms/send_request.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "platform/text/text_conversion.h"
#include "support/json_value.h"

namespace binding_test {
namespace {

namespace fs = std::filesystem;

std::string RunTool(const fs::path& device, const std::string& arguments) {
  std::string command = "MMSFORM_DEVICE='" + device.string() + "' '" MMSFORM_TOOL "' " + arguments;
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    if (pclose(pipe) != 0) out += "\n(the command failed)";
  }
  return out;
}

class SendRoundTrip : public BindingTest {};

TEST_F(SendRoundTrip, NineSlidesInManyScriptsComeBackAsTheyWereComposed) {
  ComPtr<IMessage> stored = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  MessageBinding binding;
  ASSERT_TRUE(LoadBinding(binding, stored.Get(), nullptr, 0));
  const std::vector<SlideSource> slides = NineSlides();
  ASSERT_TRUE(ComposeAndSave(binding, slides));
  ASSERT_TRUE(binding.Message().SetRecipients(u"+49 171 5550100", u"", u"archive@example.org"));
  ASSERT_TRUE(binding.Message().SetSubject(u"Девять слайдов 九张 \U0001F4F7"));
  auto submission = CreateSubmission(binding);
  ASSERT_NE(submission, nullptr);
  binding.DropModel();
  ASSERT_EQ(submission->Submit(0), S_OK);
  fs::path sendFile = *platform::HostPath(SendRequestFile(binding).View());
  auto bytes = mm1::ReadWholeFile(sendFile, mm1::kMaxMessageFileBytes);
  ASSERT_TRUE(bytes);

  std::optional<std::string> reading = TsharkReading(bytes.Value(), m_device.root());
  if (!reading) GTEST_SKIP() << "tshark is not installed (Debian package tshark)";
  EXPECT_NE(reading->find("m-send-req"), std::string::npos) << *reading;
  EXPECT_EQ(reading->find("Malformed"), std::string::npos) << *reading;
  auto count = [&](std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = reading->find(what); at != std::string::npos; at = reading->find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("content-type: text/plain"), slides.size());
  EXPECT_EQ(count("Content-Type: text/plain; charset=UTF-8;"), slides.size());

  // The store listing shows the message in the Outbox.
  json_test::Value listed = json_test::Reader(RunTool(m_device.root(), "store list --json")).Parse();
  ASSERT_EQ(listed.items.size(), 1u);
  EXPECT_EQ(listed.items[0]["folder"].text, "Outbox");
  EXPECT_EQ(listed.items[0]["subject"].text, "Девять слайдов 九张 \U0001F4F7");

  std::string inspected = RunTool(m_device.root(), "inspect '" + sendFile.string() + "' --slides");
  json_test::Value json = json_test::Reader(inspected).Parse();
  ASSERT_FALSE(json.IsNull()) << inspected;
  EXPECT_EQ(json["message_type"].text, "m-send-req");
  EXPECT_EQ(json["subject"].text, "Девять слайдов 九张 \U0001F4F7");
  EXPECT_EQ(json["slides_from"].text, "presentation");
  const auto& parts = json["parts"].items;
  const auto& played = json["slides"].items;
  ASSERT_EQ(played.size(), slides.size()) << inspected;
  auto partOf = [&](const json_test::Value& slide, const char* key) -> const json_test::Value* {
    if (slide[key].IsNull()) return nullptr;
    auto index = static_cast<std::size_t>(slide[key]["part"].number);
    return index < parts.size() ? &parts[index] : nullptr;
  };
  for (std::size_t i = 0; i < slides.size(); ++i) {
    const json_test::Value& slide = played[i];
    EXPECT_EQ(slide["duration"].number, 4000) << i;
    const json_test::Value* text = partOf(slide, "text");
    ASSERT_NE(text, nullptr) << i;
    EXPECT_EQ((*text)["text"].text, platform::Utf16ToUtf8(slides[i].text)) << i;
    EXPECT_EQ((*text)["content_type"].text, "text/plain") << i;
    const json_test::Value* image = partOf(slide, "image");
    ASSERT_EQ(image != nullptr, !slides[i].picture.empty()) << i;
    if (image) EXPECT_EQ((*image)["file"].text, fs::path(slides[i].picture).filename().string()) << i;
    const json_test::Value* audio = partOf(slide, "audio");
    ASSERT_EQ(audio != nullptr, !slides[i].sound.empty()) << i;
    if (audio) EXPECT_EQ((*audio)["file"].text, fs::path(slides[i].sound).filename().string()) << i;
  }
  EXPECT_EQ(json["attachments"].number, 0);
}

}  // namespace
}  // namespace binding_test
