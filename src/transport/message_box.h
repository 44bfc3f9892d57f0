// The caption of the transport's message boxes: string 40269 followed by one space. Every load of
// string 40269 gives string 40253 instead when the voice-mail message class is configured. That
// setting belongs to the form module, which hands in how to read it; without it 40269 stays.
#pragma once

#include "platform/text/cstring.h"
#include "platform/win_types.h"

namespace transport {

constexpr UINT kCaptionString = 40269;
constexpr UINT kVoiceMailCaptionString = 40253;

// Non-zero when the voice-mail class is configured; read on every message box.
using VoiceMailClassQuery = LONG (*)();
void SetVoiceMailClassQuery(VoiceMailClassQuery query);
bool VoiceMailClassConfigured();

CString MessageBoxCaption();

}  // namespace transport
