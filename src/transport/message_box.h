// The caption of the transport's message boxes: string 40269 followed by one space, or string
// 40253 when the voice-mail message class is configured. That setting belongs to the form module,
// which hands in how to read it; without it the plain caption is used.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace transport {

constexpr UINT kCaptionString = 40269;
constexpr UINT kVoiceMailCaptionString = 40253;

// Non-zero when the voice-mail class is configured; read on every message box.
using VoiceMailClassQuery = LONG (*)();
void SetVoiceMailClassQuery(VoiceMailClassQuery query);

CString MessageBoxCaption();

}  // namespace transport
