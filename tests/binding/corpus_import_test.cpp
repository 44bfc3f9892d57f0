#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "binding_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/message_import.h"
#include "forms/store_properties.h"
#include "support/json_value.h"
#include "model/device_file.h"

namespace {

using binding_test::BindingTest;
using namespace store_property;

const std::set<std::string> kStoredTypes = {"m-retrieve-conf", "m-send-req", "m-notification-ind",
                                            "m-delivery-ind", "m-read-orig-ind", "m-read-rec-ind"};

std::string Utf8(const CString& text) { return text.ToUtf8(); }

std::string Joined(const json_test::Value& list) {
  std::string joined;
  for (const json_test::Value& item : list.items) {
    if (!joined.empty()) joined += ";";
    joined += item["text"].text;
  }
  return joined;
}

// What the store must hold for one corpus message, from the independent decoder's values.
void ExpectStored(StoreMessage& message, const json_test::Value& expected, const std::string& type) {
  EXPECT_EQ(Utf8(message.Subject()), expected["subject"]["text"].text);
  EXPECT_EQ(Utf8(message.SenderAddress()), expected["from"]["text"].text);
  EXPECT_EQ(Utf8(message.ToList()), Joined(expected["to"]));
  bool notification = type == "m-notification-ind";
  bool report = type == "m-delivery-ind" || type == "m-read-orig-ind" || type == "m-read-rec-ind";
  if (notification) {
    EXPECT_EQ(message.Size(), std::stol(expected["message_size"].text));
    EXPECT_EQ(message.State(), message_state::kNotification);
  } else {
    EXPECT_EQ(message.Size(), static_cast<LONG>(expected["size"].number));
  }
  if (type == "m-retrieve-conf" || type == "m-send-req") {
    EXPECT_EQ(message.State(), message_state::kRetrieved);
    EXPECT_EQ(Utf8(message.CcList()), Joined(expected["cc"]));
    LONG date = expected["date_epoch"].IsNull() ? binding_test::kNow : static_cast<LONG>(expected["date_epoch"].number);
    EXPECT_EQ(message.Date(), date);
  } else {
    EXPECT_EQ(message.Date(), binding_test::kNow) << "notifications and reports are dated on arrival";
  }
  if (type == "m-delivery-ind") {
    EXPECT_EQ(message.State(), message_state::kDeliveryReport);
    EXPECT_EQ(message.Long(kOptionSentDate), static_cast<LONG>(expected["date_epoch"].number));
  }
  if (report && type != "m-delivery-ind") {
    EXPECT_EQ(message.State(), message_state::kReadReport);
  }
  EXPECT_EQ(message.DeliveryTime(), binding_test::kNow);
}

TEST_F(BindingTest, EveryCorpusMessageImportsAsItsKindWithItsHeaders) {
  SetConfigValue(numeric_setting::kEnableCDMATimeStamp, 1, FALSE);
  int stored = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test_support::CorpusPath("mms"))) {
    std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    std::string bytes = test_support::ReadFileBytes(entry.path());
    json_test::Value expected =
        json_test::Reader(test_support::ReadFileBytes(test_support::CorpusPath("expected/" + name + ".json"))).Parse();
    ASSERT_FALSE(expected.IsNull());
    std::string type = expected["message_type"].text;
    ImportResult result = ImportMessageFile(bytes, PR_INBOX_FOLDER_ENTRYID);
    if (!kStoredTypes.count(type)) {
      EXPECT_FALSE(result.ok);
      EXPECT_FALSE(result.error.empty());
      continue;
    }
    ASSERT_TRUE(result.ok) << result.error;
    ++stored;
    StoreMessage message(std::make_shared<const EntryId>(result.entryId));
    ExpectStored(message, expected, type);

    // Exported and imported again, the file and the stored values stay the same.
    MessageBinding binding;
    ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 5));
    FileReadResult exported = ReadDeviceFile(binding.DataFile().View(), 1 << 26);
    ASSERT_EQ(exported.status, FileReadStatus::kOk);
    EXPECT_EQ(exported.bytes, bytes);
    ImportResult again = ImportMessageFile(exported.bytes, PR_SENTMAIL_FOLDER_ENTRYID);
    ASSERT_TRUE(again.ok) << again.error;
    StoreMessage copy(std::make_shared<const EntryId>(again.entryId));
    ExpectStored(copy, expected, type);
    EXPECT_EQ(copy.Flags(), message.Flags());
    EXPECT_EQ(copy.MessageClassText(), message.MessageClassText());
  }
  EXPECT_GE(stored, 45);
}

TEST_F(BindingTest, AFailedImportLeavesNothingBehind) {
  ImportResult garbage = ImportMessageFile("not an MMS message", PR_INBOX_FOLDER_ENTRYID);
  EXPECT_FALSE(garbage.ok);
  EXPECT_NE(garbage.error.find("not an MMS message"), std::string::npos);
  std::string conf = test_support::ReadFileBytes(test_support::CorpusPath("mms/me-send-conf-1.mms"));
  ImportResult refused = ImportMessageFile(conf, PR_INBOX_FOLDER_ENTRYID);
  EXPECT_NE(refused.error.find("m-send-conf"), std::string::npos) << refused.error;
  ComPtr<IMAPITable> table;
  ASSERT_EQ(Folder(PR_INBOX_FOLDER_ENTRYID)->GetContentsTable(0, table.Receive()), S_OK);
  ULONG rows = 99;
  table->GetRowCount(0, &rows);
  EXPECT_EQ(rows, 0u);
}

}  // namespace
