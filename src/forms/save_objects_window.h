// The save-objects window (dialog 221): the list of a message's objects, each with the icon of
// its kind, sorted by name or type, from which the person opens, uses, saves or previews one.
// Saving follows the save rule of object_saving.h; a sound is previewed with the audio engine from
// a play and stop toolbar that exchanges play for pause, shows how far the sound has played and
// keeps the device awake, as the read view's does.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "forms/saveable_objects.h"
#include "model/message_model.h"
#include "platform/controls/toolbar_api.h"
#include "ui/dialog_base.h"
#include "ui/keep_awake_timer.h"
#include "ui/playback_toolbar.h"

constexpr DWORD kSaveObjectsDialog = 221;
constexpr UINT kSaveObjectsMenu = 254;
constexpr int kObjectList = 1135;
constexpr UINT_PTR kPreviewKeepAwakeTimer = kPlaybackKeepAwakeTimer;
constexpr WORD kPreviewToolbarId = 40499;

namespace save_objects {
constexpr WORD kSortByName = 40058;
constexpr WORD kSortByType = 40059;
constexpr WORD kOpen = 40146;
constexpr WORD kUse = 40125;
constexpr WORD kSave = 40144;
constexpr WORD kPlay = kPlayCommand;
constexpr WORD kPause = kPauseCommand;
constexpr WORD kStop = kStopCommand;
constexpr int kSortSubmenu = 4;

constexpr int kPreviewStopped = 0;
constexpr int kPreviewPaused = 1;
constexpr int kPreviewPlaying = 2;
}  // namespace save_objects

class CSaveObjectsWindow : public CDialogBase {
 public:
  // The model outlives the window.
  explicit CSaveObjectsWindow(MessageModel* model);
  ~CSaveObjectsWindow() override;

  const MessageMap* GetMessageMap() const override;

  // Runs dialog 221; true when it ended with 1 (Done).
  bool Run(HWND owner);

  // Saves into this folder instead of the folder for each object's kind (the host's batch save).
  void SetTargetFolder(CString folder) { m_targetFolder = std::move(folder); }

  // The objects in the order the list shows them.
  std::vector<SaveableObject> Objects() const;
  int Selection() const;
  void Select(int row);
  WORD SortKey() const { return m_sortKey; }
  bool Descending() const { return m_descending; }
  bool SaveEnabled() const;
  // Whether the last Save wrote its file.
  bool LastSaveSucceeded() const { return m_lastSaved; }
  int PreviewState() const { return m_preview; }
  bool KeepAwakeRunning() const { return m_keepAwake.Running(); }
  // The preview toolbar (null when it could not be made) and whether its button shows play.
  HWND Toolbar() const { return m_buttons.Toolbar(); }
  bool PlayShown() const { return m_buttons.PlayShown(); }
  // The bar's progress of the preview (null without a toolbar): the position against the sound's
  // length while it plays or pauses, the whole length once it has played to the end, 0 after a stop.
  const ProgressBar* Progress() const { return m_progress.get(); }
  HIMAGELIST Icons() const { return m_icons; }
  HMENU Menu() const { return m_menu; }
  // The rows' texts as the list shows them.
  std::vector<CString> RowTexts() const;
  // Called on every keep-awake tick; SystemIdleTimerReset unless replaced.
  void SetIdleReset(std::function<void()> reset) { m_keepAwake.SetIdleReset(std::move(reset)); }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnDone(WPARAM wParam, LPARAM lParam);
  LRESULT OnSort(WPARAM wParam, LPARAM lParam);
  LRESULT OnOpen(WPARAM wParam, LPARAM lParam);
  LRESULT OnUse(WPARAM wParam, LPARAM lParam);
  LRESULT OnSave(WPARAM wParam, LPARAM lParam);
  LRESULT OnPlay(WPARAM wParam, LPARAM lParam);
  LRESULT OnPause(WPARAM wParam, LPARAM lParam);
  LRESULT OnStop(WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
  LRESULT OnAudioProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

 private:
  void Sort();
  void FillList();
  void BuildPreviewBar();
  void UpdatePreviewButtons();
  void SetPreview(int state);
  void UpdateSortMenu();
  void UpdateMenuState(HMENU menu);
  const SaveableObject* Selected() const;
  void SelectionChanged();
  // Ends a preview; the bar shows where it ended: the whole length at the sound's end, else 0.
  void StopPreview(bool atEnd = false);

  MessageModel* m_model;
  std::vector<SaveableObject> m_objects;
  HMENU m_menu = nullptr;
  bool m_ownsMenu = false;
  HWND m_menuBar = nullptr;
  HFONT m_font = nullptr;
  WORD m_sortKey;
  bool m_descending;
  int m_preview = save_objects::kPreviewStopped;
  bool m_lastSaved = false;
  KeepAwakeTimer m_keepAwake{kPreviewKeepAwakeTimer, kPlaybackKeepAwakeMs};
  PlaybackToolbar m_buttons;
  std::unique_ptr<ProgressBar> m_progress;
  // The previewed sound's length in milliseconds, 0 before it has been loaded.
  int m_previewLength = 0;
  HIMAGELIST m_faces = nullptr;
  HIMAGELIST m_icons = nullptr;
  // The part the selection was last on: a preview belongs to it.
  const MediaPart* m_selectedPart = nullptr;
  CString m_targetFolder;
};

// Opens the save-objects window for the message, owned by `owner`; true when it ended with Done.
bool ShowSaveObjects(HWND owner, MessageModel* model);
