// Every presentation of the shared corpus, built against parts named the way its sources name them.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/text/text_conversion.h"
#include "presentation/slide_builder.h"
#include "support/test_device.h"

namespace {

using test_support::CorpusPath;
using test_support::ReadFileBytes;

// One part per media source of the presentation: a "cid:" source gives a part with that content
// identifier in angle brackets, any other a part with that content location.
void AddPartsNamedBy(const std::vector<SmilNode>& nodes, MessageModel& model) {
  for (const SmilNode& node : nodes) {
    AddPartsNamedBy(node.children, model);
    const std::string& src = node.media.src;
    if (node.nodeClass != SmilNodeClass::kMedia || src.empty()) {
      continue;
    }
    const std::u16string name = platform::Utf8ToUtf16(src);
    MediaPart& part = *AddPartOfType(model, name, TypeOfFile(name, false));
    if (src.starts_with("cid:")) {
      part.contentId = CString(u"<" + name.substr(4) + u">");
    } else {
      part.contentLocation = CString(name);
    }
  }
}

// The <par> elements of a SMIL text, counted by a plain scan that skips comments rather than by the
// parser under test.
std::size_t ParElements(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (text.substr(at, 4) == "<!--") {
      at = text.find("-->", at);
      if (at == std::string_view::npos) break;
      continue;
    }
    const char next = at + 4 < text.size() ? text[at + 4] : '\0';
    if (text.substr(at, 4) == "<par" && (std::isspace(static_cast<unsigned char>(next)) || next == '>' || next == '/')) {
      ++count;
    }
  }
  return count;
}

TEST(CorpusSlides, PresentationsBuildOneSlidePerPar) {
  test_support::TestDevice device;
  // The presentations the builder refuses, and why: the loader shows their messages one slide per part.
  const std::map<std::string, SlideBuildStatus> refused = {
      {"mmsd-con-210-p1.smil", SlideBuildStatus::kBodyNodeNotPar},  // an img straight in the body
      {"pm-m-p2.smil", SlideBuildStatus::kBodyNodeNotPar},          // a repeated seq among the pars
  };
  for (const auto& entry : std::filesystem::directory_iterator(CorpusPath("smil"))) {
    const std::string file = entry.path().filename().string();
    SCOPED_TRACE(file);
    const std::string text = ReadFileBytes(entry.path());
    const auto presentation = ParsePresentation(text);
    ASSERT_TRUE(presentation);
    MessageModel model;
    AddPartsNamedBy(presentation->body, model);
    const SlideBuildStatus status = BuildSlidesFromPresentation(*presentation, model.layout, model.slides, model.parts,
                                                                u"\\parts\\");
    const auto expected = refused.find(file);
    EXPECT_EQ(status, expected == refused.end() ? SlideBuildStatus::kOk : expected->second)
        << DescribeSlideBuildStatus(status);
    if (status == SlideBuildStatus::kOk) {
      EXPECT_EQ(model.slides.size(), ParElements(text));
      EXPECT_EQ(CountAttachments(model), 0);
      EXPECT_GE(model.layout.regions.size(), 1u);
    }
  }
}

}  // namespace
