// A device with an open message store that the binding uses as the transport's store.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "forms/message_binding.h"
#include "platform/com/com_ptr.h"
#include "platform/kernel/clock.h"
#include "platform/message_store/message_store.h"
#include "support/test_device.h"
#include "transport/mms_global.h"

namespace binding_test {

constexpr std::int64_t kNow = 1700000000;

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_EQ(platform::OpenMessageStore(m_store.Receive(), &error), S_OK) << error;
    ULC_Global::GetGlobal()->messageStore = m_store.Get();
    platform::SetFixedUnixTime(kNow);
  }
  void TearDown() override {
    ULC_Global::GetGlobal()->messageStore = nullptr;
    platform::SetFixedUnixTime(0);
  }

  ComPtr<IMAPIFolder> Folder(ULONG tag) {
    SizedSPropTagArray<1> tags{1, {tag}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    EXPECT_EQ(m_store->GetProps(tags.get(), MAPI_UNICODE, &count, &values), S_OK);
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    m_store->OpenEntry(values[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[0].Value.bin.lpb), nullptr,
                       MAPI_MODIFY, &kind, object.Receive());
    MAPIFreeBuffer(values);
    return ComPtr<IMAPIFolder>(static_cast<IMAPIFolder*>(object.Detach()));
  }

  ComPtr<IMessage> NewMessage(ULONG folderTag = PR_INBOX_FOLDER_ENTRYID) {
    ComPtr<IMessage> message;
    EXPECT_EQ(Folder(folderTag)->CreateMessage(nullptr, 0, message.Receive()), S_OK);
    return message;
  }

  test_support::TestDevice m_device;
  ComPtr<IMsgStore> m_store;
};

}  // namespace binding_test
