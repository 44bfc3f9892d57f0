// The save-objects window (dialog 221): the list of a message's objects, sorted by name or type,
// from which the person opens, uses, saves or previews one. Saving follows the save rule of
// object_saving.h; a sound is previewed with the audio engine, keeping the device awake.
#pragma once

#include <functional>
#include <vector>

#include "forms/saveable_objects.h"
#include "model/message_model.h"
#include "ui/dialog_base.h"

constexpr DWORD kSaveObjectsDialog = 221;
constexpr UINT kSaveObjectsMenu = 254;
constexpr int kObjectList = 1135;
constexpr UINT_PTR kPreviewKeepAwakeTimer = 4183;

namespace save_objects {
constexpr WORD kSortByName = 40058;
constexpr WORD kSortByType = 40059;
constexpr WORD kOpen = 40146;
constexpr WORD kUse = 40125;
constexpr WORD kSave = 40144;
constexpr WORD kPlay = 40500;
constexpr WORD kPause = 40501;
constexpr WORD kStop = 40502;
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
  const std::vector<SaveableObject>& Objects() const { return m_objects; }
  int Selection() const;
  void Select(int row);
  WORD SortKey() const { return m_sortKey; }
  bool Descending() const { return m_descending; }
  bool SaveEnabled() const;
  // Whether the last Save wrote its file.
  bool LastSaveSucceeded() const { return m_lastSaved; }
  int PreviewState() const { return m_preview; }
  bool KeepAwakeRunning() const { return m_keepAwake != 0; }
  HMENU Menu() const { return m_menu; }
  // The rows' texts as the list shows them.
  std::vector<CString> RowTexts() const;
  // Called on every keep-awake tick; SystemIdleTimerReset unless replaced.
  void SetIdleReset(std::function<void()> reset) { m_idleReset = std::move(reset); }

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
  LRESULT OnList(WPARAM wParam, LPARAM lParam);
  LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
  LRESULT OnAudioProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

 private:
  void Sort();
  void FillList();
  void UpdateSortMenu();
  void UpdateMenuState(HMENU menu);
  const SaveableObject* Selected() const;
  void SelectionChanged();
  void StopPreview();
  void StartKeepAwake();
  void StopKeepAwake();

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
  UINT_PTR m_keepAwake = 0;
  CString m_targetFolder;
  std::function<void()> m_idleReset;
};

// Opens the save-objects window for the message, owned by `owner`; true when it ended with Done.
bool ShowSaveObjects(HWND owner, MessageModel* model);
