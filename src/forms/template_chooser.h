// The template chooser of the compose form (dialog template 219, titled with string 40359): a
// modeless window owned by the composer frame that shows every entry of the template store as its
// preview with its name, the custom entry (an empty message) included. Choosing posts 0x07B5 to
// the frame, cancelling 0x07B6; the frame reads the chosen entry and closes the chooser. It runs
// no message loop of its own, so the frame stays closable while it is open.
#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "engines/dib_image.h"
#include "forms/template_store.h"
#include "ui/cell_grid.h"
#include "ui/dialog_base.h"

namespace template_chooser {
constexpr DWORD kDialog = 219;
constexpr UINT kTitle = 40359;
constexpr UINT kSoftKeys = 261;
constexpr UINT kDeleteQuestion = 40822;
constexpr int kListControl = 1137;
}  // namespace template_chooser

constexpr const WCHAR* kTemplateWndClass = u"TemplateWnd";

// The entries as a grid of cells, each a preview picture over its name, in index order. Command
// 40147 deletes the selected template after asking.
class CTemplateWnd : public CCellGrid {
 public:
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;

  // The store is borrowed from the chooser and outlives the window.
  BOOL Create(HWND parent, const RECT& rect, TemplateStore* store);
  int Count() const override;
  // The index of the entry of that name, or -1.
  int IndexOf(std::u16string_view name) const;
  // Reads the previews again and keeps the selection within the entries.
  void Relayout();

 protected:
  SIZE CellSize() const override;
  void DrawCell(HDC hdc, int index, const RECT& cell, bool selected) const override;

 private:
  RECT PictureRect(const RECT& cell) const;
  void DeleteSelected();

  TemplateStore* m_store = nullptr;
  std::vector<std::unique_ptr<DibImage, DibImageDeleter>> m_previews;
};

class CTemplateChooser : public CDialogBase {
 public:
  CTemplateChooser() = default;
  ~CTemplateChooser() override;

  const MessageMap* GetMessageMap() const override;

  // Opens the template store and shows the chooser over `frame`, which hears of the choice; false
  // when the window cannot be made.
  bool Open(HWND frame);
  // Destroys the window without telling the frame anything; true once no window is left.
  bool Close();
  bool IsOpen() const { return IsWindow() != FALSE; }
  // The entry chosen, once the chooser has posted 0x07B5.
  const std::optional<TemplateEntry>& Chosen() const { return m_chosen; }
  CTemplateWnd& List() { return m_list; }
  TemplateStore& Store() { return m_store; }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnOK(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnCancel(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnChooseCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnCancelCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnDeleteCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnCloseDialog(WPARAM wParam, LPARAM lParam) override;

 private:
  // Tells the frame once, whichever way the chooser ends.
  void Tell(UINT message, LPARAM lParam);

  HWND m_frame = nullptr;
  TemplateStore m_store;
  CTemplateWnd m_list;
  std::optional<TemplateEntry> m_chosen;
  bool m_told = false;
};
