#include "forms/subject_prefix.h"

#include "config/setting_numbers.h"
#include "config/settings.h"

namespace {

constexpr int kReply = 1;
constexpr int kReplyAll = 2;
constexpr int kForward = 4;

bool SamePrefix(CString head, const CString& prefix) {
  CString trimmedPrefix = prefix;
  return !trimmedPrefix.Trim().IsEmpty() && head.Trim().CompareNoCase(trimmedPrefix.View()) == 0;
}

}  // namespace

CString ApplySubjectPrefix(const CString& subject, int mode, const SubjectPrefixes& prefixes) {
  if (mode != kReply && mode != kReplyAll && mode != kForward) return subject;
  bool withSpace = GetConfigValue(numeric_setting::kNeedAddSpaceAfterFwRe) != 0;
  CString result = mode == kForward ? prefixes.forward : prefixes.reply;
  if (withSpace) result += u' ';
  // A prefix that brings its own space takes the place of the old one's: otherwise every forward
  // of a forward would add a space.
  const bool endsInSpace = !result.IsEmpty() && result[result.GetLength() - 1] == u' ';
  CString rest = subject;
  int colon = subject.Find(u':');
  if (colon >= 0) {
    CString head = subject.Left(colon + 1);
    if (SamePrefix(head, prefixes.forward) || SamePrefix(head, prefixes.reply)) {
      rest = subject.Mid(colon + 1);
      if (endsInSpace && !rest.IsEmpty() && rest[0] == u' ') rest = rest.Mid(1);
    }
  }
  result += rest.View();
  return result;
}
