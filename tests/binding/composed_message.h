// Composed messages for the tests of saving and sending: slides of corpus pictures, sounds and
// texts built in a binding's model and saved through the binding, and an independent reading of
// the result by tshark.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "forms/message_binding.h"

namespace binding_test {

struct SlideSource {
  std::string picture;  // corpus path, or empty
  std::string sound;    // corpus path, or empty
  std::u16string text;  // empty for none
};

// Builds the slides in the binding's model (the part files copied into its part folder, texts as
// UTF-16 files with their mark) and saves the model through the binding. The binding's message must
// be open; its data file is replaced.
bool ComposeAndSave(MessageBinding& binding, const std::vector<SlideSource>& slides);

// The nine slides of the round trip: pictures, sounds and texts in several scripts.
std::vector<SlideSource> NineSlides();

// tshark's verbose reading of the PDU as an MMS message, or nothing when tshark is not installed.
std::optional<std::string> TsharkReading(const std::vector<std::uint8_t>& pdu, const std::filesystem::path& work);

}  // namespace binding_test
