// The list view: rows and their texts, icons and item data; the one selection and what the parent
// is told of it; taps, keys and scrolling; sorting by item data; and how rows are drawn.
#include <algorithm>

#include "controls_fixture.h"
#include "platform/controls/list_view_api.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/gdi/png_file.h"
#include "platform/window/screen.h"

namespace controls_test {
namespace {

// What the parent was told, copied while the notification was on its way.
struct Told {
  UINT code;
  int row;
  UINT newState;
  UINT oldState;
  LPARAM data;
};

std::vector<Told>& ToldLog() {
  static std::vector<Told> log;
  return log;
}

LRESULT ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
    ToldLog().push_back({change->hdr.code, change->iItem, change->uNewState, change->uOldState, change->lParam});
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class ListViewTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    ToldLog().clear();
    WNDCLASSW info{};
    info.lpfnWndProc = ParentProcedure;
    info.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    info.lpszClassName = u"ListViewParent";
    RegisterClassW(&info);
    m_parent = CreateWindowExW(0, u"ListViewParent", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr,
                               nullptr, nullptr);
    m_list = CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, 0, 0, 240, 100,
                             m_parent, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(kId)), nullptr, nullptr);
    ASSERT_NE(m_list, nullptr);
  }

  int Insert(int at, const char16_t* text, LPARAM data, int image = -1) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = at;
    item.pszText = const_cast<LPWSTR>(text);
    item.lParam = data;
    item.iImage = image;
    return static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  }
  std::u16string Text(int row, int room = 64) {
    std::vector<WCHAR> text(static_cast<std::size_t>(room) + 1, u'#');
    LVITEMW item{};
    item.pszText = text.data();
    item.cchTextMax = room;
    SendMessageW(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text.data();
  }
  std::vector<std::u16string> Texts() {
    std::vector<std::u16string> texts;
    const int count = static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) texts.push_back(Text(row));
    return texts;
  }
  LRESULT SetSelected(int row, bool selected) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    return SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
  int Selected() { return static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); }
  RECT RowRect(int row) {
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return rect;
  }
  void TapRow(int row) {
    const RECT rect = RowRect(row);
    ASSERT_TRUE(platform::automation::Tap(ScreenPoint(m_list, 20, (rect.top + rect.bottom) / 2)));
  }

  static constexpr int kId = 77;
  HWND m_parent = nullptr;
  HWND m_list = nullptr;
};

