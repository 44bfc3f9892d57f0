// Writes content lines of vCard and vCalendar files: text values escaped, and either folded at 75
// bytes (vCard 3.0) or, for the 2.1 forms, sent as quoted-printable UTF-8 when they are not plain
// ASCII. Lines end in CRLF.
#pragma once

#include <string>
#include <string_view>

namespace platform::pim {

enum class VersitForm {
  kVersion21,  // vCard 2.1 and vCalendar 1.0
  kVersion30,  // vCard 3.0
};

class VersitWriter {
 public:
  explicit VersitWriter(VersitForm form) : m_form(form) {}

  // A line as given: the head ("TEL;TYPE=CELL") and a value that needs no escaping.
  void Raw(std::string_view head, std::string_view value);
  // A text value, escaped; components of a structured value are joined by ";" unescaped.
  void Text(std::string_view head, std::string_view value);
  void Structured(std::string_view head, std::initializer_list<std::string_view> components);
  // Binary data in base64 (2.1: ENCODING=BASE64, lines of 76 indented; 3.0: ENCODING=b, folded).
  void Binary(std::string_view head, std::string_view bytes);

  const std::string& Output() const { return m_out; }

 private:
  void Emit(std::string_view head, std::string_view escaped);
  std::string Escape(std::string_view value) const;

  VersitForm m_form;
  std::string m_out;
};

std::string EncodeQuotedPrintable(std::string_view bytes);

}  // namespace platform::pim
