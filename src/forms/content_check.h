// What the composer lets into a message: the creation mode, the content class of an object with its
// size limit, and the content check of one file.
#pragma once

#include "model/media_types.h"
#include "model/message_model.h"
#include "platform/win_types.h"

enum class CreationMode { kRestricted = 0, kWarning = 1, kFree = 2 };

// DefaultCreationMode; any other value counts as free.
CreationMode CurrentCreationMode();

// 2 for a picture, 1 for text, 3 for anything else.
int ContentClassOf(MediaType type);
// The size limit in bytes of content class 1, 2 or 3.
LONG ContentClassSizeLimit(int contentClass);

// Passes in free mode. Otherwise a DRM object that may not be forwarded fails; the file's extension
// must be an item of CreationFilter; a picture must fit 640 x 480 in either orientation.
bool PassesContentCheck(LPCWSTR path, MediaType type);

// The operations a whole-message check runs for; each has its own refusal texts.
enum class MessageOperation { kTemplate = 1, kSecondCaller = 2, kOpening = 3, kSave = 4, kSend = 5 };

// Before an object goes into `slide` of the model: in free mode, with no path or no model, it is
// allowed. Otherwise the message's size with the object (counted once when the same file of the
// same type is already in the message, and without the object it replaces unless `replacing`
// says the caller took that out already) must stay within the limit of the message's content
// class, and the file must pass the content check. Restricted mode refuses with a message;
// warning mode asks and goes on only on Yes.
bool CheckInsertion(LPCWSTR path, MediaType type, const MessageModel* model, const Slide* slide, HWND owner,
                    bool replacing);

// The whole message before it is stored or sent. Free mode passes, and so does warning mode when
// the user was asked before. Otherwise a message over its content class's limit, or holding an
// object that fails the content check, is refused in restricted mode with the operation's text;
// warning mode tells the user and lets the operation go on.
bool CheckMessage(const MessageModel* model, HWND owner, bool askedBefore, MessageOperation operation);
