// Loading an MMS message file into the message model: every part written to a file of the part
// folder, file names repaired from content types, protected objects unwrapped, text converted to
// UTF-16, and slides built from the presentation (or one slide per part without a usable one).
#pragma once

#include <string_view>

#include "model/media_length.h"
#include "model/message_model.h"
#include "presentation/slide_builder.h"

struct MessageLoadReport {
  bool hadPresentation = false;
  // How the presentation was turned into slides; kNoPresentation when the message has none.
  SlideBuildStatus presentationStatus = SlideBuildStatus::kNoPresentation;
  bool defaultSlides = false;  // the slides are one per part
  bool unwrappedDrm = false;   // protected objects were unwrapped and the message file rewritten
};

// The number of parts (the presentation not counted), or -1 when the file cannot be opened or a part
// cannot be read; the model is then partly filled and the caller discards it. With checkStorage the
// free storage is checked at the end.
int LoadMessage(MessageModel& model, std::u16string_view messageFile, std::u16string_view partFolder,
                bool checkStorage, const MediaLengthSource& lengths = NoMediaLengths(),
                MessageLoadReport* report = nullptr);
