// CHyperTextCtrl: the read form's text view, window class "maqHyperTextCtrl". A read-only,
// word-wrapped, scrollable text that draws the links found in it in link colours, lets them be
// selected (option 0x2000) and tapped, and tells its parent what happened.
#pragma once

#include <cstdint>
#include <memory>

#include "device/link_detection.h"
#include "ui/emoticon_player.h"
#include "ui/hyper_text_layout.h"
#include "ui/wnd_base.h"

// Options given at creation.
constexpr DWORD kHyperTextEmoticons = 0x100;   // emoticons as pictures (with the SupportEmoticon setting)
constexpr DWORD kHyperTextDoneAtOnce1 = 0x200;  // with 0x400: done as soon as shown
constexpr DWORD kHyperTextDoneAtOnce2 = 0x400;
constexpr DWORD kHyperTextRaisedPoint = 0x800;  // link-opening points 20 scaled pixels higher
constexpr DWORD kHyperTextSelectable = 0x2000;  // links can be selected

// Notifications to the parent.
constexpr UINT kHyperTextTappedOutside = 0x0500;  // posted, 0, 0
constexpr UINT kHyperTextSelectionChanged = 0x0526;  // sent, link number, 0
constexpr UINT kHyperTextLinkOpened = 0x04E2;  // sent, LinkRecord*, screen point or 0
constexpr UINT kHyperTextScrolled = 0x04CD;  // sent, 2, 0 horizontal / 1 vertical; from the owner with 1: open
constexpr WPARAM kHyperTextOpenSelected = 1;
constexpr WPARAM kHyperTextScrollNotice = 2;

// Scroll requests (wParam low word of WM_VSCROLL).
constexpr WORD SB_LINEUP = 0;
constexpr WORD SB_LINEDOWN = 1;
constexpr WORD SB_PAGEUP = 2;
constexpr WORD SB_PAGEDOWN = 3;
constexpr WORD SB_THUMBPOSITION = 4;
constexpr WORD SB_THUMBTRACK = 5;
constexpr WORD SB_TOP = 6;
constexpr WORD SB_BOTTOM = 7;

constexpr const WCHAR* kHyperTextClass = u"maqHyperTextCtrl";

class CHyperTextCtrl : public CWndBase {
 public:
  CHyperTextCtrl() = default;
  ~CHyperTextCtrl() override;

  BOOL OnPaintMessage() override;
  BOOL RegisterWindowClass(const WNDCLASSW* windowClass) override;
  BOOL OnCreated() override;
  const MessageMap* GetMessageMap() const override;

  // A child of `parent` over `rect`, which is filled with the parent's client rectangle first
  // (null: that rectangle is used without being handed back).
  BOOL Create(HWND parent, RECT* rect, DWORD style, DWORD options);
  void SetColorsAndFont(COLORREF textColour, COLORREF backgroundColour, int fontSize);
  // Lays the text out for width x height; `first` gets (layout height, lines, pages), `second` the
  // same for secondHeight when it is positive. FALSE for an empty text or a size below 1 x 1.
  BOOL SetText(LPCWSTR text, int width, int height, int secondHeight, DWORD first[3], DWORD second[3]);
  void Resize(const RECT& rect);
  BOOL IsDone() const;
  // Whether ScanLinks looks for links in the texts set from now on (it does by default).
  void EnableLinks(bool enabled) { m_linksEnabled = enabled; }

  // Selects link `number` (1-based; 0 clears), scrolls it into view and repaints. No parent notice.
  bool SelectLink(int number);
  int SelectedLink() const { return m_selected; }
  const LinkList& Links() const { return m_links; }
  const HyperTextLayout& Layout() const { return m_layout; }
  int ScrollPosition() const { return m_scroll; }
  DWORD Options() const { return m_options; }
  // The emoticon player, once a text has needed it; null otherwise.
  EmoticonPlayer* Emoticons() const { return m_emoticons.get(); }

 protected:
  LRESULT OnSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
  LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
  LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  LRESULT OnPaintEntry(WPARAM wParam, LPARAM lParam);
  LRESULT OnOwnerRequest(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);

 private:
  void Relayout();
  void Paint(HDC hdc, const RECT& client);
  void PaintRun(HDC hdc, const HyperTextRun& run);
  static int Margin();
  // The text's height with its margins; the client rectangle of a run at the current scroll.
  int ContentHeight() const;
  RECT ClientRectOf(const HyperTextRun& run) const;
  void ScrollTo(int position);
  int MaxScroll() const;
  int ClientHeight() const;
  void UpdateDone();
  // Lets the emoticon player mark the text's emoticons for the next layout.
  void MarkEmoticons(HDC hdc);
  void SendOpened(const LinkRecord& record, LPARAM point);
  POINT LinkOpeningPoint(int link) const;
  void StepSelection(int direction);

  DWORD m_options = 0;
  COLORREF m_background = 0;
  COLORREF m_textColour = 0;
  COLORREF m_linkColours[3] = {0xFF0000, 0xFF0000, 0x800080};  // link, selection, opened before
  int m_fontSize = 12;
  HFONT m_font = nullptr;      // null: the stock system font
  bool m_ownsFont = false;
  bool m_linksEnabled = true;
  LinkList m_links;
  std::vector<bool> m_opened;  // per link: opened before (drawn in the third colour)
  HyperTextLayout m_layout;
  int m_selected = 0;
  LinkRecord m_selectedRecord;
  LinkRecord m_tappedRecord;
  int m_scroll = 0;
  bool m_done = false;
  HDC m_memoryDc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
  SIZE m_bitmapSize{};
  std::unique_ptr<EmoticonPlayer> m_emoticons;
};
