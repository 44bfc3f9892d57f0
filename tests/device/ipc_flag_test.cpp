#include "device/ipc_flag.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/registry/registry.h"
#include "support/test_device.h"
#include "transport/mms_global.h"

namespace {

TEST(IpcFlag, SetReadClearRoundTripThroughTheRegistry) {
  test_support::TestDevice device(platform::RegistrySeed::kEmpty);
  EXPECT_EQ(GetIpcFlag(), -1);
  EXPECT_TRUE(SetIpcFlag());
  EXPECT_EQ(GetIpcFlag(), 4096);
  EXPECT_TRUE(ClearIpcFlag());
  EXPECT_EQ(GetIpcFlag(), -1);
  // Clearing an absent value still succeeds: only an unopenable key fails.
  EXPECT_TRUE(ClearIpcFlag());
}

TEST(IpcFlag, AValueOfAnotherSizeReadsAsMissing) {
  test_support::TestDevice device(platform::RegistrySeed::kEmpty);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config\\UI", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const char16_t text[] = u"4096";
  ASSERT_EQ(RegSetValueExW(key, u"Quillon_IPC_Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
            ERROR_SUCCESS);
  EXPECT_EQ(GetIpcFlag(), -1);
  DWORD zero = 0;
  ASSERT_EQ(RegSetValueExW(key, u"Quillon_IPC_Name", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero),
            ERROR_SUCCESS);
  EXPECT_EQ(GetIpcFlag(), 0);
  RegCloseKey(key);
}

TEST(TransportContext, OneProcessWideContextWithTheSharedEmptyString) {
  test_support::TestDevice device;
  ULC_Global* global = ULC_Global::GetGlobal();
  ASSERT_NE(global, nullptr);
  CMMSGlobal* transport = GetMMSGlobal();
  ASSERT_NE(transport, nullptr);
  // Process-wide: another thread is handed the same two objects.
  ULC_Global* globalOfThread = nullptr;
  CMMSGlobal* transportOfThread = nullptr;
  std::thread([&] {
    globalOfThread = ULC_Global::GetGlobal();
    transportOfThread = GetMMSGlobal();
  }).join();
  EXPECT_EQ(globalOfThread, global);
  EXPECT_EQ(transportOfThread, transport);
  EXPECT_EQ(GetAddress1(), SharedEmptyString());
  EXPECT_EQ(GetAddress(), CString().GetString());
  global->LoadDeviceConfiguration();
  EXPECT_EQ(global->genericFilter, u"*");
  global->SetDrmContext(1, nullptr, 1);
  EXPECT_EQ(global->drmContext.active, 1u);
  EXPECT_EQ(global->drmContext.constant, 2u);
  EXPECT_EQ(global->drmContextFlag, 1);
}

}  // namespace
