#include <gtest/gtest.h>

#include <atomic>

#include "binding_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/attachment_import.h"
#include "forms/content_check.h"
#include "model/drm_handling.h"
#include "platform/drm/dcf_file.h"
#include "platform/kernel/file_api.h"
#include "platform/registry/registry.h"

namespace {

using binding_test::BindingTest;

class AttachmentImportTest : public BindingTest {
 protected:
  ComPtr<IMessage> MessageWithAttachment(const char16_t* name, const std::string& data) {
    ComPtr<IMessage> message = NewMessage(PR_OUTBOX_FOLDER_ENTRYID);
    ComPtr<IAttach> attach;
    ULONG number = 0;
    EXPECT_EQ(message->CreateAttach(nullptr, 0, &number, attach.Receive()), S_OK);
    SPropValue prop{};
    prop.ulPropTag = PR_ATTACH_FILENAME;
    prop.Value.lpszW = const_cast<LPWSTR>(name);
    EXPECT_EQ(attach->SetProps(1, &prop, nullptr), S_OK);
    ComPtr<IUnknown> object;
    EXPECT_EQ(attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY, object.Receive()),
              S_OK);
    auto* stream = static_cast<IStream*>(object.Get());
    EXPECT_EQ(stream->Write(data.data(), static_cast<ULONG>(data.size()), nullptr), S_OK);
    EXPECT_EQ(stream->Commit(0), S_OK);
    return message;
  }
};

struct StatusCase {
  const char16_t* name;
  std::size_t size;
  int mmsFlag;
  int flixFlag;
  LONG creationMode;
  int status;
  bool fileKept;
};

TEST_F(AttachmentImportTest, EachKindOfAttachmentGetsItsStatus) {
  const StatusCase cases[] = {
      {u"page.html", 100, 1, 1, 2, import_status::kImported, true},
      {u"notes.txt", 100, 1, 1, 0, import_status::kImported, true},
      {u"unknown.qqqq", 100, 1, 1, 2, import_status::kNotAllowed, false},
      {u"photo.jpg", 100, 0, 1, 2, import_status::kNoMms, true},
      {u"clip.3gp", 100, 1, 0, 2, import_status::kNoFlix, true},
      {u"long.txt", 40000, 1, 1, 0, import_status::kTooLarge, true},
      {u"long.txt", 40000, 1, 1, 2, import_status::kImported, true},
      {u"tune.wav", 100, 1, 1, 0, import_status::kContentRefused, true},
      {u"tune.wav", 100, 1, 1, 1, import_status::kContentRefused, true},
  };
  // Generic attachments limited to documents and text, so that an unknown extension is not taken
  // as one.
  CString generic = ULC_Global::GetGlobal()->genericFilter;
  ULC_Global::GetGlobal()->genericFilter = CString(u".pdf;.txt;");
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(CString(c.name).ToUtf8() + " in creation mode " + std::to_string(c.creationMode));
    SetConfigValue(numeric_setting::kDefaultCreationMode, c.creationMode, FALSE);
    ComPtr<IMessage> message = MessageWithAttachment(c.name, std::string(c.size, 'a'));
    int status = ImportAttachment(message.Get(), nullptr, u"\\Temp\\", u"IPM.MMS", c.mmsFlag, c.flixFlag);
    EXPECT_EQ(status, c.status);
    CString imported = ULC_Global::GetGlobal()->importedFile;
    EXPECT_EQ(!imported.IsEmpty(), c.fileKept);
    if (c.fileKept) {
      EXPECT_NE(GetFileAttributesW(imported), INVALID_FILE_ATTRIBUTES);
    }
  }
  ULC_Global::GetGlobal()->genericFilter = generic;
}

TEST_F(AttachmentImportTest, TextMustBeAllowedAsAGenericObject) {
  CString generic = ULC_Global::GetGlobal()->genericFilter;
  ULC_Global::GetGlobal()->genericFilter = CString(u".pdf;");
  ComPtr<IMessage> text = MessageWithAttachment(u"notes.txt", "words");
  EXPECT_EQ(ImportAttachment(text.Get(), nullptr, u"\\Temp\\", u"IPM.MMS", 1, 1), import_status::kNotAllowed);
  EXPECT_TRUE(ULC_Global::GetGlobal()->importedFile.IsEmpty());
  // Markup is shown by the HTML view, not carried as a generic object.
  ComPtr<IMessage> page = MessageWithAttachment(u"page.html", "<p>words</p>");
  EXPECT_EQ(ImportAttachment(page.Get(), nullptr, u"\\Temp\\", u"IPM.MMS", 1, 1), import_status::kImported);
  ULC_Global::GetGlobal()->genericFilter = generic;
}

