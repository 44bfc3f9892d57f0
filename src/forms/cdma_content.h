// What the content of a message asks of a CDMA device's two message kinds: a Flix message carries a
// few slides of one picture or video and a text each; anything more takes an MMS message.
#pragma once

#include "model/message_model.h"

// The kind a message being composed on a CDMA device has (the frame's `m_cdmaType`, the global
// Flix and MMS flags).
namespace cdma_message_type {
constexpr int kUndecided = 0;  // not chosen yet, or a device without CDMA
constexpr int kFlix = 1;
constexpr int kMms = 2;
}  // namespace cdma_message_type

namespace cdma_content {
constexpr int kEmpty = 0;     // no object at all
constexpr int kFitsFlix = 1;  // at most the Flix slide limit, each slide one visual and a text
constexpr int kNeedsMms = 2;  // sound, an attachment, two visuals on a slide, or too many slides
}  // namespace cdma_content

// The kind `model` needs; `flixSlideLimit` is the most slides a Flix message takes.
int CdmaContentClass(const MessageModel& model, int flixSlideLimit);
