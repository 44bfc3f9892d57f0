// The items of the device's contact store: contacts, appointments and tasks, as far as the forms use
// them. Text is UTF-8 here; the transport's ULC_Poom hands it out as UTF-16.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace platform::pim {

enum class PimKind { kContact = 1, kAppointment = 2, kTask = 3 };

// Field properties of a contact, as the chooser reports the field a person picked. The three
// telephones are mobile, home and work in that order; the three e-mail addresses follow 0x0096001F.
constexpr ULONG kPropertyMobileTelephone = 0x0090001F;
constexpr ULONG kPropertyHomeTelephone = 0x0091001F;
constexpr ULONG kPropertyWorkTelephone = 0x0092001F;
constexpr ULONG kPropertyEmail1 = 0x0096001F;
constexpr ULONG kPropertyEmail2 = 0x0097001F;
constexpr ULONG kPropertyEmail3 = 0x0098001F;
constexpr ULONG kPropertyGivenName = 0x0080001F;
constexpr ULONG kPropertyFamilyName = 0x0081001F;
constexpr ULONG kPropertyFileAs = 0x0082001F;

// What a chooser may be asked to offer: the contact's telephone numbers that are set, its e-mail
// addresses that are set, or every text field of the contact, set or empty (so that a new value
// can be put into an empty field).
constexpr ULONG kRequestTelephoneNumbers = 0x1801001F;
constexpr ULONG kRequestEmailAddresses = 0x1806001F;
constexpr ULONG kRequestAllFields = 0x1800001F;

// Caps that keep one item small enough for the forms and the store.
constexpr std::size_t kMaxFieldBytes = 4096;
constexpr std::size_t kMaxPhotoBytes = 1u << 20;

struct Contact {
  std::int64_t id = 0;  // 0 until stored; never reused once given
  std::string givenName;
  std::string familyName;
  std::string fileAs;
  std::string mobile;
  std::string home;
  std::string work;
  std::array<std::string, 3> email;
  std::string photo;     // the picture's bytes (JPEG, PNG, GIF or BMP), empty for none
  std::string ringTone;  // device path of the contact's own sound, empty for the default

  bool operator==(const Contact&) const = default;
};

struct Appointment {
  std::int64_t id = 0;
  std::string subject;
  std::string location;
  std::string note;
  std::int64_t start = 0;  // seconds since 1970-01-01 UTC
  std::int64_t end = 0;
  bool allDay = false;

  bool operator==(const Appointment&) const = default;
};

struct Task {
  std::int64_t id = 0;
  std::string subject;
  std::string note;
  std::int64_t due = 0;  // seconds since 1970-01-01 UTC; 0 for none
  bool complete = false;
  int priority = 0;  // 0 none, 1 high to 9 low, as vCalendar counts

  bool operator==(const Task&) const = default;
};

// The text field a property names, or null for a property that is not a contact's text field.
std::string* ContactField(Contact& contact, ULONG property);
const std::string* ContactField(const Contact& contact, ULONG property);
// The fields a chooser request offers, in the order they are listed; empty for an unknown request.
std::basic_string_view<ULONG> RequestFields(ULONG request);
// A short name of a field for lists ("mobile", "e-mail 2", ...); empty for an unknown property.
std::string_view FieldLabel(ULONG property);

// "Family, Given" (or whichever is set, else the first e-mail or number); what a contact files under
// when no file-as was given.
std::string DefaultFileAs(const Contact& contact);
// The contact's name for lists: file-as, else the default.
std::string DisplayName(const Contact& contact);

// A contact of a name written as one ("Given Names Family"): the last word is the family name.
Contact ContactNamed(std::string_view name);

// The kind of picture the bytes hold ("JPEG", "PNG", "GIF", "BMP"), or nothing.
std::optional<std::string_view> PictureType(std::string_view bytes);

}  // namespace platform::pim
