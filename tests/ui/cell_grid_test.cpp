// The cell grid under the person's keys and taps: scrolling by whole rows to keep the selection in
// view, the edges of the entries, and what a tap on each kind of place does.
#include "ui/cell_grid.h"

#include <vector>

#include "platform/window/messages.h"
#include "platform/window/window_styles.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

// Hears the grid's IDOK.
class GridParent : public CWndBase {
 public:
  int chosen = 0;
  LRESULT DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) ++chosen;
    return CWndBase::DefProc(hwnd, message, wParam, lParam);
  }
};

// Cells of 50 x 40 pixels, drawn as nothing: what is tested is where they are.
class NumberGrid : public CCellGrid {
 public:
  int count = 0;
  mutable std::vector<int> drawn;
  int Count() const override { return count; }

 protected:
  SIZE CellSize() const override { return SIZE{50, 40}; }
  void DrawCell(HDC, int index, const RECT&, bool) const override { drawn.push_back(index); }
};

class CellGridTest : public UiTest {
 protected:
  // A 160 x 100 grid: three columns (10 pixels left over, 5 each side) and two whole rows.
  void Make(int count) {
    ASSERT_TRUE(m_parent.Create(u"GridParent", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr, 0,
                                CWndBase::kWhiteBackground));
    m_grid.count = count;
    ASSERT_TRUE(m_grid.Create(u"NumberGrid", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 160, 100, nullptr,
                              m_parent.GetHandle(), 1, CWndBase::kWhiteBackground));
    m_grid.SetFocus();
  }
  POINT OnGrid(int x, int y) const {
    POINT point{x, y};
    ClientToScreen(m_grid.GetHandle(), &point);
    return point;
  }

  GridParent m_parent;
  NumberGrid m_grid;
};

TEST_F(CellGridTest, SelectingBeyondTheVisibleRowsScrollsByWholeRows) {
  Make(10);
  ASSERT_EQ(m_grid.Columns(), 3);
  EXPECT_EQ(m_grid.CellRect(4).left, 5 + 50) << "the columns stand in the middle";
  m_grid.Select(9);  // row 3: rows 2 and 3 are in view
  EXPECT_EQ(m_grid.Selection(), 9);
  EXPECT_EQ(m_grid.CellRect(9).top, 40);
  EXPECT_EQ(m_grid.CellRect(6).top, 0);
  EXPECT_LT(m_grid.CellRect(5).bottom, 1) << "the rows above the view are out of it";
  m_grid.Select(4);  // row 1 is above the view: it becomes the first
  EXPECT_EQ(m_grid.CellRect(4).top, 0);
  m_grid.Select(-5);
  EXPECT_EQ(m_grid.Selection(), 0) << "selections are kept within the entries";
  EXPECT_EQ(m_grid.CellRect(0).top, 0);
  m_grid.Select(99);
  EXPECT_EQ(m_grid.Selection(), 9);
}

TEST_F(CellGridTest, ArrowKeysStopAtTheEntriesAndActionChooses) {
  Make(5);
  m_grid.Select(0);
  struct Step {
    UINT key;
    int selection;
  };
  for (const Step& step : {Step{VK_LEFT, 0}, Step{VK_DOWN, 3}, Step{VK_DOWN, 4}, Step{VK_RIGHT, 4},
                           Step{VK_UP, 1}, Step{VK_UP, 0}}) {
    platform::automation::PressKey(step.key);
    EXPECT_EQ(m_grid.Selection(), step.selection) << "key " << step.key;
  }
  EXPECT_EQ(m_parent.chosen, 0);
  platform::automation::PressKey(VK_RETURN);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(m_parent.chosen, 1);
}

TEST_F(CellGridTest, ATapSelectsThenChoosesAndEmptyPlacesDoNothing) {
  Make(4);
  m_grid.Select(0);
  platform::automation::Tap(OnGrid(5 + 75, 20));  // the second cell
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(m_grid.Selection(), 1);
  EXPECT_EQ(m_parent.chosen, 0) << "the first tap only selects";
  platform::automation::Tap(OnGrid(2, 20));          // the margin left of the columns
  platform::automation::Tap(OnGrid(5 + 125, 60));   // below the third entry: no fourth column there
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(m_grid.Selection(), 1);
  EXPECT_EQ(m_parent.chosen, 0);
  platform::automation::Tap(OnGrid(5 + 75, 20));
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(m_parent.chosen, 1) << "a tap on the selected cell chooses it";
}

TEST_F(CellGridTest, PaintingDrawsOnlyTheCellsInView) {
  Make(12);
  m_grid.Select(11);
  m_grid.drawn.clear();
  m_grid.InvalidateRect(nullptr, TRUE);
  m_grid.UpdateWindow();
  EXPECT_EQ(m_grid.drawn, (std::vector<int>{6, 7, 8, 9, 10, 11}));
}

TEST_F(CellGridTest, NoEntriesMeansNoSelectionAndNoChoice) {
  Make(0);
  m_grid.Select(3);
  EXPECT_EQ(m_grid.Selection(), -1);
  platform::automation::PressKey(VK_RETURN);
  platform::automation::Tap(OnGrid(40, 20));
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(m_parent.chosen, 0);
}

}  // namespace
}  // namespace ui_test
