#include "presentation/xml_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> ChildNames(const XmlTree& tree, std::uint32_t record) {
  std::vector<std::string> names;
  for (std::uint32_t child = tree.Span(record).firstChild; child != 0; child = tree.Span(child).nextSibling) {
    names.push_back(tree.ElementName(child));
  }
  return names;
}

// Walks two trees side by side and expects the same structure and the same offsets everywhere.
void ExpectSameIndex(const XmlTree& built, std::uint32_t a, const XmlTree& loaded, std::uint32_t b) {
  const ElementSpan& x = built.Span(a);
  const ElementSpan& y = loaded.Span(b);
  SCOPED_TRACE("element " + built.ElementName(a));
  EXPECT_EQ(x.startOpen, y.startOpen);
  EXPECT_EQ(x.startClose, y.startClose);
  EXPECT_EQ(x.endOpen, y.endOpen);
  EXPECT_EQ(x.endClose, y.endClose);
  EXPECT_EQ(x.after, y.after);
  std::uint32_t c = x.firstChild;
  std::uint32_t d = y.firstChild;
  for (; c != 0 && d != 0; c = built.Span(c).nextSibling, d = loaded.Span(d).nextSibling) {
    EXPECT_EQ(built.Span(c).parent, a);
    ExpectSameIndex(built, c, loaded, d);
  }
  EXPECT_EQ(c, 0u);
  EXPECT_EQ(d, 0u);
}

void ExpectIndexMatchesReload(const XmlTree& built) {
  XmlTree loaded;
  ASSERT_TRUE(loaded.Load(built.Text())) << built.Text();
  ExpectSameIndex(built, built.Root(), loaded, loaded.Root());
}

TEST(XmlTree, RecordsHoldTheOffsetsOfEveryTag) {
  //                 0         1         2         3
  //                 0123456789012345678901234567890123
  const char* text = "<a><b/> x <c k=\"v\">t</c></a>";
  XmlTree tree;
  ASSERT_TRUE(tree.Load(text));
  const std::uint32_t a = tree.Root();
  const ElementSpan root = tree.Span(a);
  EXPECT_EQ(root.startOpen, 0u);
  EXPECT_EQ(root.startClose, 2u);
  EXPECT_EQ(root.endOpen, 24u);
  EXPECT_EQ(root.endClose, 27u);
  EXPECT_EQ(root.after, 28u);  // the end of the text
  const ElementSpan b = tree.Span(root.firstChild);
  EXPECT_EQ(b.startOpen, 3u);
  EXPECT_EQ(b.startClose, 6u);
  EXPECT_EQ(b.endOpen, 5u);  // the "/" of an empty element
  EXPECT_EQ(b.endClose, 6u);
  EXPECT_EQ(b.after, 10u);  // text between elements is skipped
  EXPECT_TRUE(tree.IsEmptyElement(root.firstChild));
  const ElementSpan c = tree.Span(b.nextSibling);
  EXPECT_EQ(c.startOpen, 10u);
  EXPECT_EQ(c.startClose, 18u);
  EXPECT_EQ(c.endOpen, 20u);
  EXPECT_EQ(c.endClose, 23u);
  EXPECT_EQ(c.after, 24u);
  EXPECT_EQ(c.parent, a);
  EXPECT_EQ(ChildNames(tree, a), (std::vector<std::string>{"b", "c"}));
}

struct LoadCase {
  const char* name;
  std::string text;
  std::vector<std::string> rootChildren;  // empty with rootName empty: the load fails
  const char* rootName;
  XmlStatus status;
};

