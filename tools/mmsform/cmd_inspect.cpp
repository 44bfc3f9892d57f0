// mmsform inspect: an MMS message file as one JSON object (headers and parts). --write encodes the
// same message again into another file; --slides adds the message as the model loads it (layout,
// slides, part files and texts); --save loads it and saves the model into another file.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "command.h"
#include "device_writing.h"
#include "inspect_model.h"
#include "json_writer.h"
#include "mm1/charsets.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/pdu_decoder.h"
#include "mm1/pdu_encoder.h"
#include "platform/drm/crypto_library.h"

namespace mmsform_tool {
namespace {

constexpr int kFailure = 1;
constexpr int kUsageError = 2;

std::string Sha256Hex(std::span<const std::uint8_t> data) {
  auto digest = platform::drm::Sha256(data);
  if (!digest) return "";
  std::string hex;
  for (unsigned char byte : *digest) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  return hex;
}

std::string_view TokenName(std::uint8_t value, std::initializer_list<std::string_view> names) {
  std::size_t index = value - 0x80u;
  return value >= 0x80 && index < names.size() ? names.begin()[index] : std::string_view();
}

void OptionalText(JsonWriter& json, std::string_view key, const std::optional<std::string>& text) {
  if (text) json.Key(key).String(mm1::ToUtf8(*text, std::nullopt));
}

void Token(JsonWriter& json, std::string_view key, const std::optional<std::uint8_t>& value,
           std::initializer_list<std::string_view> names) {
  if (!value) return;
  std::string_view name = TokenName(*value, names);
  if (name.empty()) {
    json.Key(key).Uint(*value);
  } else {
    json.Key(key).String(name);
  }
}

void Addresses(JsonWriter& json, std::string_view key, const std::vector<mm1::EncodedString>& list) {
  if (list.empty()) return;
  json.Key(key).BeginArray();
  for (const mm1::EncodedString& address : list) json.String(address.Utf8());
  json.EndArray();
}

void Parameters(JsonWriter& json, const mm1::ContentType& type) {
  json.Key("content_type_parameters").BeginObject();
  for (const mm1::WspParameter& parameter : type.parameters) json.Key(parameter.name).String(mm1::ToUtf8(parameter.value, std::nullopt));
  json.EndObject();
}

void Time(JsonWriter& json, std::string_view key, const std::optional<mm1::TimeValue>& time) {
  if (!time) return;
  json.Key(key).Uint(time->seconds);
  if (time->relative) json.Key(std::string(key) + "_relative").Bool(true);
}

void WriteHeaders(JsonWriter& json, const mm1::Pdu& pdu) {
  std::string_view type = mm1::MessageTypeName(pdu.messageType);
  json.Key("message_type").String(type.empty() ? std::to_string(pdu.messageType) : std::string(type));
  OptionalText(json, "transaction_id", pdu.transactionId);
  OptionalText(json, "mms_version", pdu.mmsVersion);
  OptionalText(json, "message_id", pdu.messageId);
  if (pdu.date) json.Key("date").Uint(*pdu.date);
  if (pdu.from) json.Key("from").String(pdu.from->insertAddress ? "<insert-address>" : pdu.from->address.Utf8());
  Addresses(json, "to", pdu.to);
  Addresses(json, "cc", pdu.cc);
  Addresses(json, "bcc", pdu.bcc);
  if (pdu.subject) json.Key("subject").String(pdu.subject->Utf8());
  OptionalText(json, "message_class", pdu.messageClass);
  Token(json, "priority", pdu.priority, {"Low", "Normal", "High"});
  if (pdu.messageSize) json.Key("message_size").Uint(*pdu.messageSize);
  OptionalText(json, "content_location", pdu.contentLocation);
  Time(json, "expiry", pdu.expiry);
  Time(json, "delivery_time", pdu.deliveryTime);
  Token(json, "delivery_report", pdu.deliveryReport, {"Yes", "No"});
  Token(json, "read_report", pdu.readReport, {"Yes", "No"});
  Token(json, "report_allowed", pdu.reportAllowed, {"Yes", "No"});
  Token(json, "sender_visibility", pdu.senderVisibility, {"Hide", "Show"});
  Token(json, "status", pdu.status,
        {"Expired", "Retrieved", "Rejected", "Deferred", "Unrecognised", "Indeterminate", "Forwarded", "Unreachable"});
  if (pdu.responseStatus) json.Key("response_status").Uint(*pdu.responseStatus);
  if (pdu.responseText) json.Key("response_text").String(pdu.responseText->Utf8());
  if (pdu.retrieveStatus) json.Key("retrieve_status").Uint(*pdu.retrieveStatus);
  if (pdu.retrieveText) json.Key("retrieve_text").String(pdu.retrieveText->Utf8());
  Token(json, "read_status", pdu.readStatus, {"Read", "Deleted without being read"});
}

void WritePart(JsonWriter& json, const mm1::Part& part, std::size_t index, const InspectedModel* model) {
  json.BeginObject();
  json.Key("content_type").String(part.contentType.mediaType);
  if (const mm1::WspParameter* charset = part.contentType.Find("charset")) json.Key("charset").String(charset->value);
  if (!part.Name().empty()) json.Key("name").String(mm1::ToUtf8(part.Name(), std::nullopt));
  if (!part.FileName().empty()) json.Key("filename").String(mm1::ToUtf8(part.FileName(), std::nullopt));
  if (part.contentId) json.Key("content_id").String(mm1::ToUtf8(part.BareContentId(), std::nullopt));
  OptionalText(json, "content_location", part.contentLocation);
  json.Key("size").Uint(part.data.size());
  json.Key("sha256").String(Sha256Hex(part.data));
  if (model != nullptr) model->WritePartKeys(json, index);
  json.EndObject();
}

std::string PduJson(const mm1::Pdu& pdu, const InspectedModel* model) {
  JsonWriter json;
  json.BeginObject();
  WriteHeaders(json, pdu);
  if (pdu.contentType) {
    json.Key("content_type").String(pdu.contentType->mediaType);
    Parameters(json, *pdu.contentType);
    json.Key("parts").BeginArray();
    for (std::size_t i = 0; i < pdu.parts.size(); ++i) WritePart(json, pdu.parts[i], i, model);
    json.EndArray();
  }
  if (model != nullptr) model->WriteSummary(json);
  if (pdu.ignoredTrailingBytes > 0) json.Key("ignored_trailing_bytes").Uint(pdu.ignoredTrailingBytes);
  json.EndObject();
  return json.Text();
}

int PrintError(const mm1::Error& error) {
  JsonWriter json;
  json.BeginObject().Key("error").String(error.message).Key("offset").Uint(error.offset).EndObject();
  std::printf("%s\n", json.Text().c_str());
  return kFailure;
}

struct InspectOptions {
  std::string file;
  std::optional<std::string> writeTo;
  std::optional<std::string> saveTo;
  bool slides = false;
};

std::optional<InspectOptions> ParseOptions(std::span<char* const> args) {
  InspectOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (arg == "--slides") {
      options.slides = true;
    } else if ((arg == "--write" || arg == "--save") && i + 1 < args.size()) {
      (arg == "--write" ? options.writeTo : options.saveTo) = args[++i];
    } else if (!arg.starts_with("--") && options.file.empty()) {
      options.file = arg;
    } else {
      return std::nullopt;
    }
  }
  if (options.file.empty()) return std::nullopt;
  return options;
}

int RunInspect(std::span<char* const> args) {
  auto options = ParseOptions(args);
  if (!options) {
    std::fprintf(stderr, "usage: mmsform inspect FILE [--write OUT] [--slides] [--save OUT]\n");
    return kUsageError;
  }
  auto bytes = mm1::ReadWholeFile(options->file, mm1::kMaxMessageFileBytes);
  if (!bytes) return PrintError(bytes.Failure());
  auto pdu = mm1::DecodePdu(bytes.Value());
  if (!pdu) return PrintError(pdu.Failure());
  if (options->writeTo) {
    auto encoded = mm1::EncodePdu(pdu.Value());
    if (!encoded) return PrintError(encoded.Failure());
    mm1::Status written = mm1::WriteFileAtomically(*options->writeTo, encoded.Value());
    if (!written) return PrintError(written.Failure());
  }
  bool wantsModel = options->slides || options->saveTo;
  if (options->saveTo) CleanUpBeforeWriting();
  std::string error;
  std::optional<InspectedModel> model = wantsModel ? InspectedModel::Load(options->file, &error) : std::nullopt;
  if (wantsModel && !model) return PrintError(mm1::Error{error, 0});
  if (options->saveTo && !model->Save(*options->saveTo, &error)) return PrintError(mm1::Error{error, 0});
  std::printf("%s\n", PduJson(pdu.Value(), options->slides ? &*model : nullptr).c_str());
  return 0;
}

const Command kInspect("inspect",
                       "inspect FILE [--write OUT] [--slides] [--save OUT]   an MMS message file as JSON; --write "
                       "encodes it again into OUT; --slides adds the loaded slides; --save saves the loaded model",
                       RunInspect);

}  // namespace
}  // namespace mmsform_tool