TEST_F(AttachmentImportTest, AVoiceMessageTakesOnlyTheSoundItsRecordTypeNamesAndTextWhenAllowed) {
  ASSERT_TRUE(SetConfigString(string_setting::kVoiceMailClassName, u"IPM.VoiceMail", FALSE));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"\\Software\\Microsoft\\Inbox\\MsgTypes\\IPM\\VoiceMail", 0, nullptr,
                            0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  struct Case {
    const char16_t* name;
    LONG recordType;
    LONG textAllowed;
    int status;
  };
  const Case cases[] = {
      {u"voice.amr", 1, 0, import_status::kImported},   {u"voice.qcp", 1, 0, import_status::kNotAllowed},
      {u"voice.qcp", 0, 0, import_status::kImported},   {u"voice.amr", 0, 0, import_status::kNotAllowed},
      {u"voice.qcp", 2, 0, import_status::kNotAllowed}, {u"voice.amr", 2, 0, import_status::kNotAllowed},
      {u"page.html", 1, 0, import_status::kNotAllowed}, {u"page.html", 1, 1, import_status::kImported},
      {u"notes.txt", 1, 0, import_status::kNotAllowed}, {u"notes.txt", 1, 1, import_status::kImported},
      {u"photo.jpg", 1, 1, import_status::kNotAllowed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CString(c.name).ToUtf8() + " record type " + std::to_string(c.recordType));
    ASSERT_TRUE(SetConfigValue(numeric_setting::kRecordType, c.recordType, FALSE));
    ASSERT_TRUE(SetConfigValue(numeric_setting::kIsVoiceMailSupportText, c.textAllowed, FALSE));
    ComPtr<IMessage> message = MessageWithAttachment(c.name, "data");
    EXPECT_EQ(ImportAttachment(message.Get(), nullptr, u"\\Temp\\", u"IPM.VoiceMail", 1, 1), c.status);
  }
}

TEST_F(AttachmentImportTest, NamesStayInsideTheTargetFolderAndDoNotOverwrite) {
  ComPtr<IMessage> message = MessageWithAttachment(u"..\\..\\x.txt", "hello");
  ASSERT_EQ(ImportAttachment(message.Get(), nullptr, u"\\Temp\\", u"IPM.MMS", 1, 1), import_status::kImported);
  EXPECT_EQ(ULC_Global::GetGlobal()->importedFile, u"\\Temp\\0_x.txt");
  ASSERT_EQ(ImportAttachment(message.Get(), nullptr, u"\\Temp\\", u"IPM.MMS", 1, 1), import_status::kImported);
  EXPECT_EQ(ULC_Global::GetGlobal()->importedFile, u"\\Temp\\1_x.txt");
  EXPECT_FALSE(std::filesystem::exists(m_device.root().parent_path() / "x.txt"));
  // A text attachment is kept as the composer keeps text: UTF-16 with its mark.
  std::string text = test_support::ReadFileBytes(m_device.Host(u"\\Temp\\0_x.txt"));
  EXPECT_EQ(text.substr(0, 4), std::string("\xFF\xFEh\0", 4));
}

TEST_F(AttachmentImportTest, NoAttachmentOrNoNameImportsNothing) {
  ComPtr<IMessage> bare = NewMessage();
  EXPECT_EQ(ImportAttachment(bare.Get(), nullptr, u"\\Temp\\", u"IPM.MMS", 1, 1), import_status::kNothing);
  ComPtr<IMessage> unnamed = MessageWithAttachment(u"", "data");
  EXPECT_EQ(ImportAttachment(unnamed.Get(), nullptr, u"\\Temp\\", u"IPM.MMS", 1, 1), import_status::kNothing);
}

TEST_F(AttachmentImportTest, AForwardLockedObjectIsRefusedAndRemovedWhileOneDeliveredApartIsKept) {
  SetConfigValue(numeric_setting::kDefaultCreationMode, static_cast<LONG>(CreationMode::kFree), FALSE);
  // A forward-locked picture as the device keeps it once received: a protected content file.
  CreateDirectoryW(u"\\parts", nullptr);
  test_support::WriteFileBytes(
      m_device.Host(u"\\parts\\locked"),
      "--b\r\nContent-Type: image/gif\r\nContent-ID: <lk@x>\r\n\r\nGIF89a-locked\r\n--b--\r\n");
  std::string inner;
  ASSERT_TRUE(UnwrapDrm(u"\\parts\\", u"locked", inner, "application/vnd.oma.drm.message", nullptr));
  ComPtr<IMessage> locked =
      MessageWithAttachment(u"locked.dcf", test_support::ReadFileBytes(m_device.Host(u"\\parts\\locked")));
  EXPECT_EQ(ImportAttachment(locked.Get(), nullptr, u"\\Temp\\", u"IPM.MMS", 1, 1), import_status::kProtected);
  EXPECT_TRUE(ULC_Global::GetGlobal()->importedFile.IsEmpty());
  // Neither the copy nor anything set aside while unwrapping it is left.
  EXPECT_TRUE(std::filesystem::is_empty(m_device.Host(u"\\Temp")));

  platform::drm::DcfFile apart{"image/gif", "cid:apart@example", "Encryption-Method: AES128CBC;padding=RFC2630\r\n",
                               std::string(32, 'k')};
  ComPtr<IMessage> forwardable = MessageWithAttachment(u"apart.dcf", platform::drm::EncodeDcf(apart));
  EXPECT_EQ(ImportAttachment(forwardable.Get(), nullptr, u"\\Temp\\", u"IPM.MMS", 1, 1), import_status::kImported);
  CString imported = ULC_Global::GetGlobal()->importedFile;
  EXPECT_EQ(imported, u"\\Temp\\0_apart.gif");
  EXPECT_NE(GetFileAttributesW(imported), INVALID_FILE_ATTRIBUTES);
}

