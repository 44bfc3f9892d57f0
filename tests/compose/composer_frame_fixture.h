// The composer frame's test fixture: a new message opened in the compose form, and a picture on
// the device to put into it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "compose_host_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/kernel/clock.h"
#include "platform/registry/registry.h"
#include "transport/mms_global.h"
#include "forms/composer_frame.h"
#include "forms/send_request.h"

namespace composer_test {

using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

struct QuietHost : IFormHost {
  HRESULT FormClosed(IMMSForm*, IMessage*, DWORD) override { return S_OK; }
  HRESULT HostSlot1() override { return S_OK; }
  HRESULT HostSlot2() override { return S_OK; }
  HRESULT FormAction(IMMSForm*, IMessage*, DWORD, DWORD) override { return S_OK; }
};

// Where a composer picture drawn on a screen of `width` x `height` goes (made if missing), and
// where its reference, which a person has looked at, is kept.
struct GoldenFolders {
  std::filesystem::path drawn;
  std::filesystem::path references;
};
inline GoldenFolders ComposerGoldenFolders(int width, int height) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  GoldenFolders folders{test_support::BinaryPath("compose-golden/" + size),
                        test_support::SourcePath("tests/compose/golden/" + size)};
  std::filesystem::create_directories(folders.drawn);
  return folders;
}

class ComposerFrameTest : public ComposeHostTest {
 protected:
  void SetUp() override {
    ComposeHostTest::SetUp();
    std::filesystem::create_directories(m_device.Host(u"\\My Documents\\My Pictures"));
    WriteFileBytes(m_device.Host(u"\\My Documents\\My Pictures\\dot.png"), ReadFileBytes(test_support::CorpusPath("png/basn2c16.png")));
  }
  void TearDown() override {
    if (m_form != nullptr) {
      m_form->Close();
      m_form->Release();
    }
    ComposeHostTest::TearDown();
  }

  CComposerFrame* OpenNew() {
    m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
    m_form = OpenForm(&m_host, m_message.Get(), 0, nullptr, nullptr);
    return m_form != nullptr ? m_form->Frame() : nullptr;
  }

  // Whether the send flow got as far as the transport writing the message's m-send-req.
  bool SendRequestWritten() {
    MessageBinding* binding = m_form != nullptr ? m_form->Binding() : nullptr;
    return binding != nullptr && std::filesystem::exists(m_device.Host(SendRequestFile(*binding).View()));
  }

  // A corpus file put on the device at `devicePath`.
  void Put(std::u16string_view devicePath, const char* corpusName) {
    std::filesystem::create_directories(m_device.Host(devicePath).parent_path());
    WriteFileBytes(m_device.Host(devicePath), ReadFileBytes(test_support::CorpusPath(corpusName)));
  }
  // An 8 kHz WAV file as the device's microphone, recorded into AMR (RecordType 1).
  void UseHeadlessMicrophone() {
    SetConfigValue(numeric_setting::kRecordType, 1, FALSE);
    const std::u16string microphone = u"\\Microphone\\voice.wav";
    Put(microphone, "media/pcm16-8k-mono.wav");
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Audio", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, u"Microphone", 0, REG_SZ, reinterpret_cast<const BYTE*>(microphone.c_str()),
                   static_cast<DWORD>((microphone.size() + 1) * 2));
    RegCloseKey(key);
  }

  // Closes and releases the form as a host does; closing also closes the host's window, so a new
  // one stands in for it, ready for the next form of the same test.
  void CloseForm() {
    if (m_form != nullptr) {
      m_form->Close();
      m_form->Release();
      m_form = nullptr;
    }
    platform::automation::PumpUntilIdle();
    if (!IsWindow(m_parent)) {
      m_parent = CreateWindowExW(0, u"ComposeParent", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
  }

  void Command(CComposerFrame* frame, WORD id, LPARAM lParam = 0) {
    frame->SendMessage(WM_COMMAND, id, lParam);
    platform::automation::PumpUntilIdle();
  }
  void TypeInto(HWND edit, std::u16string_view text) {
    SetFocus(edit);
    platform::automation::TypeText(text);
    platform::automation::PumpUntilIdle();
  }

  QuietHost m_host;
  ComPtr<IMessage> m_message;
  CComposeForm* m_form = nullptr;
};

// The frame with a WAV file as the microphone and a sound on the device, on the virtual clock.
class MicrophoneFrameTest : public ComposerFrameTest {
 protected:
  static constexpr const char16_t* kSound = u"\\My Documents\\My Sounds\\sweep.amr";

  void SetUp() override {
    ComposerFrameTest::SetUp();
    platform::UseVirtualClock(true);
    UseHeadlessMicrophone();
    Put(kSound, "media/amrnb-122-sweep.amr");
  }
  void TearDown() override {
    ComposerFrameTest::TearDown();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    platform::UseVirtualClock(false);
  }
};

}  // namespace composer_test