TEST(XmlTree, LoadsOrRejectsTheConstructsOfRealDocuments) {
  const std::vector<LoadCase> cases = {
      {"single empty element", "<smil/>", {}, "smil", XmlStatus::kOk},
      {"declaration and comment before the root", "<?xml version=\"1.0\"?>\n<!-- c --><r><a/></r>", {"a"}, "r",
       XmlStatus::kOk},
      {"comments and CDATA between children", "<r><a/><!-- <b/> --><![CDATA[<x>]]><c/></r>", {"a", "c"}, "r",
       XmlStatus::kOk},
      {"doctype before the root", "<!DOCTYPE smil><r/>", {}, "r", XmlStatus::kOk},
      {"second top-level element ignored", "<r><a/></r><s><b/></s>", {"a"}, "r", XmlStatus::kOk},
      {"ends right after the root's end tag", "<r><a></a></r>", {"a"}, "r", XmlStatus::kOk},
      {"end tag with spaces", "<r><a></ a ></r >", {"a"}, "r", XmlStatus::kOk},
      {"end tag with another name", "<r><a></b></r>", {}, "", XmlStatus::kMismatchedEndTag},
      {"missing end tag", "<r><a/>", {}, "", XmlStatus::kNoElement},
      {"text ends inside the end tag", "<r></r", {}, "", XmlStatus::kMismatchedEndTag},
      // A text that stops inside an end tag was cut short, whatever follows the name.
      {"text ends after the end tag's name", "<r></r ", {}, "", XmlStatus::kMismatchedEndTag},
      {"text ends inside a start tag", "<r><a x=\"1\"", {}, "", XmlStatus::kUnclosedMarkup},
      {"quoted token after <", "<\"r\"/>", {}, "", XmlStatus::kBadTagStart},
      {"< at the very end", "<", {}, "", XmlStatus::kBadTagStart},
      {"unclosed comment", "<!-- never closed <r/>", {}, "", XmlStatus::kUnclosedMarkup},
      {"> inside an attribute value", "<r><a b=\"x>y\"/></r>", {}, "", XmlStatus::kMismatchedEndTag},
      {"end tag first", "</r>", {}, "", XmlStatus::kMismatchedEndTag},
      {"no element at all", "just text", {}, "", XmlStatus::kNoElement},
      {"empty text", "", {}, "", XmlStatus::kEmpty},
      {"text after a zero byte is not read", std::string("<r/>\0<s/>", 9), {}, "r", XmlStatus::kOk},
      {"zero byte inside the root", std::string("<r>\0</r>", 8), {}, "", XmlStatus::kNoElement},
  };
  for (const LoadCase& test : cases) {
    SCOPED_TRACE(test.name);
    XmlTree tree;
    const XmlParseResult result = tree.Load(test.text);
    EXPECT_EQ(result.status, test.status);
    EXPECT_EQ(static_cast<bool>(result), std::string(test.rootName) != "");
    EXPECT_EQ(tree.ElementName(tree.Root()), test.rootName);
    EXPECT_EQ(ChildNames(tree, tree.Root()), test.rootChildren);
    if (!result) {
      EXPECT_EQ(tree.RecordCount(), 1u);  // a failed load leaves an empty tree
      EXPECT_FALSE(tree.NextSibling());
    }
  }
}

TEST(XmlTree, FailuresReportWhereTheyWereCaught) {
  XmlTree tree;
  XmlParseResult result = tree.Load("<r><a></b></r>");
  EXPECT_EQ(result.offset, 6u);  // the "<" of the wrong end tag
  result = tree.Load("<r><!-- open");
  EXPECT_EQ(result.offset, 3u);
  EXPECT_EQ(tree.Text(), "<r><!-- open");  // the text stays after a failed load
}

TEST(XmlTree, NestingAndElementCountAreCapped) {
  const auto nested = [](std::uint32_t depth) {
    std::string text;
    for (std::uint32_t i = 0; i < depth; ++i) text += "<a>";
    for (std::uint32_t i = 0; i < depth; ++i) text += "</a>";
    return text;
  };
  XmlTree tree;
  EXPECT_TRUE(tree.Load(nested(kMaxXmlDepth)));
  EXPECT_EQ(tree.Load(nested(kMaxXmlDepth + 1)).status, XmlStatus::kTooDeep);
  EXPECT_EQ(tree.Load(nested(100000)).status, XmlStatus::kTooDeep);

  std::string flat = "<r>";
  for (std::uint32_t i = 0; i <= kMaxXmlElements; ++i) flat += "<a/>";
  flat += "</r>";
  EXPECT_EQ(tree.Load(flat).status, XmlStatus::kTooManyElements);
}