// A stream that claims more data than it delivers, as a message of another program might.
class ShortStream final : public IStream {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IStream && iid != IID_IUnknown) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IStream*>(this);
    return S_OK;
  }
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }
  HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
    ULONG count = m_delivered >= 5000 ? 0 : std::min<ULONG>(size, 5000 - m_delivered);
    std::memset(buffer, 'z', count);
    m_delivered += count;
    *read = count;
    return S_OK;
  }
  HRESULT Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }
  HRESULT Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return STG_E_INVALIDFUNCTION; }
  HRESULT SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
  HRESULT Commit(DWORD) override { return STG_E_ACCESSDENIED; }
  HRESULT Stat(STATSTG* stat, DWORD) override {
    *stat = STATSTG{};
    stat->cbSize.QuadPart = 20000;
    return S_OK;
  }

 private:
  virtual ~ShortStream() = default;
  std::atomic<ULONG> m_references{1};
  ULONG m_delivered = 0;
};

// An attachment of the store whose data stream is the short one.
class ShortAttach final : public IAttach {
 public:
  explicit ShortAttach(ComPtr<IAttach> real) : m_real(std::move(real)) {}
  HRESULT QueryInterface(REFIID iid, void** object) override { return m_real->QueryInterface(iid, object); }
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
    return m_real->GetProps(tags, flags, count, values);
  }
  HRESULT SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return MAPI_E_NO_ACCESS; }
  HRESULT DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return MAPI_E_NO_ACCESS; }
  HRESULT OpenProperty(ULONG, const IID*, ULONG, ULONG, LPUNKNOWN* object) override {
    *object = new ShortStream();
    return S_OK;
  }
  HRESULT SaveChanges(ULONG) override { return S_OK; }

 private:
  virtual ~ShortAttach() = default;
  ComPtr<IAttach> m_real;
  std::atomic<ULONG> m_references{1};
};

class ShortMessage final : public IMessage {
 public:
  explicit ShortMessage(ComPtr<IMessage> real) : m_real(std::move(real)) {}
  HRESULT QueryInterface(REFIID iid, void** object) override { return m_real->QueryInterface(iid, object); }
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
    return m_real->GetProps(tags, flags, count, values);
  }
  HRESULT SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) override { return MAPI_E_NO_ACCESS; }
  HRESULT DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return MAPI_E_NO_ACCESS; }
  HRESULT OpenProperty(ULONG, const IID*, ULONG, ULONG, LPUNKNOWN*) override { return MAPI_E_NO_SUPPORT; }
  HRESULT SaveChanges(ULONG) override { return S_OK; }
  HRESULT GetAttachmentTable(ULONG flags, LPMAPITABLE* table) override { return m_real->GetAttachmentTable(flags, table); }
  HRESULT OpenAttach(ULONG number, const IID* iid, ULONG flags, LPATTACH* attachment) override {
    ComPtr<IAttach> real;
    HRESULT hr = m_real->OpenAttach(number, iid, flags, real.Receive());
    if (SUCCEEDED(hr)) *attachment = new ShortAttach(std::move(real));
    return hr;
  }
  HRESULT CreateAttach(const IID*, ULONG, ULONG*, LPATTACH*) override { return MAPI_E_NO_ACCESS; }

 private:
  virtual ~ShortMessage() = default;
  ComPtr<IMessage> m_real;
  std::atomic<ULONG> m_references{1};
};

TEST_F(AttachmentImportTest, AStreamThatEndsEarlyIsReportedAndItsPartialFileRemoved) {
  ComPtr<IMessage> short_(new ShortMessage(MessageWithAttachment(u"photo.jpg", "x")));
  EXPECT_EQ(ImportAttachment(short_.Get(), nullptr, u"\\Temp\\", u"IPM.MMS", 1, 1), import_status::kNothing);
  EXPECT_EQ(GetFileAttributesW(u"\\Temp\\0_photo.jpg"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
