// mmsform contacts list [--json] | add NAME [--mobile N] [--email E] | import FILE.vcf|FILE.vcs |
//                  export ID OUT.vcf [--version 2.1|3.0] | show ID [--json] [--photo OUT]
// The device's contacts: what the forms choose from, and what they assigned (photo, ring tone, a
// number or address kept from a message).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "command.h"
#include "device_writing.h"
#include "json_writer.h"
#include "terminal_width.h"
#include "platform/pim/pim_import.h"
#include "platform/pim/pim_store.h"
#include "platform/pim/vcard_writer.h"
#include "platform/kernel/temporary_files.h"

namespace mmsform_tool {
namespace {

namespace fs = std::filesystem;
using platform::pim::Contact;
using platform::pim::PimStore;

constexpr int kUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: mmsform contacts list [--json]\n"
               "       mmsform contacts add NAME [--mobile NUMBER] [--email ADDRESS]\n"
               "       mmsform contacts import FILE.vcf|FILE.vcs\n"
               "       mmsform contacts export ID OUT.vcf [--version 2.1|3.0]\n"
               "       mmsform contacts show ID [--json] [--photo OUT]\n");
  return kUsage;
}

PimStore* OpenStore() {
  std::string error;
  PimStore* store = PimStore::ForCurrentDevice(&error);
  if (store == nullptr) std::fprintf(stderr, "mmsform contacts: %s\n", error.c_str());
  return store;
}

// The device's contact `id`, or nothing after saying why on stderr.
std::optional<Contact> OpenContact(std::int64_t id) {
  PimStore* store = OpenStore();
  if (store == nullptr) return std::nullopt;
  auto contact = store->FindContact(id);
  if (!contact) std::fprintf(stderr, "mmsform contacts: no contact %lld\n", static_cast<long long>(id));
  return contact;
}

std::optional<std::int64_t> ParseId(const char* text) {
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != 0 || value <= 0) return std::nullopt;
  return value;
}

// Writes a host file under a temporary name and renames it, so that a failed write leaves no part.
bool WriteHostFile(const fs::path& path, std::string_view bytes, std::string* error) {
  fs::path temporary = path;
  temporary += platform::TemporarySuffix();
  {
    std::ofstream out(temporary, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      *error = "cannot write " + path.string();
      return false;
    }
  }
  std::error_code renameError;
  fs::rename(temporary, path, renameError);
  if (renameError) {
    fs::remove(temporary, renameError);
    *error = "cannot write " + path.string();
    return false;
  }
  return true;
}

void WriteContactJson(JsonWriter& json, const Contact& contact) {
  json.BeginObject().Key("id").Int(contact.id).Key("file_as").String(contact.fileAs)
      .Key("given_name").String(contact.givenName).Key("family_name").String(contact.familyName)
      .Key("mobile").String(contact.mobile).Key("home").String(contact.home).Key("work").String(contact.work)
      .Key("email").BeginArray();
  for (const std::string& email : contact.email) {
    if (!email.empty()) json.String(email);
  }
  json.EndArray().Key("photo");
  if (auto type = platform::pim::PictureType(contact.photo)) {
    json.BeginObject().Key("type").String(*type).Key("bytes").Uint(contact.photo.size()).EndObject();
  } else {
    json.Null();
  }
  json.Key("ring_tone").String(contact.ringTone).EndObject();
}

int List(std::span<char* const> args) {
  const bool json = args.size() == 1 && std::string_view(args[0]) == "--json";
  if (!args.empty() && !json) return Usage();
  PimStore* store = OpenStore();
  if (store == nullptr) return 1;
  for (std::int64_t id : store->Ids(platform::pim::PimKind::kContact)) {
    auto contact = store->FindContact(id);
    if (!contact) continue;
    if (json) {
      JsonWriter writer;
      WriteContactJson(writer, *contact);
      std::printf("%s\n", writer.Text().c_str());
    } else {
      std::printf("%-5lld %s %-18s %s\n", static_cast<long long>(id), PaddedToColumns(contact->fileAs, 30).c_str(),
                  contact->mobile.c_str(), contact->email[0].c_str());
    }
  }
  return 0;
}

int Add(std::span<char* const> args) {
  if (args.empty() || *args[0] == 0 || args[0][0] == '-') return Usage();
  Contact contact = platform::pim::ContactNamed(args[0]);
  for (std::size_t i = 1; i < args.size(); i += 2) {
    const std::string_view option = args[i];
    if (i + 1 >= args.size()) return Usage();
    if (option == "--mobile") {
      contact.mobile = args[i + 1];
    } else if (option == "--email") {
      contact.email[0] = args[i + 1];
    } else {
      return Usage();
    }
  }
  for (const std::string* field : {&contact.givenName, &contact.familyName, &contact.mobile, &contact.email[0]}) {
    if (field->size() > platform::pim::kMaxFieldBytes) {
      std::fprintf(stderr, "mmsform contacts: a field is longer than %zu bytes\n", platform::pim::kMaxFieldBytes);
      return 1;
    }
  }
  CleanUpBeforeWriting();
  PimStore* store = OpenStore();
  if (store == nullptr) return 1;
  auto id = store->Add(contact);
  if (!id) {
    std::fprintf(stderr, "mmsform contacts: the contact was not stored: %s\n", store->Problem().c_str());
    return 1;
  }
  std::printf("%lld\n", static_cast<long long>(*id));
  return 0;
}