TEST(XmlTree, EveryTruncationOfADocumentFailsCleanly) {
  const std::string text = "<?xml version=\"1.0\"?><smil><head><layout><region id=\"Image\" left=\"0\"/></layout>"
                           "</head><body><par dur=\"5s\"><img src=\"a.jpg\"/><!-- x --></par></body></smil>";
  XmlTree tree;
  ASSERT_TRUE(tree.Load(text));
  for (std::size_t length = 0; length < text.size(); ++length) {
    EXPECT_FALSE(tree.Load(text.substr(0, length))) << length;
  }
}

TEST(XmlTree, AttributesAreDoubleQuotedValuesWithNamedEntities) {
  XmlTree tree;
  ASSERT_TRUE(tree.Load("<r w=\"1\" h=2 s='3' e=\"a&amp;b&#65;&lt;&gt;&apos;&quot;&amp\" q = \"spaced\" "
                        "empty=\"\" last=\"x\"/>"));
  const std::uint32_t r = tree.Root();
  EXPECT_EQ(tree.Attribute(r, "w"), "1");
  EXPECT_EQ(tree.Attribute(r, "h"), "");  // unquoted values are never found
  EXPECT_EQ(tree.Attribute(r, "s"), "");  // nor single-quoted ones
  EXPECT_EQ(tree.Attribute(r, "e"), "a&b&#65;<>'\"&amp");
  EXPECT_EQ(tree.Attribute(r, "q"), "spaced");
  EXPECT_EQ(tree.Attribute(r, "empty"), "");
  EXPECT_EQ(tree.Attribute(r, "last"), "x");
  EXPECT_EQ(tree.Attribute(r, "W"), "");  // names are case-sensitive
  EXPECT_EQ(tree.Attribute(r, "missing"), "");
  EXPECT_EQ(tree.Attribute(r, ""), "1");  // no name: the first attribute
  EXPECT_EQ(tree.Attribute(r, "e", 3), "a&b");
  EXPECT_EQ(tree.Attribute(0, "w"), "");
  EXPECT_EQ(tree.Attribute(999, "w"), "");
  EXPECT_EQ(tree.ElementName(999), "");
}

TEST(XmlTree, AttributesEndWithTheStartTag) {
  XmlTree tree;
  ASSERT_TRUE(tree.Load("<r a=\"1\"><c b=\"2\"/></r>"));
  EXPECT_EQ(tree.Attribute(tree.Root(), "b"), "");
}

TEST(XmlTree, CursorWalksSiblingsAndChildren) {
  XmlTree tree;
  ASSERT_TRUE(tree.Load("<smil><head/><body><par/><par><img/></par></body></smil>"));
  EXPECT_FALSE(tree.LeaveChild());
  EXPECT_TRUE(tree.NextChild("body"));  // from the document level: moves to the root first
  EXPECT_EQ(tree.ElementName(tree.Current()), "smil");
  EXPECT_EQ(tree.ElementName(tree.CurrentChild()), "body");
  ASSERT_TRUE(tree.EnterChild());
  EXPECT_EQ(tree.Depth(), 1u);
  EXPECT_TRUE(tree.NextChild("par"));
  EXPECT_TRUE(tree.NextChild("par"));
  EXPECT_FALSE(tree.NextChild("par"));
  ASSERT_TRUE(tree.EnterChild());
  EXPECT_TRUE(tree.NextChild());
  EXPECT_EQ(tree.ElementName(tree.CurrentChild()), "img");
  EXPECT_TRUE(tree.LeaveChild());
  EXPECT_TRUE(tree.LeaveChild());
  EXPECT_EQ(tree.ElementName(tree.CurrentChild()), "body");
  EXPECT_FALSE(tree.LeaveChild());  // depth 0
  EXPECT_FALSE(tree.NextSibling());
  tree.Rewind();
  EXPECT_TRUE(tree.NextSibling("smil"));
  EXPECT_FALSE(tree.NextSibling("smil"));

  XmlTree single;
  ASSERT_TRUE(single.Load("<smil/>"));
  EXPECT_FALSE(single.NextChild());
  XmlTree emptyPar;
  ASSERT_TRUE(emptyPar.Load("<body><par/></body>"));
  ASSERT_TRUE(emptyPar.EnterChild());
  EXPECT_FALSE(emptyPar.NextChild());
  XmlTree empty;
  EXPECT_FALSE(empty.Load(""));
  EXPECT_FALSE(empty.NextSibling());
  EXPECT_FALSE(empty.NextChild());
  EXPECT_FALSE(empty.EnterChild());
}