TEST_F(ListViewTest, RowsKeepTheirTextIconAndDataWhereTheyWereInserted) {
  EXPECT_EQ(Insert(0, u"beta", 20, 1), 0);
  EXPECT_EQ(Insert(-1, u"gamma", 30, 2), 1);  // past the end: appended
  EXPECT_EQ(Insert(0, u"alpha", 10, 0), 0);
  EXPECT_EQ(Insert(99, u"delta", 40), 3);
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"alpha", u"beta", u"gamma", u"delta"}));
  LVITEMW item{};
  item.mask = LVIF_PARAM | LVIF_IMAGE;
  item.iItem = 2;
  ASSERT_TRUE(SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_EQ(item.lParam, 30);
  EXPECT_EQ(item.iImage, 2);
  // The text is cut to the room given, with its terminating null.
  EXPECT_EQ(Text(1, 3), u"be");
  EXPECT_EQ(SendMessageW(m_list, LVM_GETITEMTEXTW, 1, 0), 0);
  item.iItem = 4;
  EXPECT_FALSE(SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_FALSE(SendMessageW(m_list, LVM_INSERTITEMW, 0, 0) >= 0);
  EXPECT_TRUE(SendMessageW(m_list, LVM_DELETEITEM, 0, 0));
  EXPECT_FALSE(SendMessageW(m_list, LVM_DELETEITEM, 3, 0));
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"beta", u"gamma", u"delta"}));
  EXPECT_TRUE(SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0));
  EXPECT_EQ(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, OneRowIsSelectedAndTheParentHearsOfEveryChange) {
  for (LPARAM i = 0; i < 4; ++i) Insert(-1, u"row", 100 + i);
  EXPECT_EQ(Selected(), -1);
  EXPECT_TRUE(SetSelected(1, true));
  EXPECT_EQ(Selected(), 1);
  ASSERT_EQ(ToldLog().size(), 1u);
  EXPECT_EQ(ToldLog()[0].code, LVN_ITEMCHANGED);
  EXPECT_EQ(ToldLog()[0].row, 1);
  EXPECT_EQ(ToldLog()[0].data, 101);
  EXPECT_TRUE(ToldLog()[0].newState & LVIS_SELECTED);
  // Another row takes the selection: first the row that loses it is told of, then the new one.
  ToldLog().clear();
  SetSelected(3, true);
  ASSERT_EQ(ToldLog().size(), 2u);
  EXPECT_EQ(ToldLog()[0].row, 1);
  EXPECT_TRUE(ToldLog()[0].oldState & LVIS_SELECTED);
  EXPECT_FALSE(ToldLog()[0].newState & LVIS_SELECTED);
  EXPECT_EQ(ToldLog()[1].row, 3);
  EXPECT_EQ(SendMessageW(m_list, LVM_GETITEMSTATE, 3, LVIS_SELECTED), static_cast<LRESULT>(LVIS_SELECTED));
  EXPECT_EQ(SendMessageW(m_list, LVM_GETITEMSTATE, 1, LVIS_SELECTED), 0);
  // Selecting the selected row again, or a row that is not there, tells nothing.
  ToldLog().clear();
  SetSelected(3, true);
  EXPECT_FALSE(SetSelected(9, true));
  EXPECT_TRUE(ToldLog().empty());
  EXPECT_EQ(Selected(), 3);
  // Rows inserted or deleted above keep the selection on its row.
  Insert(0, u"new", 99);
  EXPECT_EQ(Selected(), 4);
  SendMessageW(m_list, LVM_DELETEITEM, 0, 0);
  SendMessageW(m_list, LVM_DELETEITEM, 0, 0);
  EXPECT_EQ(Selected(), 2);
  // "Every row" can only take the selection away.
  EXPECT_TRUE(SetSelected(-1, false));
  EXPECT_EQ(Selected(), -1);
  SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
  EXPECT_EQ(Selected(), -1);
}

TEST_F(ListViewTest, TapsSelectAndOpenAndKeysMoveTheSelectionIntoView) {
  for (LPARAM i = 0; i < 12; ++i) Insert(-1, u"row", i);
  const int page = static_cast<int>(SendMessageW(m_list, LVM_GETCOUNTPERPAGE, 0, 0));
  ASSERT_GT(page, 1);
  ASSERT_LT(page, 12);
  TapRow(2);
  EXPECT_EQ(Selected(), 2);
  ASSERT_FALSE(ToldLog().empty());
  EXPECT_EQ(ToldLog().back().code, NM_CLICK);
  EXPECT_EQ(ToldLog().back().row, 2);
  // A second tap on the selected row opens it.
  TapRow(2);
  EXPECT_EQ(ToldLog().back().code, NM_DBLCLK);
  EXPECT_EQ(ToldLog().back().data, 2);
  // From no selection the down key starts at the first row and stops on the last.
  SendMessageW(m_list, LVM_DELETEITEM, 11, 0);
  SetSelected(-1, false);
  SetFocus(m_list);
  for (int step = 0; step < 20; ++step) platform::automation::PressKey(VK_DOWN);
  EXPECT_EQ(Selected(), 10);  // stops on the last row
  EXPECT_EQ(SendMessageW(m_list, LVM_GETTOPINDEX, 0, 0), 11 - page);
  const RECT last = RowRect(10);
  EXPECT_LE(last.bottom, 100);
  EXPECT_GE(last.top, 0);
  for (int step = 0; step < 20; ++step) platform::automation::PressKey(VK_UP);
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(SendMessageW(m_list, LVM_GETTOPINDEX, 0, 0), 0);
  ToldLog().clear();
  platform::automation::PressKey(VK_RETURN);
  ASSERT_EQ(ToldLog().size(), 1u);
  EXPECT_EQ(ToldLog()[0].code, NM_RETURN);
  EXPECT_EQ(ToldLog()[0].row, 0);
}

