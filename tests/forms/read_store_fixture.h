// A message store on the test device for the read view: corpus messages are stored in the Inbox as
// received and opened from it, as the host opens them, under a full-screen owner window.
#pragma once

#include <filesystem>
#include <string>

#include "forms/form_interface.h"
#include "forms/message_binding.h"
#include "forms/message_import.h"
#include "platform/message_store/message_store.h"
#include "platform/window/screen.h"
#include "ui_fixture.h"

namespace ui_test {

class ReadStoreTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    std::string error;
    ASSERT_EQ(platform::OpenMessageStore(m_store.Receive(), &error), S_OK) << error;
    ULC_Global::GetGlobal()->messageStore = m_store.Get();
    CreateOwner();
  }
  void TearDown() override {
    DestroyWindow(m_owner);
    ULC_Global::GetGlobal()->messageStore = nullptr;
    m_store.Reset();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    UiTest::TearDown();
  }

  // A new owner covering the screen as it is configured now.
  void CreateOwner() {
    if (m_owner) DestroyWindow(m_owner);
    const platform::window::ScreenGeometry screen = platform::window::CurrentScreen();
    m_owner = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, screen.width, screen.height, nullptr,
                              nullptr, nullptr, nullptr);
  }

  ComPtr<IMessage> Open(const EntryId& id) {
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    EXPECT_EQ(m_store->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())),
                                 nullptr, MAPI_MODIFY, &kind, object.Receive()),
              S_OK);
    return ComPtr<IMessage>(static_cast<IMessage*>(object.Detach()));
  }

  // Stores `file` in the Inbox as received and loads it for reading into `binding`.
  ::testing::AssertionResult StoreAndLoad(const std::filesystem::path& file, MessageBinding* binding) {
    const ImportResult imported = ImportMessageFile(test_support::ReadFileBytes(file), PR_INBOX_FOLDER_ENTRYID);
    if (!imported.ok) return ::testing::AssertionFailure() << "storing " << file << ": " << imported.error;
    ComPtr<IMessage> message = Open(imported.entryId);
    if (!message) return ::testing::AssertionFailure() << "opening the stored " << file;
    if (!LoadBinding(*binding, message.Get(), nullptr, kHostVerbRead) || !binding->Model()) {
      return ::testing::AssertionFailure() << "loading " << file;
    }
    return ::testing::AssertionSuccess();
  }

  ComPtr<IMsgStore> m_store;
  HWND m_owner = nullptr;
};

}  // namespace ui_test
