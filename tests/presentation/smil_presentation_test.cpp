#include "presentation/smil_presentation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_device.h"

namespace {

using test_support::CorpusPath;
using test_support::ReadFileBytes;
using test_support::TestDevice;
using test_support::WriteFileBytes;

const char* kFullPresentation = R"(<smil>
<head>
 <meta name="title" content="mms"/>
 <transition id="fade" type="fade" dur="1s"/>
 <layout>
  <root-layout width="176" height="144" background-color="#000080"/>
  <region id="Image" left="10%" top="0" width="50%" height="60%" fit="slice" backgroundColor="red" z-index="2"/>
  <region id="Text" left="0%" top="60%" width="100%" height="40%"/>
 </layout>
</head>
<body>
 <par dur="5s" fill="freeze">
  <img src="a.jpg" region="Image" alt="cid:alt" begin="1" dur="3"/>
  <text src="t.txt" region="Text" fontcolor="#ff0000" fontsize="14" background-color="#00ff00"/>
  <unknown><img src="hidden.jpg"/></unknown>
 </par>
 <seq><par><audio src="s.amr" clipBegin="2s" repeatCount="3"/></par></seq>
</body>
</smil>)";

TEST(SmilPresentation, ReadsLayoutRegionsAndBody) {
  const std::optional<SmilPresentation> presentation = ParsePresentation(kFullPresentation);
  ASSERT_TRUE(presentation);
  ASSERT_TRUE(presentation->rootLayout);
  EXPECT_EQ(presentation->rootLayout->width, 176);
  EXPECT_EQ(presentation->rootLayout->height, 144);
  EXPECT_EQ(presentation->rootLayout->backgroundColor, "#000080");
  ASSERT_EQ(presentation->regions.size(), 2u);
  const SmilRegion& image = presentation->regions[0];
  EXPECT_EQ(image.id, "Image");
  EXPECT_EQ(image.left, 10);
  EXPECT_EQ(image.top, kPixelLength);
  EXPECT_EQ(image.fit, SmilFit::kSlice);
  EXPECT_EQ(image.backgroundColor, "red");
  EXPECT_EQ(image.zIndex, 2);
  EXPECT_EQ(presentation->regions[1].fit, SmilFit::kHidden);
  ASSERT_EQ(presentation->meta.size(), 1u);
  EXPECT_EQ(presentation->meta[0].content, "mms");
  ASSERT_EQ(presentation->transitions.size(), 1u);
  EXPECT_EQ(presentation->transitions[0].dur, 1000);

  ASSERT_EQ(presentation->body.size(), 2u);
  const SmilNode& par = presentation->body[0];
  EXPECT_EQ(par.nodeClass, SmilNodeClass::kContainer);
  EXPECT_EQ(par.containerKind, SmilContainerKind::kPar);
  ASSERT_TRUE(par.timing);
  EXPECT_EQ(par.timing->dur, 5000);
  EXPECT_EQ(par.timing->fill, SmilFill::kFreeze);
  ASSERT_EQ(par.children.size(), 2u);  // the unknown element and all below it are skipped
  const SmilMedia& img = par.children[0].media;
  EXPECT_EQ(img.kind, SmilMediaKind::kImage);
  EXPECT_EQ(img.src, "a.jpg");
  EXPECT_EQ(img.alt, "cid:alt");
  EXPECT_EQ(img.begin, 1000);
  EXPECT_EQ(img.dur, 3000);
  const SmilMedia& text = par.children[1].media;
  EXPECT_EQ(text.fontColor, "#ff0000");
  EXPECT_EQ(text.backgroundColor, "#00ff00");
  EXPECT_EQ(text.fontSize, 14);

  const SmilNode& seq = presentation->body[1];
  EXPECT_EQ(seq.containerKind, SmilContainerKind::kSeq);
  EXPECT_FALSE(seq.timing);  // no timing attribute: no timing record
  ASSERT_EQ(seq.children.size(), 1u);
  EXPECT_FALSE(seq.children[0].timing);
  const SmilMedia& audio = seq.children[0].children.at(0).media;
  EXPECT_EQ(audio.kind, SmilMediaKind::kAudio);
  EXPECT_EQ(audio.clipBegin, 2000);
  EXPECT_EQ(audio.repeatCount, 3);
}

