#include "device/wait_cursor.h"

#include <gtest/gtest.h>

#include "platform/window/window_api.h"

namespace {

TEST(WaitCursor, NestedHoldsKeepTheWaitCursorUntilTheLastOneGoes) {
  const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  SetCursor(arrow);
  {
    WaitCursorHold outer;
    EXPECT_EQ(GetCursor(), wait);
    {
      WaitCursorHold inner;
      EXPECT_EQ(GetCursor(), wait);
      EXPECT_EQ(WaitCursorHolds(), 2);
    }
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(WaitCursorHolds(), 1);
  }
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_EQ(WaitCursorHolds(), 0);

  // The cursor put back is the one the first hold replaced, whatever it was.
  SetCursor(nullptr);
  {
    WaitCursorHold hold;
    EXPECT_EQ(GetCursor(), wait);
  }
  EXPECT_EQ(GetCursor(), nullptr);
}

TEST(WaitCursor, AReleaseWithoutAHoldChangesNothing) {
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  SetCursor(arrow);
  ReleaseWaitCursorHold();
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_EQ(WaitCursorHolds(), 0);
  // The next hold still shows the wait cursor and its release still restores.
  TakeWaitCursorHold();
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  ReleaseWaitCursorHold();
  EXPECT_EQ(GetCursor(), arrow);
}

}  // namespace
