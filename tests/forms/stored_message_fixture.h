// A window system with a message store: corpus files are imported into the Inbox as a person's
// phone would receive them, and bound as the read form binds them.
#pragma once

#include <memory>
#include <string>

#include "forms/form_interface.h"
#include "forms/message_binding.h"
#include "forms/message_import.h"
#include "platform/kernel/clock.h"
#include "platform/message_store/message_store.h"
#include "ui_fixture.h"

namespace ui_test {

// The time the messages of these tests arrive at: 2026-12-07 15:40:05 UTC.
constexpr std::int64_t kArrivalTime = 1796658005;

class StoredMessageTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    platform::SetFixedUnixTime(kArrivalTime);
    ULC_Global::GetGlobal()->UnloadEngineModule();
    std::string error;
    ASSERT_EQ(platform::OpenMessageStore(m_store.Receive(), &error), S_OK) << error;
    ULC_Global::GetGlobal()->messageStore = m_store.Get();
  }
  void TearDown() override {
    m_bindings.clear();
    ULC_Global::GetGlobal()->messageStore = nullptr;
    m_store.Reset();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    platform::SetFixedUnixTime(0);
    UiTest::TearDown();
  }

  // Imports the corpus file (a path below the corpus folder) and binds it; null on failure.
  MessageBinding* Bind(const std::string& corpusFile) {
    const ImportResult imported =
        ImportMessageFile(test_support::ReadFileBytes(test_support::CorpusPath(corpusFile)), PR_INBOX_FOLDER_ENTRYID);
    EXPECT_TRUE(imported.ok) << imported.error;
    if (!imported.ok) return nullptr;
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    const EntryId& id = imported.entryId;
    if (m_store->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())),
                           nullptr, MAPI_MODIFY, &kind, object.Receive()) != S_OK) {
      ADD_FAILURE() << "cannot open " << corpusFile;
      return nullptr;
    }
    ComPtr<IMessage> message(static_cast<IMessage*>(object.Detach()));
    auto binding = std::make_unique<MessageBinding>();
    if (!LoadBinding(*binding, message.Get(), nullptr, kHostVerbRead)) {
      ADD_FAILURE() << "cannot bind " << corpusFile;
      return nullptr;
    }
    m_bindings.push_back(std::move(binding));
    return m_bindings.back().get();
  }

  ComPtr<IMsgStore> m_store;
  std::vector<std::unique_ptr<MessageBinding>> m_bindings;
};

}  // namespace ui_test
