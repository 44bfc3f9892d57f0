// The emoticon picker (dialog template 208, titled with string 40293): the set of the device's
// screen as a grid of its pictures, one selected; the arrow keys move the selection, a tap selects
// and a tap on the selected one chooses it, as the action key and OK do. The frame inserts the
// chosen emoticon's text into the slide's text.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/text/cstring.h"
#include "ui/cell_grid.h"
#include "ui/dialog_base.h"
#include "ui/emoticon_player.h"
#include "ui/gif_animation.h"

namespace emoticon_picker {
constexpr DWORD kDialog = 208;
constexpr UINT kTitle = 40293;
constexpr int kListControl = 1135;  // the template's list, which the grid takes the place of
constexpr int kGridControl = 1136;
constexpr WORD kChoose = 40092;     // the soft key's command that chooses, as IDOK does
constexpr WORD kCancel = 40151;
constexpr UINT_PTR kFrameTimer = 4610;
constexpr UINT kFrameTimerMs = 20;
}  // namespace emoticon_picker

// The grid of emoticon pictures, window class "EmoticonGrid". The animated ones play on a frame
// timer for as long as the grid is open.
class CEmoticonGrid : public CCellGrid {
 public:
  ~CEmoticonGrid() override;
  const MessageMap* GetMessageMap() const override;

  BOOL Create(HWND parent, const RECT& rect, EmoticonPlayer* player);
  int Count() const override;
  // The frame emoticon `index` shows; -1 for a picture that is not animated.
  int AnimationFrame(int index) const;

 protected:
  SIZE CellSize() const override;
  void DrawCell(HDC hdc, int index, const RECT& cell, bool selected) const override;
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

 private:
  void OpenAnimations();
  RECT PictureRect(const RECT& cell) const;

  EmoticonPlayer* m_player = nullptr;
  // One for each emoticon, null for those that do not animate.
  std::vector<std::unique_ptr<GifAnimation>> m_animations;
  DWORD m_lastTick = 0;
  bool m_timer = false;
};

class CEmoticonPickerDialog : public CDialogBase {
 public:
  const MessageMap* GetMessageMap() const override;
  // Loads the configured set for the screen and runs the dialog; the chosen text, or nothing when
  // the picker was cancelled or had nothing to offer.
  std::optional<CString> Run(HWND owner);
  const EmoticonPlayer& Player() const { return m_player; }
  const CEmoticonGrid& Grid() const { return m_grid; }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnOK(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnChooseCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnCancelCommand(WPARAM wParam, LPARAM lParam);

 private:
  EmoticonPlayer m_player;
  CEmoticonGrid m_grid;
  std::optional<CString> m_chosen;
};

// The frame's entry point (command 40925): TRUE with the chosen emoticon's text in *text.
BOOL RunEmoticonPicker(HWND owner, CString* text);
