// The text form of content types, and the binary writer, kept apart from the binary reader.
#include "mm1/ascii.h"
#include "mm1/charsets.h"
#include "mm1/content_type.h"
#include "mm1/content_type_split.h"
#include "mm1/well_known_tables.h"

namespace mm1 {
namespace {

std::optional<std::uint64_t> ParseDecimal(std::string_view text) {
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (char c : text) value = value * 10 + static_cast<std::uint64_t>(c - '0');
  return value;
}

// Text-value: No-value for an empty text; a Quoted-string when the text could not be Token-text.
void WriteTextValue(WspWriter& writer, std::string_view text) {
  if (text.empty()) {
    writer.WriteU8(0);
  } else if (static_cast<unsigned char>(text.front()) >= 0x80 || text.front() == '"' || text.front() < 32) {
    writer.WriteQuotedString(text);
  } else {
    writer.WriteTextString(text);
  }
}

// A parameter that should hold a number but came as text is written so that the reader takes it for
// text again: an empty text, or one starting with a byte the reader would take for a number's length,
// goes behind the Quote mark.
void WriteTextInPlaceOfNumber(WspWriter& writer, std::string_view text) {
  if (text.empty() || static_cast<unsigned char>(text.front()) < 32) {
    writer.WriteU8(0x7F);
    return writer.WriteTextString(text);
  }
  WriteTextValue(writer, text);
}

void WriteKindValue(WspWriter& writer, ParameterKind kind, const WspParameter& parameter) {
  // A value that came as text goes out as text even when it reads as a number: the reader would
  // otherwise find a number where the sender put a text.
  std::optional<std::uint64_t> number = parameter.number;
  switch (kind) {
    case ParameterKind::kCharset:
      if (!parameter.number) number = CharsetFromName(parameter.value);
      if (number) return writer.WriteIntegerValue(*number);
      return WriteTextInPlaceOfNumber(writer, parameter.value);
    case ParameterKind::kMedia:
      if (auto code = WellKnownMediaCode(parameter.value)) return writer.WriteShortInteger(*code);
      return writer.WriteTextString(parameter.value);
    case ParameterKind::kNoValue: return writer.WriteU8(0);
    case ParameterKind::kQ:
      if (number && *number <= 0xFFFFFFFFu) return writer.WriteUintvar(static_cast<std::uint32_t>(*number));
      return WriteTextValue(writer, parameter.value);
    case ParameterKind::kDate:
      if (number) return writer.WriteLongInteger(*number);
      return WriteTextInPlaceOfNumber(writer, parameter.value);
    case ParameterKind::kInteger:
    case ParameterKind::kVersion:
      if (parameter.number) return writer.WriteIntegerValue(*parameter.number);
      return WriteTextInPlaceOfNumber(writer, parameter.value);
    case ParameterKind::kText: return WriteTextValue(writer, parameter.value);
  }
}

bool NeedsQuotes(std::string_view value) {
  return value.find_first_of(";\"") != std::string_view::npos ||
         (!value.empty() && (value.front() == ' ' || value.back() == ' ' || value.front() == '\t' || value.back() == '\t'));
}

}  // namespace

Status WriteParameter(WspWriter& writer, const WspParameter& parameter) {
  if (parameter.value.find('\0') != std::string::npos) return Error{"parameter value holds a null character"};
  if (parameter.token) {
    if (*parameter.token >= 0x80) return Error{"parameter token out of range"};
    const ParameterToken* known = FindParameterToken(*parameter.token);
    writer.WriteShortInteger(*parameter.token);
    ParameterKind kind = known ? known->kind : (parameter.number ? ParameterKind::kInteger : ParameterKind::kText);
    WriteKindValue(writer, kind, parameter);
    return {};
  }
  const auto& name = parameter.name;
  if (name.empty() || name.front() < 32 || static_cast<unsigned char>(name.front()) >= 0x7F ||
      name.find('\0') != std::string::npos) {
    return Error{"parameter name is not a token"};
  }
  writer.WriteTextString(name);
  WriteKindValue(writer, parameter.number ? ParameterKind::kInteger : ParameterKind::kText, parameter);
  return {};
}

Status WriteContentType(WspWriter& writer, const ContentType& type) {
  if (type.mediaType.empty() && !type.unassignedCode) return Error{"content type missing"};
  if (type.mediaType.find('\0') != std::string::npos) return Error{"content type holds a null character"};
  std::optional<std::uint32_t> code = type.unassignedCode;
  if (!code) {
    if (auto known = WellKnownMediaCode(type.mediaType)) code = *known;
  }
  if (type.parameters.empty() && (!code || *code < 0x80)) {
    if (code) {
      writer.WriteShortInteger(static_cast<std::uint8_t>(*code));
    } else {
      writer.WriteTextString(type.mediaType);
    }
    return {};
  }
  WspWriter inner;
  if (code) {
    inner.WriteIntegerValue(*code);
  } else {
    inner.WriteTextString(type.mediaType);
  }
  for (const WspParameter& parameter : type.parameters) {
    Status status = WriteParameter(inner, parameter);
    if (!status) return status;
  }
  writer.WriteWithLength(inner);
  return {};
}

std::string ContentTypeText(const ContentType& type) {
  // A quote mark outside a value, or a separator inside a name, would make the reader split the
  // text elsewhere and lose the parameters after it: they are left out of the text.
  std::string text = type.mediaType;
  std::erase(text, '"');
  for (const WspParameter& parameter : type.parameters) {
    std::string value = parameter.value;
    if (EqualsNoCase(parameter.name, "charset") && parameter.number && *parameter.number <= 0xFFFFFFFFu) {
      value = CharsetRecordName(static_cast<std::uint32_t>(*parameter.number));
    }
    std::string name = parameter.name;
    std::erase_if(name, [](char c) { return c == '"' || c == ';' || c == '='; });
    text += ';';
    text += name;
    text += '=';
    if (NeedsQuotes(value)) {
      std::erase(value, '"');
      text += '"' + value + '"';
    } else {
      text += value;
    }
  }
  return text;
}

ContentType ParseContentTypeText(std::string_view text) {
  ContentType type;
  type.mediaType = ContentTypeWithoutParameters(text);
  for (auto& [name, value] : ContentTypeParameters(text)) {
    WspParameter parameter;
    parameter.value = value;
    const ParameterToken* known = FindParameterTokenByName(name);
    if (known == nullptr) {
      parameter.name = name;
      type.parameters.push_back(std::move(parameter));
      continue;
    }
    parameter.name = std::string(known->name);
    parameter.token = known->token;
    if (known->kind == ParameterKind::kCharset) {
      if (auto mibenum = CharsetFromName(value)) {
        parameter.number = *mibenum;
        std::string_view iana = CharsetIanaName(*mibenum);
        if (!iana.empty()) parameter.value = std::string(iana);
      }
    } else if (known->kind != ParameterKind::kText && known->kind != ParameterKind::kMedia) {
      parameter.number = ParseDecimal(value);
    }
    type.parameters.push_back(std::move(parameter));
  }
  return type;
}

}  // namespace mm1
