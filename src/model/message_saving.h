// Saving the message model into an MMS message file: every part from its file in the part folder,
// text parts as UTF-8, protected parts as DRM content, and the SMIL presentation written from the
// layout and slides.
#pragma once

#include <string_view>

#include "model/message_model.h"
#include "platform/win_types.h"

// The name of the presentation file in a part folder, and of the presentation part in a message.
inline constexpr std::u16string_view kPresentationFileName = u"mms.smil";

// Writes the message file; false, and no file written, when a name is empty, a part is refused (also
// a part whose file has the presentation's name) or the presentation cannot be written. Text part files are
// never rewritten: they stay UTF-16 whatever happens to the save.
bool SaveMessage(const MessageModel& model, std::u16string_view partFolder, std::u16string_view messageFile);

// The length in bytes of the plain presentation text of the model (CR LF lines, no text styles),
// 0 when the layout has no region or more than two.
DWORD PresentationSize(const MessageModel& model);
