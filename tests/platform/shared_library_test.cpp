#include "platform/internal/shared_library.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_device.h"

namespace {

using platform::internal::LoadFunctions;
using platform::internal::SharedLibrary;

struct ProbeFunctions {
  int (*answer)();
  int (*other)();
};

void ResolveAnswer(SharedLibrary& library, ProbeFunctions& probe) { library.Resolve(probe.answer, "ProbeAnswer"); }

void ResolveAnswerAndMissing(SharedLibrary& library, ProbeFunctions& probe) {
  library.Resolve(probe.answer, "ProbeAnswer");
  library.Resolve(probe.other, "NoSuchExport");
}

// A feature that needs a library works with all of it or not at all: a table with a hole in it
// would be called through a null pointer.
TEST(SharedLibraries, AFunctionTableComesWholeOrNotAtAll) {
  const std::string probe = test_support::BinaryPath("test-plugins/Probe.dll").string();
  auto whole = LoadFunctions<ProbeFunctions>(probe.c_str(), ResolveAnswer);
  ASSERT_TRUE(whole.has_value());
  EXPECT_EQ(whole->answer(), 42);
  EXPECT_FALSE(LoadFunctions<ProbeFunctions>(probe.c_str(), ResolveAnswerAndMissing).has_value());
  EXPECT_FALSE(LoadFunctions<ProbeFunctions>("libNoSuchLibrary.so.1", ResolveAnswer).has_value());
}

TEST(SharedLibraries, AMissingLibraryResolvesNothing) {
  SharedLibrary missing("libNoSuchLibrary.so.1");
  int (*answer)() = nullptr;
  missing.Resolve(answer, "ProbeAnswer");
  EXPECT_EQ(answer, nullptr);
  EXPECT_FALSE(missing.Complete());
}

}  // namespace
