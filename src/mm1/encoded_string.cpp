#include "mm1/encoded_string.h"

#include "mm1/charsets.h"

namespace mm1 {

std::string EncodedString::Utf8() const { return ToUtf8(bytes, charset); }

EncodedString EncodedUtf8(std::string_view text) {
  EncodedString value;
  value.bytes = std::string(text);
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      value.charset = kCharsetUtf8;
      break;
    }
  }
  return value;
}

Result<EncodedString> ReadEncodedString(WspCursor& cursor) {
  auto first = cursor.PeekU8();
  if (!first) return first.Failure();
  EncodedString value;
  if (first.Value() > 31) {
    auto text = cursor.ReadTextString();
    if (!text) return text.Failure();
    value.bytes = std::move(text.Value());
    return value;
  }
  auto length = cursor.ReadValueLength();
  if (!length) return length.Failure();
  auto inner = cursor.Split(length.Value());
  if (!inner) return inner.Failure();
  auto charset = inner.Value().ReadIntegerValue();
  if (!charset) return charset.Failure();
  if (charset.Value() > 0xFFFFFFFFu) return inner.Value().Fail("charset out of range");
  value.charset = static_cast<std::uint32_t>(charset.Value());
  auto text = inner.Value().ReadTextString();
  if (!text) return text.Failure();
  value.bytes = std::move(text.Value());
  return value;
}

void WriteEncodedString(WspWriter& writer, const EncodedString& value) {
  bool startsLikeLength = !value.bytes.empty() && static_cast<unsigned char>(value.bytes.front()) < 32;
  if (!value.charset && value.bytes.empty()) {
    // A bare end-of-string would read as a value length of 0: the Quote mark keeps it a text.
    writer.WriteU8(0x7F);
    writer.WriteU8(0);
    return;
  }
  if (!value.charset && !startsLikeLength) {
    writer.WriteTextString(value.bytes);
    return;
  }
  WspWriter inner;
  inner.WriteIntegerValue(value.charset.value_or(kCharsetUsAscii));
  inner.WriteTextString(value.bytes);
  writer.WriteWithLength(inner);
}

}  // namespace mm1