TEST(SmilPresentation, MediaDirectlyInTheBodyIsWrappedInOneSequence) {
  const auto presentation = ParsePresentation("<smil><body><par/><img src=\"a\"/><text src=\"b\"/></body></smil>");
  ASSERT_TRUE(presentation);
  ASSERT_EQ(presentation->body.size(), 1u);
  EXPECT_EQ(presentation->body[0].containerKind, SmilContainerKind::kSeq);
  EXPECT_EQ(presentation->body[0].children.size(), 3u);
}

TEST(SmilPresentation, NamesAreExactAndTheRootMayHaveAnyName) {
  const auto presentation = ParsePresentation(
      "<doc><HEAD><layout><region id=\"x\"/></layout></HEAD><body><PAR/><par backgroundColor=\"1\"/></body></doc>");
  ASSERT_TRUE(presentation);
  EXPECT_TRUE(presentation->regions.empty());
  ASSERT_EQ(presentation->body.size(), 1u);
  EXPECT_FALSE(presentation->body[0].timing);
}

TEST(SmilPresentation, ValuesAreCutTo255Characters) {
  const std::string huge(1 << 20, 'x');
  const auto presentation =
      ParsePresentation("<smil><body><par><img src=\"" + huge + "\" region=\"r\"/></par></body></smil>");
  ASSERT_TRUE(presentation);
  const SmilMedia& img = presentation->body.at(0).children.at(0).media;
  EXPECT_EQ(img.src.size(), kMaxSmilValue);
  EXPECT_EQ(img.region, "r");
}

TEST(SmilPresentation, MalformedTextIsRejectedWithItsReason) {
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<par>";
  std::string binary;
  for (int i = 1; i < 256; ++i) binary += static_cast<char>(i * 7 % 251 + 1);
  // kOk stands for "any failure" where the exact fault depends on the bytes.
  const std::vector<std::pair<std::string, XmlStatus>> cases = {
      {"", XmlStatus::kEmpty},
      {"<smil><body><par>" + deep, XmlStatus::kTooDeep},
      {"<smil><body></smil>", XmlStatus::kMismatchedEndTag},
      {binary, XmlStatus::kOk},
      {"\x89PNG\r\n\x1a\n", XmlStatus::kNoElement},
  };
  for (const auto& [text, status] : cases) {
    SmilLoadResult result;
    EXPECT_FALSE(ParsePresentation(text, &result));
    EXPECT_EQ(result.status, SmilLoadStatus::kNotXml);
    if (status != XmlStatus::kOk) {
      EXPECT_EQ(result.xml.status, status);
    }
  }
}

TEST(SmilPresentation, FilesAreReadWithinALimit) {
  TestDevice device;
  SmilLoadResult result;
  EXPECT_FALSE(LoadPresentation(u"\\missing.smil", &result));
  EXPECT_EQ(result.status, SmilLoadStatus::kCannotOpen);

  WriteFileBytes(device.root() / "big.smil", "<smil>" + std::string(kMaxPresentationFile, ' ') + "</smil>");
  EXPECT_FALSE(LoadPresentation(u"\\big.smil", &result));
  EXPECT_EQ(result.status, SmilLoadStatus::kTooLarge);

  WriteFileBytes(device.root() / "ok.smil", std::string("<smil><body><par/></body></smil>\0<garbage", 42));
  const auto presentation = LoadPresentation(u"\\OK.SMIL", &result);
  ASSERT_TRUE(presentation);
  EXPECT_EQ(presentation->body.size(), 1u);
}

TEST(SmilPresentation, EveryCorpusPresentationIndexesAndParses) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusPath("smil"))) {
    SCOPED_TRACE(entry.path().filename().string());
    const std::string text = ReadFileBytes(entry.path());
    XmlTree tree;
    const XmlParseResult indexed = tree.Load(text);
    EXPECT_TRUE(indexed) << static_cast<int>(indexed.status) << " at " << indexed.offset;
    const auto presentation = ParsePresentation(text);
    ASSERT_TRUE(presentation);
    EXPECT_FALSE(presentation->body.empty());
    EXPECT_LE(presentation->regions.size(), 2u);
    ++files;
  }
  EXPECT_GE(files, 13);
}

}  // namespace