TEST(XmlTree, InsertingBuildsTheSkeletonLineByLine) {
  XmlTree tree;
  ASSERT_TRUE(tree.AppendSibling("smil"));
  // A document has one root element: a second one would be gone at the next load.
  EXPECT_FALSE(tree.AppendSibling("other"));
  ASSERT_TRUE(tree.AppendChild("head"));
  EXPECT_EQ(tree.Text(), "<smil>\r\n<head/>\r\n</smil>\r\n");
  ASSERT_TRUE(tree.AppendChild("body"));
  EXPECT_EQ(tree.Text(), "<smil>\r\n<head/>\r\n<body/>\r\n</smil>\r\n");
  ExpectIndexMatchesReload(tree);
  tree.Rewind();
  EXPECT_FALSE(tree.AppendSibling("again"));  // the document has its root
}

TEST(XmlTree, InsertingKeepsEveryOffsetInStep) {
  XmlTree tree;
  ASSERT_TRUE(tree.Load("<?xml version=\"1.0\"?>\n<smil a=\"1\"><head><layout/></head>text<body>"
                        "<par dur=\"1s\"><img src=\"x\"/></par><par/></body></smil>\n"));
  ASSERT_TRUE(tree.NextChild("head"));
  ASSERT_TRUE(tree.EnterChild());
  ASSERT_TRUE(tree.NextChild("layout"));
  ASSERT_TRUE(tree.EnterChild());
  ASSERT_TRUE(tree.AppendChild("root-layout"));  // opens up an empty element inside others
  ExpectIndexMatchesReload(tree);
  ASSERT_TRUE(tree.AppendChild("region"));
  ExpectIndexMatchesReload(tree);
  ASSERT_TRUE(tree.LeaveChild());
  ASSERT_TRUE(tree.AppendSibling("meta"));  // after head, before the text that precedes body
  ExpectIndexMatchesReload(tree);
  ASSERT_TRUE(tree.LeaveChild());
  EXPECT_EQ(ChildNames(tree, tree.Root()), (std::vector<std::string>{"head", "meta", "body"}));
  ASSERT_TRUE(tree.NextChild("body"));
  ASSERT_TRUE(tree.EnterChild());
  ASSERT_TRUE(tree.NextChild("par"));
  ASSERT_TRUE(tree.AppendChild("par"));  // after the current child, before its next sibling
  ExpectIndexMatchesReload(tree);
  EXPECT_EQ(ChildNames(tree, tree.Current()), (std::vector<std::string>{"par", "par", "par"}));
  EXPECT_EQ(tree.Attribute(tree.Span(tree.Current()).firstChild, "dur"), "1s");
  EXPECT_EQ(tree.Attribute(tree.Root(), "a"), "1");
}

TEST(XmlTree, InsertingRefusesNamesThatWouldNotReadBack) {
  XmlTree tree;
  for (const char* name : {"", "a b", "a/b", "a>", "a\"", "a&b", "<a"}) {
    EXPECT_FALSE(tree.AppendSibling(name)) << name;
  }
  EXPECT_FALSE(tree.AppendChild("a"));  // no current element
  EXPECT_TRUE(tree.Text().empty());
}

}  // namespace
