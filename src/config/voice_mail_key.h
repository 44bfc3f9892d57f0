// The voice-mail message type's key under HKEY_CURRENT_USER, named after the configured voice-mail
// message class: numeric setting 167 says whether it exists, string setting 39 reads its default value.
#pragma once

#include <optional>
#include <string>

namespace config {

// "\Software\Microsoft\Inbox\MsgTypes\IPM\" followed by VoiceMailClassName without its first four
// characters (the "IPM." of the class); nothing when the class name has nothing after them.
std::optional<std::u16string> VoiceMailTypeKey();

// Whether that key exists, its last element matched with case counting.
bool VoiceMailTypeKeyExists();

}  // namespace config
