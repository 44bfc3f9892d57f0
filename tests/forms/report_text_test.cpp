#include <gtest/gtest.h>

#include "forms/read_dialogs.h"
#include "support/test_device.h"

namespace {

CString Report(std::u16string_view text, std::u16string_view subject = u"Hello") {
  return ReportText(CString(text), CString(subject), CString(u"Ann <+4412>"), CString(u"07/12/2026"),
                    CString(u"15:40"));
}

TEST(ReportText, KeywordTemplatesFillEveryFieldOnce) {
  EXPECT_EQ(Report(u"TYR_PREFIX_Your message TYR_SUBJ to TYR_RECP was read on TYR_DATE at TYR_TIME."),
            u"Your message Hello to Ann <+4412> was read on 07/12/2026 at 15:40.");
  // A subject that itself reads like a keyword is kept as written.
  EXPECT_EQ(Report(u"TYR_PREFIX_[TYR_SUBJ] TYR_DATE", u"TYR_DATE"), u"[TYR_DATE] 07/12/2026");
  EXPECT_EQ(Report(u""), u"");
}

TEST(ReportText, PlainTemplatesAreFormatsOfThreeStringsOnly) {
  test_support::TestDevice device;
  // The third string is 41093 ("%s %s") made of the time and the date.
  EXPECT_EQ(Report(u"%s to %s, %s"), u"Hello to Ann <+4412>, 15:40 07/12/2026");
  // Other specifiers and extra "%s" read nothing: the template never decides what is read.
  EXPECT_EQ(Report(u"%d%% %s %s %s %s %n"), u"%d% Hello Ann <+4412> 15:40 07/12/2026  %n");
}

}  // namespace
