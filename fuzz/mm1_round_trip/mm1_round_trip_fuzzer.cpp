// Decodes arbitrary bytes as an MMS PDU, encodes what decoded and decodes that again. Every header
// of the PDU and of each part must come back equal, and encoding the second decode must give the
// same bytes as the first encoding. A part's content type written as text and read back must write
// the same text again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <vector>

#include "mm1/content_type.h"
#include "mm1/pdu_decoder.h"
#include "mm1/pdu_encoder.h"

namespace {

// Names the broken expectation before stopping, so that a finding says what differed.
void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "round trip changed: %s\n", what);
    __builtin_trap();
  }
}

// A text sent without a charset that starts with a control byte can only be written with one: the
// writer labels it US-ASCII, which says no more than the bare text did.
bool SameText(const mm1::EncodedString& a, const mm1::EncodedString& b) {
  constexpr std::uint32_t kUsAscii = 3;
  return a.bytes == b.bytes && (a.charset == b.charset || (!a.charset && b.charset == kUsAscii));
}

bool SameText(const std::optional<mm1::EncodedString>& a, const std::optional<mm1::EncodedString>& b) {
  return a.has_value() == b.has_value() && (!a || SameText(*a, *b));
}

bool SameText(const std::vector<mm1::EncodedString>& a, const std::vector<mm1::EncodedString>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const mm1::EncodedString& x, const mm1::EncodedString& y) { return SameText(x, y); });
}

bool SameFrom(const std::optional<mm1::FromAddress>& a, const std::optional<mm1::FromAddress>& b) {
  return a.has_value() == b.has_value() &&
         (!a || (a->insertAddress == b->insertAddress && SameText(a->address, b->address)));
}

// A charset named by text goes out as its number, and comes back under the name of that number.
bool SameParameter(const mm1::WspParameter& a, const mm1::WspParameter& b) {
  if (a == b) return true;
  return a.name == "charset" && a.name == b.name && a.token == b.token && a.number && a.number == b.number;
}

bool SameType(const mm1::ContentType& a, const mm1::ContentType& b) {
  return a.mediaType == b.mediaType && a.unassignedCode == b.unassignedCode &&
         std::equal(a.parameters.begin(), a.parameters.end(), b.parameters.begin(), b.parameters.end(), SameParameter);
}

bool SameType(const std::optional<mm1::ContentType>& a, const std::optional<mm1::ContentType>& b) {
  return a.has_value() == b.has_value() && (!a || SameType(*a, *b));
}

#define CHECK_SAME(field) Check(a.field == b.field, #field)
#define CHECK_SAME_TEXT(field) Check(SameText(a.field, b.field), #field)

void CheckSameHeaders(const mm1::Pdu& a, const mm1::Pdu& b) {
  CHECK_SAME(messageType);
  CHECK_SAME(transactionId);
  CHECK_SAME(mmsVersion);
  CHECK_SAME(messageId);
  CHECK_SAME(date);
  Check(SameFrom(a.from, b.from), "from");
  CHECK_SAME_TEXT(to);
  CHECK_SAME_TEXT(cc);
  CHECK_SAME_TEXT(bcc);
  CHECK_SAME_TEXT(subject);
  CHECK_SAME(messageClass);
  CHECK_SAME(priority);
  CHECK_SAME(expiry);
  CHECK_SAME(deliveryTime);
  CHECK_SAME(deliveryReport);
  CHECK_SAME(readReport);
  CHECK_SAME(reportAllowed);
  CHECK_SAME(senderVisibility);
  CHECK_SAME(messageSize);
  CHECK_SAME(contentLocation);
  CHECK_SAME(status);
  CHECK_SAME(responseStatus);
  CHECK_SAME_TEXT(responseText);
  CHECK_SAME(retrieveStatus);
  CHECK_SAME_TEXT(retrieveText);
  CHECK_SAME(readStatus);
  CHECK_SAME(otherHeaders);
  Check(SameType(a.contentType, b.contentType), "contentType");
  CHECK_SAME(multipart);
  CHECK_SAME(parts.size());
  for (std::size_t i = 0; i < a.parts.size(); ++i) {
    Check(SameType(a.parts[i].contentType, b.parts[i].contentType), "part contentType");
    CHECK_SAME(parts[i].contentId);
    CHECK_SAME(parts[i].contentLocation);
    CHECK_SAME(parts[i].disposition);
    CHECK_SAME(parts[i].otherHeaders);
    Check(std::equal(a.parts[i].data.begin(), a.parts[i].data.end(), b.parts[i].data.begin(), b.parts[i].data.end()),
          "part data");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto pdu = mm1::DecodePdu(std::span(data, size));
  if (!pdu) return 0;
  for (const mm1::Part& part : pdu.Value().parts) {
    // The text form may tidy a name (blanks around it, a charset's spelling) once; it keeps the
    // media type and every parameter, and what it writes the second time it writes again. A media
    // type sent as a text with parameters of its own ("image/gif; name=a.gif") is split there, and
    // quote marks are left out of it.
    const mm1::ContentType read = mm1::ParseContentTypeText(mm1::ContentTypeText(part.contentType));
    const std::string& media = part.contentType.mediaType;
    if (media.find_first_of(";\"") == std::string::npos && !media.starts_with(' ') && !media.ends_with(' ')) {
      Check(read.parameters.size() == part.contentType.parameters.size(), "parameters of the content type as text");
      Check(read.mediaType == part.contentType.mediaType || part.contentType.mediaType.empty(),
            "media type of the content type as text");
    }
    const std::string text = mm1::ContentTypeText(read);
    const std::string again = mm1::ContentTypeText(mm1::ParseContentTypeText(text));
    if (again != text) std::fprintf(stderr, "[%s] read back as [%s]\n", text.c_str(), again.c_str());
    Check(again == text, "content type as text");
  }
  auto encoded = mm1::EncodePdu(pdu.Value());
  if (!encoded) return 0;
  auto again = mm1::DecodePdu(encoded.Value());
  Check(static_cast<bool>(again), "decodes again");
  CheckSameHeaders(pdu.Value(), again.Value());
  auto second = mm1::EncodePdu(again.Value());
  Check(second && second.Value() == encoded.Value(), "second encoding");
  return 0;
}
