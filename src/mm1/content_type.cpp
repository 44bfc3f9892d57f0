#include "mm1/content_type.h"

#include "mm1/ascii.h"
#include "mm1/charsets.h"
#include "mm1/content_type_split.h"
#include "mm1/well_known_tables.h"

namespace mm1 {
namespace {

constexpr std::size_t kMaxParameters = 32;

// Well-known-charset = Any-charset | Integer-value; some senders put the charset's name instead.
Status ReadCharsetValue(WspCursor& cursor, WspParameter& parameter) {
  auto first = cursor.PeekU8();
  if (!first) return first.Failure();
  if (first.Value() >= 32 && first.Value() < 0x80) {
    auto name = cursor.ReadTextValue();
    if (!name) return name.Failure();
    parameter.value = name.Value();
    if (auto mibenum = CharsetFromName(name.Value())) parameter.number = *mibenum;
    return {};
  }
  auto mibenum = cursor.ReadIntegerValue();
  if (!mibenum) return mibenum.Failure();
  parameter.number = mibenum.Value();
  std::string_view iana = mibenum.Value() <= 0xFFFFFFFFu ? CharsetIanaName(static_cast<std::uint32_t>(mibenum.Value())) : "";
  parameter.value = iana.empty() ? std::to_string(mibenum.Value()) : std::string(iana);
  return {};
}

// Constrained-encoding = Extension-Media | Short-integer
Status ReadMediaValue(WspCursor& cursor, WspParameter& parameter) {
  auto first = cursor.PeekU8();
  if (!first) return first.Failure();
  if (first.Value() < 0x80) {
    auto text = cursor.ReadTextString();
    if (!text) return text.Failure();
    parameter.value = std::move(text.Value());
    return {};
  }
  std::size_t start = cursor.Offset();
  auto code = cursor.ReadShortInteger();
  if (!code) return code.Failure();
  parameter.value = std::string(WellKnownMediaType(code.Value()));
  if (parameter.value.empty()) return Error{"unassigned media type code in parameter", start};
  return {};
}

Status ReadTypedValue(WspCursor& cursor, ParameterKind kind, WspParameter& parameter) {
  switch (kind) {
    case ParameterKind::kCharset: return ReadCharsetValue(cursor, parameter);
    case ParameterKind::kMedia: return ReadMediaValue(cursor, parameter);
    case ParameterKind::kNoValue: {
      auto octet = cursor.ReadU8();
      if (!octet) return octet.Failure();
      return {};
    }
    case ParameterKind::kQ: {
      auto q = cursor.ReadUintvar();
      if (!q) return q.Failure();
      parameter.value = std::to_string(q.Value());
      parameter.number = q.Value();
      return {};
    }
    case ParameterKind::kText: break;
    case ParameterKind::kInteger:
    case ParameterKind::kDate:
    case ParameterKind::kVersion: {
      auto first = cursor.PeekU8();
      if (!first) return first.Failure();
      if (first.Value() >= 32 && first.Value() < 0x80) break;  // a textual form of the number
      auto number = cursor.ReadIntegerValue();
      if (!number) return number.Failure();
      parameter.value = std::to_string(number.Value());
      parameter.number = number.Value();
      return {};
    }
  }
  auto text = cursor.ReadTextValue();
  if (!text) return text.Failure();
  parameter.value = std::move(text.Value());
  return {};
}

// Untyped-value = Integer-value | Text-value, told apart by the first octet.
ParameterKind UntypedKind(const WspCursor& cursor) {
  auto first = cursor.PeekU8();
  bool integer = first && (first.Value() >= 0x80 || (first.Value() > 0 && first.Value() <= 30));
  return integer ? ParameterKind::kInteger : ParameterKind::kText;
}

}  // namespace

const WspParameter* ContentType::Find(std::string_view name) const {
  for (const WspParameter& parameter : parameters) {
    if (EqualsNoCase(parameter.name, name)) return &parameter;
  }
  return nullptr;
}

std::optional<std::uint32_t> ContentType::Charset() const {
  const WspParameter* charset = Find("charset");
  if (charset == nullptr) return std::nullopt;
  if (charset->number && *charset->number <= 0xFFFFFFFFu) return static_cast<std::uint32_t>(*charset->number);
  return CharsetFromName(charset->value);
}

bool ContentType::IsMultipart() const {
  return LowerAscii(mediaType).starts_with("application/vnd.wap.multipart.");
}

// Typed-parameter   = Well-known-parameter-token Typed-value
// Untyped-parameter = Token-text Untyped-value
// Untyped-value     = Integer-value | Text-value
Result<WspParameter> ReadParameter(WspCursor& cursor) {
  auto first = cursor.PeekU8();
  if (!first) return first.Failure();
  WspParameter parameter;
  if (first.Value() >= 32 && first.Value() < 0x80) {
    auto name = cursor.ReadTokenText();
    if (!name) return name.Failure();
    parameter.name = std::move(name.Value());
    Status status = ReadTypedValue(cursor, UntypedKind(cursor), parameter);
    if (!status) return status.Failure();
    return parameter;
  }
  std::size_t start = cursor.Offset();
  auto token = cursor.ReadIntegerValue();
  if (!token) return token.Failure();
  if (token.Value() >= 0x80) return Error{"parameter token out of range", start};
  parameter.token = static_cast<std::uint8_t>(token.Value());
  const ParameterToken* known = FindParameterToken(*parameter.token);
  // A token assigned after WSP 1.4 is kept by number, its value taken by the form of its first octet.
  parameter.name = known ? std::string(known->name) : "token-" + std::to_string(*parameter.token);
  Status status = ReadTypedValue(cursor, known ? known->kind : UntypedKind(cursor), parameter);
  if (!status) return status.Failure();
  return parameter;
}

// Constrained-media    = Extension-Media | Short-integer
// Content-general-form = Value-length Media-type
// Media-type           = (Well-known-media | Extension-Media) *(Parameter)
// Well-known-media     = Integer-value
// A media type written as text is a token of printable ASCII; anything else (control bytes behind a
// Quote mark, say) could not be written back the same way.
bool IsMediaTypeText(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c <= 32 || c >= 127) return false;
  }
  return true;
}

