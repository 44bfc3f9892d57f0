// The reply and forward prefixes in front of a subject ("Re:", "Fw:" as the resource texts say).
#pragma once

#include "platform/text/cstring.h"

struct SubjectPrefixes {
  CString forward;
  CString reply;
};

// For modes 1 and 2 (reply) and 4 (forward): a leading reply or forward prefix (the text up to the
// first ':' compared, trimmed and without regard to case) is removed, then the mode's prefix is put
// in front; with NeedAddSpaceAfterFwRe one space follows the prefix. When the prefix put in ends in a
// space, one leading space of the rest is removed, so that forwarding again changes nothing. Other
// modes leave the subject as it is.
CString ApplySubjectPrefix(const CString& subject, int mode, const SubjectPrefixes& prefixes);
