// The transport's message-box caption depends on a setting of the module (the voice-mail class);
// the module hands the transport how to read it as soon as the library is loaded.
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "transport/message_box.h"

namespace {

LONG VoiceMailClassPresent() { return GetConfigValue(numeric_setting::kVoiceMailClassPresent); }

const bool kRegistered = (transport::SetVoiceMailClassQuery(VoiceMailClassPresent), true);

}  // namespace