Result<ContentType> ReadContentType(WspCursor& cursor) {
  auto first = cursor.PeekU8();
  if (!first) return first.Failure();
  ContentType type;
  std::size_t start = cursor.Offset();
  if (first.Value() >= 32) {
    if (first.Value() < 0x80) {
      auto text = cursor.ReadTextString();
      if (!text) return text.Failure();
      if (!IsMediaTypeText(text.Value())) return Error{"the content type is not a media type", start};
      type.mediaType = std::move(text.Value());
      return type;
    }
    auto code = cursor.ReadShortInteger();
    type.mediaType = std::string(WellKnownMediaType(code.Value()));
    if (type.mediaType.empty()) type.unassignedCode = code.Value();
    return type;
  }
  auto length = cursor.ReadValueLength();
  if (!length) return length.Failure();
  auto inner = cursor.Split(length.Value());
  if (!inner) return inner.Failure();
  WspCursor& media = inner.Value();
  auto mediaFirst = media.PeekU8();
  if (!mediaFirst) return Error{"empty content type", start};
  if (mediaFirst.Value() >= 32 && mediaFirst.Value() < 0x80) {
    auto text = media.ReadTextString();
    if (!text) return text.Failure();
    if (!IsMediaTypeText(text.Value())) return Error{"the content type is not a media type", start};
    type.mediaType = std::move(text.Value());
  } else {
    auto code = media.ReadIntegerValue();
    if (!code) return code.Failure();
    type.mediaType = std::string(WellKnownMediaType(static_cast<std::uint32_t>(std::min<std::uint64_t>(code.Value(), 0xFFFF))));
    if (type.mediaType.empty()) type.unassignedCode = static_cast<std::uint32_t>(std::min<std::uint64_t>(code.Value(), 0xFFFFFFFF));
  }
  while (!media.AtEnd()) {
    if (type.parameters.size() == kMaxParameters) return media.Fail("too many content type parameters");
    auto parameter = ReadParameter(media);
    if (!parameter) return parameter.Failure();
    type.parameters.push_back(std::move(parameter.Value()));
  }
  return type;
}

}  // namespace mm1