int CompareDescending(LPARAM a, LPARAM b, LPARAM sort) {
  EXPECT_EQ(sort, 5);
  return static_cast<int>(b - a);
}

TEST_F(ListViewTest, SortingOrdersRowsByTheirDataAndTheSelectionGoesWithItsRow) {
  Insert(-1, u"two", 2);
  Insert(-1, u"three", 3);
  Insert(-1, u"one", 1);
  SetSelected(2, true);
  ToldLog().clear();
  ASSERT_TRUE(SendMessageW(m_list, LVM_SORTITEMS, 5, reinterpret_cast<LPARAM>(&CompareDescending)));
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"three", u"two", u"one"}));
  EXPECT_EQ(Selected(), 2);
  EXPECT_EQ(Text(Selected()), u"one");
  // The selection did not change, so nothing was told.
  EXPECT_TRUE(ToldLog().empty());
  EXPECT_FALSE(SendMessageW(m_list, LVM_SORTITEMS, 0, 0));
}

TEST_F(ListViewTest, RowsShowTheirIconsWithTheKeyTransparentAndTheSelectedRowHighlighted) {
  // One 8 x 8 icon: red with a grey key frame of one pixel.
  HDC screen = GetDC(nullptr);
  platform::gdi::UniqueBitmap face(CreateCompatibleBitmap(screen, 8, 8));
  {
    platform::gdi::MemoryDc dc(screen);
    platform::gdi::ScopedSelect select(dc.Get(), face.Get());
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        SetPixel(dc.Get(), x, y, x == 0 || y == 0 || x == 7 || y == 7 ? RGB(192, 192, 192) : RGB(255, 0, 0));
      }
    }
  }
  ReleaseDC(nullptr, screen);
  HIMAGELIST icons = ImageList_Create(8, 8, ILC_MASK | ILC_COLOR24, 1, 0);
  ASSERT_EQ(ImageList_AddMasked(icons, face.Get(), RGB(192, 192, 192)), 0);
  EXPECT_EQ(SendMessageW(m_list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons)), 0);
  EXPECT_EQ(SendMessageW(m_list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), reinterpret_cast<LRESULT>(icons));
  Insert(-1, u"first", 0, 0);
  Insert(-1, u"second", 1, 0);
  Insert(-1, u"no icon", 2);
  SetSelected(1, true);
  platform::automation::PumpUntilIdle();
  const std::filesystem::path shot = test_support::BinaryPath("controls-pictures/list-view.png");
  std::filesystem::create_directories(shot.parent_path());
  ASSERT_TRUE(platform::automation::Screenshot(shot));
  std::optional<platform::gdi::Surface> picture = platform::gdi::ReadPng(shot);
  ASSERT_TRUE(picture.has_value());
  const RECT first = RowRect(0), second = RowRect(1), third = RowRect(2);
  const int iconTop0 = first.top + (first.bottom - first.top - 8) / 2;
  const int iconLeft = platform::window::ScaleForDensity(2);
  // The icon's middle is red; its key frame shows the row beneath: the window colour, or the
  // highlight.
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(picture->Pixel(iconLeft + 4, iconTop0 + 4), RGB(255, 0, 0));
  EXPECT_EQ(picture->Pixel(iconLeft, iconTop0), window);
  const int iconTop1 = second.top + (second.bottom - second.top - 8) / 2;
  EXPECT_EQ(picture->Pixel(iconLeft + 4, iconTop1 + 4), RGB(255, 0, 0));
  EXPECT_EQ(picture->Pixel(iconLeft, iconTop1), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(picture->Pixel(230, second.top + 1), GetSysColor(COLOR_HIGHLIGHT));
  // A row without an icon draws none.
  const int iconTop2 = third.top + (third.bottom - third.top - 8) / 2;
  EXPECT_EQ(picture->Pixel(iconLeft + 4, iconTop2 + 4), window);
  // Rows are high enough for the text and the icon.
  EXPECT_GE(first.bottom - first.top, 8 + 2);
  DestroyWindow(m_list);
  ImageList_Destroy(icons);
}

}  // namespace
}  // namespace controls_test
