// How a picture file becomes a part file of the message being composed: the copy down-scaled to
// the configured box, the room the message has left for it, and re-encoding it smaller to fit.
#pragma once

#include "model/message_model.h"
#include "platform/win_types.h"

// A box of 0 x 0 means pictures are not scaled. A box is taken in the picture's orientation, so
// that a portrait photo keeps as many pixels as a landscape one.
SIZE InsertionBox(SIZE box, SIZE picture);

// Writes the picture at `source` to `target` (through a temporary name): re-encoded into `box`
// (JPEG at quality 90) when the picture fits it in neither orientation or its size cannot be
// read, otherwise copied unchanged. A picture whose size cannot be read, or that does not decode,
// is refused; false then, and nothing is left at `target`.
bool WritePictureCopy(LPCWSTR source, LPCWSTR target, SIZE box);

// The bytes a new picture or video may take: the maximum send size less the message's size, where
// the current slide's picture or video counts only when it is used nowhere else (the new object
// replaces it). May be 0 or negative.
LONGLONG PictureBudget(const MessageModel& model, const Slide& slide);

// Re-encodes `source` over `target` smaller on each of a few tries until `target` takes at most
// `budget` bytes. false when no try fits; `target` is then as it was.
bool ShrinkPictureToFit(LPCWSTR source, LPCWSTR target, LONGLONG budget);
