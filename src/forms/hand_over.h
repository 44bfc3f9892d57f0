// Handing a message over to the client application's composer: the reply and forward commands of
// the read form and the composer's "send as text message" give it six strings.
#pragma once

#include "forms/subject_prefix.h"
#include "platform/text/cstring.h"
#include "platform/win_types.h"

class MessageBinding;

struct HandOverStrings {
  CString to;
  CString subject;
  CString account;
  CString messageClass;
  CString body;
  CString bcc;
};

// The hand-over file the composer program reads, in the content folder.
constexpr const char16_t* kHandOverFileName = u"ReComposer.tmp";
// The composer program whose presence in the windows folder selects the hand-over file.
constexpr const char16_t* kComposerProgram = u"\\windows\\TyrMC.exe";

// Ends the owner, when it is a window, as a dialog with IDCANCEL; sets the transport's text-message
// or MMS compose flag, then writes the hand-over file and starts the composer program, or, without
// that program, asks the platform to compose. Returns 1.
int HandOverToComposer(HWND owner, const HandOverStrings& strings);

// Reply kinds: 0 text message, 1 MMS, 2 voice mail. 0 without a binding or for another kind.
int ReplyHandOver(HWND owner, MessageBinding* binding, int kind, const SubjectPrefixes& prefixes);
// 0 without a binding or when the message's class has no account. Shows the wait cursor meanwhile.
int ForwardHandOver(HWND owner, MessageBinding* binding, const SubjectPrefixes& prefixes);
