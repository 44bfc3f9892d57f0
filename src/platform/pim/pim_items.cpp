#include "platform/pim/pim_items.h"

namespace platform::pim {
namespace {

constexpr ULONG kTelephoneFields[] = {kPropertyMobileTelephone, kPropertyHomeTelephone, kPropertyWorkTelephone};
constexpr ULONG kEmailFields[] = {kPropertyEmail1, kPropertyEmail2, kPropertyEmail3};
constexpr ULONG kAllFields[] = {kPropertyGivenName,       kPropertyFamilyName,    kPropertyFileAs,
                                kPropertyMobileTelephone, kPropertyHomeTelephone, kPropertyWorkTelephone,
                                kPropertyEmail1,          kPropertyEmail2,        kPropertyEmail3};

struct FieldName {
  ULONG property;
  std::string_view label;
};
constexpr FieldName kLabels[] = {
    {kPropertyGivenName, "given name"},   {kPropertyFamilyName, "family name"},  {kPropertyFileAs, "file as"},
    {kPropertyMobileTelephone, "mobile"}, {kPropertyHomeTelephone, "home"},      {kPropertyWorkTelephone, "work"},
    {kPropertyEmail1, "e-mail"},          {kPropertyEmail2, "e-mail 2"},         {kPropertyEmail3, "e-mail 3"},
};

template <typename ContactType>
auto FieldOf(ContactType& contact, ULONG property) -> decltype(&contact.fileAs) {
  switch (property) {
    case kPropertyGivenName: return &contact.givenName;
    case kPropertyFamilyName: return &contact.familyName;
    case kPropertyFileAs: return &contact.fileAs;
    case kPropertyMobileTelephone: return &contact.mobile;
    case kPropertyHomeTelephone: return &contact.home;
    case kPropertyWorkTelephone: return &contact.work;
    case kPropertyEmail1: return &contact.email[0];
    case kPropertyEmail2: return &contact.email[1];
    case kPropertyEmail3: return &contact.email[2];
    default: return nullptr;
  }
}

}  // namespace

std::string* ContactField(Contact& contact, ULONG property) { return FieldOf(contact, property); }
const std::string* ContactField(const Contact& contact, ULONG property) { return FieldOf(contact, property); }

std::basic_string_view<ULONG> RequestFields(ULONG request) {
  switch (request) {
    case kRequestTelephoneNumbers: return {kTelephoneFields, std::size(kTelephoneFields)};
    case kRequestEmailAddresses: return {kEmailFields, std::size(kEmailFields)};
    case kRequestAllFields: return {kAllFields, std::size(kAllFields)};
    default: return {};
  }
}

std::string_view FieldLabel(ULONG property) {
  for (const FieldName& name : kLabels) {
    if (name.property == property) return name.label;
  }
  return {};
}

std::string DefaultFileAs(const Contact& contact) {
  if (!contact.familyName.empty() && !contact.givenName.empty()) return contact.familyName + ", " + contact.givenName;
  if (!contact.familyName.empty()) return contact.familyName;
  if (!contact.givenName.empty()) return contact.givenName;
  for (const std::string& email : contact.email) {
    if (!email.empty()) return email;
  }
  for (const std::string* number : {&contact.mobile, &contact.home, &contact.work}) {
    if (!number->empty()) return *number;
  }
  return {};
}

std::string DisplayName(const Contact& contact) {
  return contact.fileAs.empty() ? DefaultFileAs(contact) : contact.fileAs;
}

Contact ContactNamed(std::string_view name) {
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  Contact contact;
  const std::size_t space = name.rfind(' ');
  if (space == std::string_view::npos) {
    contact.givenName = std::string(name);
  } else {
    std::string_view given = name.substr(0, space);
    while (!given.empty() && given.back() == ' ') given.remove_suffix(1);
    contact.givenName = std::string(given);
    contact.familyName = std::string(name.substr(space + 1));
  }
  contact.fileAs = DefaultFileAs(contact);
  return contact;
}

std::optional<std::string_view> PictureType(std::string_view bytes) {
  auto starts = [&](std::string_view magic) { return bytes.substr(0, magic.size()) == magic; };
  if (starts("\xFF\xD8\xFF")) return "JPEG";
  if (starts("\x89PNG\r\n\x1A\n")) return "PNG";
  if (starts("GIF87a") || starts("GIF89a")) return "GIF";
  if (starts("BM") && bytes.size() >= 26) return "BMP";
  return std::nullopt;
}

}  // namespace platform::pim
