#include "mm1/pdu.h"

namespace mm1 {

std::string_view MessageTypeName(std::uint8_t code) {
  static constexpr std::string_view kNames[] = {
      "m-send-req",       "m-send-conf",        "m-notification-ind",   "m-notifyresp-ind",
      "m-retrieve-conf",  "m-acknowledge-ind",  "m-delivery-ind",       "m-read-rec-ind",
      "m-read-orig-ind",  "m-forward-req",      "m-forward-conf",       "m-mbox-store-req",
      "m-mbox-store-conf", "m-mbox-view-req",   "m-mbox-view-conf",     "m-mbox-upload-req",
      "m-mbox-upload-conf", "m-mbox-delete-req", "m-mbox-delete-conf",  "m-mbox-descr",
      "m-delete-req",     "m-delete-conf",      "m-cancel-req",         "m-cancel-conf",
  };
  std::size_t index = static_cast<std::size_t>(code) - 0x80u;
  return code >= 0x80 && index < std::size(kNames) ? kNames[index] : std::string_view();
}

std::string Part::BareContentId() const { return mm1::BareContentId(contentId.value_or("")); }

std::string BareContentId(std::string_view id) {
  if (id.size() >= 2 && id.front() == '"' && id.back() == '"') id = id.substr(1, id.size() - 2);
  if (id.size() >= 2 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
  return std::string(id);
}

std::string Part::Name() const {
  const WspParameter* name = contentType.Find("name");
  return name ? name->value : std::string();
}

std::string Part::FileName() const {
  if (!disposition) return {};
  for (const WspParameter& parameter : disposition->parameters) {
    if (parameter.name == "filename") return parameter.value;
  }
  return {};
}

}  // namespace mm1
