// Indexes arbitrary text. Every record of a document that loads must lie inside the text and link
// to records that exist; an element inserted into it must leave an index equal to that of the
// changed text loaded afresh.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "presentation/xml_tree.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckRecords(const XmlTree& tree) {
  const std::uint32_t size = static_cast<std::uint32_t>(tree.Text().size());
  for (std::uint32_t record = 1; record < tree.RecordCount(); ++record) {
    const ElementSpan& span = tree.Span(record);
    Check(span.startOpen < span.startClose && span.startClose < size);
    Check(span.endOpen <= span.endClose && span.endClose < size && span.endClose < span.after + 1);
    Check(span.after <= size);
    Check(span.parent < tree.RecordCount() && span.firstChild < tree.RecordCount() &&
          span.nextSibling < tree.RecordCount());
    Check(span.firstChild == 0 || tree.Span(span.firstChild).parent == record);
    tree.ElementName(record);
    tree.Attribute(record, "src", 255);
    tree.Attribute(record, {});
  }
}

void CheckSame(const XmlTree& a, std::uint32_t x, const XmlTree& b, std::uint32_t y) {
  const ElementSpan& p = a.Span(x);
  const ElementSpan& q = b.Span(y);
  Check(p.startOpen == q.startOpen && p.startClose == q.startClose && p.endOpen == q.endOpen &&
        p.endClose == q.endClose && p.after == q.after);
  std::uint32_t c = p.firstChild;
  std::uint32_t d = q.firstChild;
  for (; c != 0 && d != 0; c = a.Span(c).nextSibling, d = b.Span(d).nextSibling) {
    CheckSame(a, c, b, d);
  }
  Check(c == 0 && d == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  XmlTree tree;
  const XmlParseResult result = tree.Load(std::string_view(reinterpret_cast<const char*>(data), size));
  Check(result.offset <= size);
  if (!result) {
    Check(tree.RecordCount() == 1 && !tree.NextSibling());
    return 0;
  }
  CheckRecords(tree);
  if (!tree.NextChild() && !tree.NextSibling()) {
    return 0;
  }
  if (!tree.AppendChild("fuzz")) {
    return 0;
  }
  XmlTree again;
  Check(static_cast<bool>(again.Load(tree.Text())));
  CheckSame(tree, tree.Root(), again, again.Root());
  return 0;
}
