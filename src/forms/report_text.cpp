#include <string>

#include "forms/read_dialogs.h"
#include "transport/resource_module.h"

namespace {

constexpr std::u16string_view kPrefixKeyword = u"TYR_PREFIX_";
constexpr UINT kTimeAndDateString = 41093;

// Fills "%s" in order from `arguments` ("%%" is a percent sign); any other "%" stays as written:
// a template from the resources never decides how many arguments are read.
std::u16string FillStrings(std::u16string_view format, std::initializer_list<std::u16string_view> arguments) {
  std::u16string out;
  auto next = arguments.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'%') {
      out += u'%';
      ++i;
    } else if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u's') {
      if (next != arguments.end()) out += *next++;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

}  // namespace

CString ReportText(const CString& reportTemplate, const CString& subject, const CString& recipients,
                   const CString& date, const CString& time) {
  const std::u16string_view text = reportTemplate.View();
  if (text.empty()) return CString();
  const std::size_t keyword = text.find(kPrefixKeyword);
  if (keyword == std::u16string_view::npos) {
    const CString timeAndDate = transport::LoadResourceString(kTimeAndDateString);
    const std::u16string when = FillStrings(timeAndDate.View(), {time.View(), date.View()});
    return CString(FillStrings(text, {subject.View(), recipients.View(), when}));
  }
  std::u16string body(text.substr(0, keyword));
  body += text.substr(keyword + kPrefixKeyword.size());
  // One pass: a subject that itself reads "TYR_DATE" is kept as written.
  const std::pair<std::u16string_view, std::u16string_view> fields[] = {
      {u"TYR_SUBJ", subject.View()}, {u"TYR_RECP", recipients.View()}, {u"TYR_DATE", date.View()},
      {u"TYR_TIME", time.View()}};
  std::u16string out;
  for (std::size_t i = 0; i < body.size();) {
    bool replaced = false;
    for (const auto& [name, value] : fields) {
      if (body.compare(i, name.size(), name) == 0) {
        out += value;
        i += name.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += body[i++];
  }
  return CString(out);
}