int Import(std::span<char* const> args) {
  if (args.size() != 1) return Usage();
  CleanUpBeforeWriting();
  const platform::pim::PimImport import = platform::pim::ImportPimHostFile(args[0]);
  if (!import.ok()) {
    std::fprintf(stderr, "mmsform contacts: %s: %s; nothing was imported\n", args[0], import.error.c_str());
    return 1;
  }
  for (const std::string& warning : import.warnings) std::fprintf(stderr, "mmsform contacts: %s\n", warning.c_str());
  for (std::int64_t id : import.contacts) std::printf("contact %lld\n", static_cast<long long>(id));
  for (std::int64_t id : import.appointments) std::printf("appointment %lld\n", static_cast<long long>(id));
  for (std::int64_t id : import.tasks) std::printf("task %lld\n", static_cast<long long>(id));
  return 0;
}

int Export(std::span<char* const> args) {
  if (args.size() != 2 && args.size() != 4) return Usage();
  auto id = ParseId(args[0]);
  if (!id) return Usage();
  auto version = platform::pim::VcardVersion::k21;
  if (args.size() == 4) {
    const std::string_view option = args[2], value = args[3];
    if (option != "--version" || (value != "2.1" && value != "3.0")) return Usage();
    if (value == "3.0") version = platform::pim::VcardVersion::k30;
  }
  auto contact = OpenContact(*id);
  if (!contact) return 1;
  std::string error;
  if (!WriteHostFile(args[1], platform::pim::WriteVcard(*contact, version), &error)) {
    std::fprintf(stderr, "mmsform contacts: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

int Show(std::span<char* const> args) {
  if (args.empty()) return Usage();
  auto id = ParseId(args[0]);
  if (!id) return Usage();
  bool json = false;
  const char* photoOut = nullptr;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view option = args[i];
    if (option == "--json") {
      json = true;
    } else if (option == "--photo" && i + 1 < args.size()) {
      photoOut = args[++i];
    } else {
      return Usage();
    }
  }
  auto contact = OpenContact(*id);
  if (!contact) return 1;
  if (json) {
    JsonWriter writer;
    WriteContactJson(writer, *contact);
    std::printf("%s\n", writer.Text().c_str());
  } else {
    std::printf("id:          %lld\nfile as:     %s\ngiven name:  %s\nfamily name: %s\n", static_cast<long long>(contact->id),
                contact->fileAs.c_str(), contact->givenName.c_str(), contact->familyName.c_str());
    std::printf("mobile:      %s\nhome:        %s\nwork:        %s\n", contact->mobile.c_str(), contact->home.c_str(),
                contact->work.c_str());
    for (std::size_t i = 0; i < contact->email.size(); ++i) {
      std::printf("e-mail %zu:    %s\n", i + 1, contact->email[i].c_str());
    }
    auto type = platform::pim::PictureType(contact->photo);
    if (type) {
      std::printf("photo:       %.*s, %zu bytes\n", static_cast<int>(type->size()), type->data(), contact->photo.size());
    } else {
      std::printf("photo:       none\n");
    }
    std::printf("ring tone:   %s\n", contact->ringTone.empty() ? "default" : contact->ringTone.c_str());
  }
  if (photoOut != nullptr) {
    std::string error;
    if (contact->photo.empty()) {
      std::fprintf(stderr, "mmsform contacts: contact %lld has no photo\n", static_cast<long long>(*id));
      return 1;
    }
    if (!WriteHostFile(photoOut, contact->photo, &error)) {
      std::fprintf(stderr, "mmsform contacts: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}

int RunContacts(std::span<char* const> args) {
  if (args.empty()) return Usage();
  const std::string_view action = args[0];
  const auto rest = args.subspan(1);
  if (action == "list") return List(rest);
  if (action == "add") return Add(rest);
  if (action == "import") return Import(rest);
  if (action == "export") return Export(rest);
  if (action == "show") return Show(rest);
  return Usage();
}

const Command kContacts("contacts",
                        "contacts list [--json] | add NAME [--mobile N] [--email E] | import FILE.vcf | "
                        "export ID OUT.vcf | show ID   the device's contacts",
                        RunContacts);

}  // namespace
}  // namespace mmsform_tool
