// The slide sorter (command 40093): a modal dialog (template 218) over the composer that lists the
// message's slides with their thumbnails and durations, and adds, deletes, reorders and times them
// in the model directly.
#pragma once

#include <functional>

#include "model/media_length.h"
#include "model/message_model.h"
#include "platform/window/window_api.h"

namespace slide_sorter {
constexpr DWORD kDialog = 218;
// Done and the menu of the sorter's commands.
constexpr UINT kSoftKeys = 258;
constexpr UINT kAddSlide = 40094;
constexpr UINT kDeleteSlide = 40095;
constexpr UINT kMoveLater = 40096;
constexpr UINT kMoveEarlier = 40097;
constexpr UINT kNaturalDuration = 40498;
}  // namespace slide_sorter

// Runs the sorter on the model. `currentSlide` comes in as the slide to start on and goes out as
// the slide current at the end; `signatureFlag` (the last slide is the signature slide) is cleared
// when that slide was deleted or no longer comes last. `roomForSlide` says whether another slide
// may be added; without one the composer's rule applies with the transport's Flix flag. Returns 1
// when the sorter changed something, 0 when not, -1 when the dialog could not be shown.
INT_PTR RunSlideSorter(HWND owner, MessageModel& model, bool& signatureFlag, int& currentSlide,
                       std::function<bool()> roomForSlide);
// The same with the lengths that measure the slides' natural durations.
INT_PTR RunSlideSorter(HWND owner, MessageModel& model, bool& signatureFlag, int& currentSlide,
                       std::function<bool()> roomForSlide, const MediaLengthSource& lengths);
