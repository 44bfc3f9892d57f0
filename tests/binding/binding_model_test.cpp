#include "binding_fixture.h"
#include "forms/message_import.h"

namespace binding_test {
namespace {

using test_support::CorpusPath;
using test_support::ReadFileBytes;

// The slides of a stored message as text: durations and the types of the parts each one shows.
std::string Slides(MessageBinding& binding) {
  MessageModel* model = binding.Model();
  if (model == nullptr) return "<no model>";
  std::string text;
  for (const Slide& slide : model->slides) {
    text += std::to_string(slide.duration);
    for (const auto* ref : {&slide.image, &slide.text, &slide.audio, &slide.video}) {
      if (*ref && (*ref)->part != nullptr) text += " " + std::to_string((*ref)->part->type);
    }
    text += ";";
  }
  return text + " attachments " + std::to_string(model->attachmentCount);
}

std::string ImportAndDescribe(std::string_view bytes, std::string* dataFile) {
  ImportResult imported = ImportMessageFile(bytes, PR_INBOX_FOLDER_ENTRYID);
  if (!imported.ok) return "<import failed: " + imported.error + ">";
  StoreMessage message(std::make_shared<const EntryId>(imported.entryId));
  MessageBinding binding;
  if (!LoadBinding(binding, message.Get(), nullptr, 5)) return "<no binding>";
  std::string slides = Slides(binding);
  *dataFile = ReadFileBytes(*platform::HostPath(binding.DataFile().View()));
  return slides;
}

TEST_F(BindingTest, StoredMessagesPlayTheSameSlidesAfterExportAndImportAgain) {
  for (const char* name : {"me-retrieve-2", "pm-tomslot", "me-retrieve-8", "mmsd-rc-mms-1-3-con-282"}) {
    std::string exported;
    std::string first = ImportAndDescribe(ReadFileBytes(CorpusPath(std::string("mms/") + name + ".mms")), &exported);
    EXPECT_NE(first.find(';'), std::string::npos) << name << ": " << first;
    std::string again;
    EXPECT_EQ(ImportAndDescribe(exported, &again), first) << name;
  }
}

}  // namespace
}  // namespace binding_test
