// The device's contact store: identifiers that are never given twice, items kept across a reopen,
// and imports through the shell that add a whole file or nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/kernel/activity_log.h"
#include "platform/kernel/last_error.h"
#include "platform/pim/pim_import.h"
#include "platform/pim/pim_store.h"
#include "platform/shell/shell_execute.h"
#include "support/test_device.h"

namespace {

using platform::pim::Contact;
using platform::pim::PimKind;
using platform::pim::PimStore;

Contact Named(const char* given, const char* mobile = "") {
  Contact contact;
  contact.givenName = given;
  contact.mobile = mobile;
  return contact;
}

TEST(PimStore, IdentifiersAreNeverGivenTwice) {
  test_support::TestDevice device;
  PimStore* store = PimStore::ForCurrentDevice();
  ASSERT_NE(store, nullptr);
  auto first = store->Add(Named("Ann"));
  auto second = store->Add(Named("Bo"));
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(store->Remove(PimKind::kContact, *second));
  EXPECT_FALSE(store->Remove(PimKind::kContact, *second));
  auto third = store->Add(Named("Cy"));
  ASSERT_TRUE(third);
  EXPECT_GT(*third, *second);
  EXPECT_EQ(store->Ids(PimKind::kContact), (std::vector<std::int64_t>{*first, *third}));
  // Each kind counts on its own, and an update of a missing item changes nothing.
  EXPECT_TRUE(store->Ids(PimKind::kTask).empty());
  Contact ghost = Named("Ghost");
  ghost.id = *second;
  EXPECT_FALSE(store->Update(ghost));
  EXPECT_FALSE(store->FindContact(*second));
}

TEST(PimStore, ItemsOutliveTheConnection) {
  test_support::TestDevice other;
  const auto root = std::filesystem::temp_directory_path() / "mmsform-tests" / ("pim-reopen-" + std::to_string(getpid()));
  std::filesystem::remove_all(root);
  ASSERT_TRUE(platform::OpenDevice(root, platform::RegistrySeed::kEmpty));
  Contact contact = Named("Ann", "+1 555 0100");
  contact.photo = "GIF89a-and-the-rest";
  auto id = PimStore::ForCurrentDevice()->Add(contact);
  ASSERT_TRUE(id);
  auto appointment = PimStore::ForCurrentDevice()->Add(platform::pim::Appointment{0, "Dentist", "", "", 10, 20, false});
  ASSERT_TRUE(platform::OpenDevice(other.root(), platform::RegistrySeed::kEmpty));
  EXPECT_TRUE(PimStore::ForCurrentDevice()->Ids(PimKind::kContact).empty());
  ASSERT_TRUE(platform::OpenDevice(root, platform::RegistrySeed::kEmpty));
  auto found = PimStore::ForCurrentDevice()->FindContact(*id);
  ASSERT_TRUE(found);
  contact.id = *id;
  contact.fileAs = "Ann";  // a contact stored without a file-as files under its default
  EXPECT_EQ(*found, contact);
  EXPECT_EQ(PimStore::ForCurrentDevice()->FindAppointment(*appointment)->subject, "Dentist");
  platform::CloseDevice();
  std::filesystem::remove_all(root);
}

SHELLEXECUTEINFO OpenRequest(const char16_t* file) {
  SHELLEXECUTEINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = u"open";
  info.lpFile = file;
  info.nShow = 1;
  return info;
}

TEST(PimImport, TheShellImportsVcardsAndVcalendars) {
  test_support::TestDevice device;
  test_support::WriteFileBytes(device.Host(u"\\Temp\\UATemp\\card.vcf"),
                               "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John\r\nTEL;CELL:+1 555 0199\r\nEND:VCARD\r\n"
                               "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Jane Roe\r\nEND:VCARD\r\n");
  test_support::WriteFileBytes(device.Host(u"\\Temp\\UATemp\\meeting.vcs"),
                               "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nSUMMARY:Lunch\r\n"
                               "DTSTART:20261207T120000Z\r\nDTEND:20261207T130000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  SHELLEXECUTEINFO card = OpenRequest(u"\\Temp\\UATemp\\card.vcf");
  ASSERT_TRUE(ShellExecuteEx(&card));
  SHELLEXECUTEINFO meeting = OpenRequest(u"\\Temp\\UATemp\\meeting.vcs");
  ASSERT_TRUE(ShellExecuteEx(&meeting));
  PimStore* store = PimStore::ForCurrentDevice();
  const auto contacts = store->Ids(PimKind::kContact);
  ASSERT_EQ(contacts.size(), 2u);
  EXPECT_EQ(store->FindContact(contacts[0])->mobile, "+1 555 0199");
  EXPECT_EQ(store->FindContact(contacts[1])->familyName, "Roe");
  ASSERT_EQ(store->Ids(PimKind::kAppointment).size(), 1u);
  // The file stays where it was: it was imported, not moved.
  EXPECT_TRUE(std::filesystem::exists(device.Host(u"\\Temp\\UATemp\\card.vcf")));
  auto log = platform::ReadActivity();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].kind, "import");
  EXPECT_NE(log[0].detail.find("2 items"), std::string::npos) << log[0].detail;
}

TEST(PimImport, ABrokenFileAddsNothingAndTheShellSaysSo) {
  test_support::TestDevice device;
  test_support::WriteFileBytes(device.Host(u"\\Temp\\bad.vcf"),
                               "BEGIN:VCARD\r\nFN:Good\r\nEND:VCARD\r\nBEGIN:VCARD\r\n"
                               "PHOTO;ENCODING=BASE64:%%%%\r\nEND:VCARD\r\n");
  SHELLEXECUTEINFO request = OpenRequest(u"\\Temp\\bad.vcf");
  EXPECT_FALSE(ShellExecuteEx(&request));
  EXPECT_EQ(GetLastError(), 11u);  // ERROR_BAD_FORMAT
  EXPECT_TRUE(PimStore::ForCurrentDevice()->Ids(PimKind::kContact).empty());
  auto log = platform::ReadActivity();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].kind, "import failed");
  EXPECT_NE(log[0].detail.find("line 5: PHOTO: broken base64"), std::string::npos) << log[0].detail;

  // A file too large is refused before it is read.
  std::string huge = "BEGIN:VCARD\r\nNOTE:" + std::string(5u << 20, 'x') + "\r\nEND:VCARD\r\n";
  test_support::WriteFileBytes(device.Host(u"\\Temp\\huge.vcf"), huge);
  auto import = platform::pim::ImportPimDeviceFile(u"\\Temp\\huge.vcf");
  EXPECT_NE(import.error.find("larger than 4 MB"), std::string::npos) << import.error;
  EXPECT_FALSE(platform::pim::ImportPimDeviceFile(u"\\Temp\\missing.vcf").ok());
  EXPECT_FALSE(platform::pim::ImportPimDeviceFile(u"\\..\\outside.vcf").ok());
}

}  // namespace
