#include "platform/pim/vcard_reader.h"

#include "platform/pim/versit_lines.h"
#include "platform/text/text_conversion.h"

namespace platform::pim {
namespace {

struct CardReader {
  VcardRead* result = nullptr;
  Contact contact;
  std::string formattedName;
  bool sawName = false;
  std::size_t emails = 0;
  int properties = 0;

  void Warn(const VersitLine& line, std::string_view what) {
    result->warnings.push_back("line " + std::to_string(line.line) + ": " + std::string(what));
  }

  bool Fail(const VersitLine& line, std::string what) {
    result->error = std::move(what);
    result->errorLine = line.line;
    return false;
  }

  // A field that is cut to the store's cap, at a character boundary.
  // Control characters (a carriage return of a quoted-printable line end, a stray NUL) are
  // dropped: a field holds text, and a line break is "\n" alone.
  static std::string Capped(std::string text) {
    std::erase_if(text, [](char c) { return (c >= 0 && c < 0x20 && c != '\n' && c != '\t') || c == 0x7F; });
    if (text.size() <= kMaxFieldBytes) return text;
    std::size_t end = kMaxFieldBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
  }

  bool Take(const VersitLine& line) {
    std::string error;
    if (line.name == "PHOTO") return TakePhoto(line);
    if (line.name != "N" && line.name != "FN" && line.name != "TEL" && line.name != "EMAIL") return true;
    std::optional<std::string> text = DecodeText(line, &error);
    if (!text) return Fail(line, line.name + ": " + error);
    if (line.name == "N") {
      sawName = true;
      std::vector<std::string> parts = SplitComponents(*text, ';');
      contact.familyName = Capped(parts[0]);
      if (parts.size() > 1) contact.givenName = Capped(parts[1]);
    } else if (line.name == "FN") {
      formattedName = Capped(Unescape(*text));
    } else if (line.name == "TEL") {
      TakeTelephone(line, Capped(Unescape(*text)));
    } else {
      TakeEmail(line, Capped(Unescape(*text)));
    }
    return true;
  }

  void TakeTelephone(const VersitLine& line, std::string number) {
    if (number.empty()) return;
    if (line.HasType("FAX") || line.HasType("PAGER") || line.HasType("MODEM")) {
      Warn(line, "fax, pager and modem numbers are not kept");
      return;
    }
    std::string* field = line.HasType("CELL")   ? &contact.mobile
                         : line.HasType("HOME") ? &contact.home
                         : line.HasType("WORK") ? &contact.work
                                                : nullptr;
    if (field == nullptr) {  // no type: the first free telephone field
      for (std::string* free : {&contact.mobile, &contact.home, &contact.work}) {
        if (free->empty()) {
          field = free;
          break;
        }
      }
    }
    if (field == nullptr) {
      Warn(line, "no telephone field is free for this number: it is not kept");
      return;
    }
    if (!field->empty()) {
      Warn(line, "a second number of the same kind is not kept");
      return;
    }
    *field = std::move(number);
  }

  // Each EMAIL takes the next of the three fields, an empty one too, so that a contact's second
  // address stays its second when a card of ours is read back.
  void TakeEmail(const VersitLine& line, std::string address) {
    if (emails >= contact.email.size()) {
      if (!address.empty()) Warn(line, "more than three e-mail addresses: this one is not kept");
      return;
    }
    contact.email[emails++] = std::move(address);
  }

  bool TakePhoto(const VersitLine& line) {
    if (EqualsNoCase(line.Parameter("VALUE"), std::string_view("URI")) ||
        EqualsNoCase(line.Parameter("VALUE"), std::string_view("URL"))) {
      Warn(line, "a PHOTO given by address is not fetched");
      return true;
    }
    std::string error;
    std::optional<std::string> bytes = DecodeValueBytes(line, &error);
    if (!bytes) return Fail(line, "PHOTO: " + error);
    if (bytes->empty()) return true;
    if (!PictureType(*bytes)) {
      Warn(line, "PHOTO is not a JPEG, PNG, GIF or BMP picture: left out");
    } else if (bytes->size() > kMaxPhotoBytes) {
      Warn(line, "PHOTO is larger than 1 MB: left out");
    } else {
      contact.photo = std::move(*bytes);
    }
    return true;
  }

  Contact Finish() {
    // The formatted name is what a person sees; it files the contact, and names it when N is missing.
    if (!sawName && !formattedName.empty()) {
      const Contact named = ContactNamed(formattedName);
      contact.givenName = named.givenName;
      contact.familyName = named.familyName;
    }
    contact.fileAs = formattedName.empty() ? DefaultFileAs(contact) : formattedName;
    return std::move(contact);
  }
};



void ReadInto(std::string_view text, VcardRead& result) {
  VersitLines lines = ReadVersitLines(text, kMaxVcards * 8 + kMaxVcardProperties);
  if (!lines.ok()) {
    result.error = std::move(lines.error);
    result.errorLine = lines.errorLine;
    return;
  }
  std::optional<CardReader> card;
  for (const VersitLine& line : lines.lines) {
    const bool begin = line.name == "BEGIN" && EqualsNoCase(TrimSpaces(line.value), std::string_view("VCARD"));
    const bool end = line.name == "END" && EqualsNoCase(TrimSpaces(line.value), std::string_view("VCARD"));
    if (!card) {
      if (!begin) {
        result.error = "text outside a vCard";
        result.errorLine = line.line;
        return;
      }
      if (result.contacts.size() >= kMaxVcards) {
        result.error = "more than " + std::to_string(kMaxVcards) + " vCards in one file";
        result.errorLine = line.line;
        return;
      }
      card.emplace();
      card->result = &result;
      continue;
    }
    if (begin) {
      result.error = "a vCard inside a vCard";
      result.errorLine = line.line;
      return;
    }
    if (end) {
      result.contacts.push_back(card->Finish());
      card.reset();
      continue;
    }
    if (++card->properties > static_cast<int>(kMaxVcardProperties)) {
      result.error = "a vCard of more than " + std::to_string(kMaxVcardProperties) + " properties";
      result.errorLine = line.line;
      return;
    }
    if (!card->Take(line)) return;
  }
  if (card) {
    result.error = "the last vCard has no END:VCARD";
    result.errorLine = lines.lines.empty() ? 0 : lines.lines.back().line;
  } else if (result.contacts.empty()) {
    result.error = "no vCard in the file";
  }
}

}  // namespace

VcardRead ReadVcards(std::string_view text) {
  VcardRead result;
  ReadInto(text, result);
  if (!result.ok()) result.contacts.clear();
  return result;
}

}  // namespace platform::pim
