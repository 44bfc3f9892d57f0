// CReadView (dialog 210): the full-screen view that plays a received message slide by slide. It
// owns the slide player and the playback toolbar with its progress bar, keeps the playback state
// as the player reports it, enables previous and next by the slide position, keeps the device
// awake while playing, and keeps the current link the text reported. Its soft-key menu offers the
// reader's commands: the message dialogs, replies and forward, and the actions on the link.
#pragma once

#include <functional>
#include <memory>

#include "forms/slide_player.h"
#include "platform/registry/registry_notify.h"
#include "platform/controls/toolbar_api.h"
#include "model/message_model.h"
#include "ui/dialog_base.h"
#include "ui/keep_awake_timer.h"
#include "ui/playback_toolbar.h"
#include "ui/progress_bar.h"

constexpr DWORD kReadViewDialog = 210;
constexpr UINT_PTR kKeepAwakeTimer = kPlaybackKeepAwakeTimer;
constexpr UINT kKeepAwakeMs = kPlaybackKeepAwakeMs;
constexpr WORD kToolbarId = 40499;
constexpr WORD kPreviousCommand = 40740;
constexpr WORD kNextCommand = 40739;
constexpr WORD kFullScreenCommand = 40820;
constexpr UINT WM_READ_VIEW_CLOSE = 1268;
constexpr UINT kReadViewMenu = 251;
// The Talk key, which the soft-key bar hands to the view as a hot key.
constexpr UINT kTalkKey = 0x72;
constexpr UINT WM_HOTKEY = 0x0312;

class MessageBinding;

// The read view's commands beyond playback (WM_COMMAND identifiers).
namespace read_command {
constexpr WORD kMessageInfo = 40723;
constexpr WORD kSaveObjects = 41091;
constexpr WORD kDeliveryReport = 40049;
constexpr WORD kReadReport = 40949;
constexpr WORD kSaveThisObject = 41143;
constexpr WORD kReplyText = 40633;
constexpr WORD kReplyMms = 40632;
constexpr WORD kReplyVoiceMail = 41092;
constexpr WORD kForward = 40631;
constexpr WORD kCallLink = 40421;
constexpr WORD kCallLinkWithOptions = 40682;
constexpr WORD kOpenLink = 40455;
constexpr WORD kTextToLink = 40683;
constexpr WORD kMmsToLink = 40684;
constexpr WORD kEmailToLink = 40686;
constexpr WORD kVoiceMailToLink = 40685;
constexpr WORD kSaveLinkToContacts = 40635;
constexpr WORD kLinkToFavorites = 40758;
constexpr WORD kEditLink = 40424;
constexpr WORD kLinkToClient = 40495;
}  // namespace read_command

// The read view's own window messages beyond the player's.
constexpr UINT WM_READ_POLICY_CHANGED = 1326;
constexpr UINT WM_READ_CURRENT_OBJECT = 1330;  // wParam: HTML flag, lParam: the path (LPCWSTR)
// Asks the client's main frame to take a link (wParam 2, then 6, then 7; lParam the link's text).
constexpr UINT WM_CLIENT_TAKE_ITEM = 0x04EF;

namespace read_view {
constexpr int kStopped = 0;
constexpr int kPaused = 1;
constexpr int kPlaying = 2;
}  // namespace read_view

// The toolbar's progress text: position and total as "%02d:%02d / %02d:%02d".
CString ProgressText(int position, int total);

class CReadView : public CDialogBase {
 public:
  // The model and the binding outlive the view; without a binding (a model shown on its own) the
  // commands that need the stored message do nothing. `openedWithFlag` is the flag of opening:
  // no policy watch, and without a sender the menu loses its second item as well.
  explicit CReadView(MessageModel* model, MessageBinding* binding = nullptr, bool openedWithFlag = false);
  ~CReadView() override;

  const MessageMap* GetMessageMap() const override;
  LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam) override;

  // Runs dialog 210 owned by `owner`; true when it ended with 1.
  bool Run(HWND owner);

  int PlaybackState() const { return m_state; }
  bool Ended() const { return m_ended; }
  int CurrentSlide() const { return m_slide; }
  int SlideCount() const { return m_count; }
  bool PreviousEnabled() const;
  bool NextEnabled() const;
  bool KeepAwakeRunning() const { return m_keepAwake.Running(); }
  const CString& LinkTarget() const { return m_linkTarget; }
  int LinkType() const { return m_linkType; }
  HWND Toolbar() const { return m_toolbar; }
  HWND MenuBar() const { return m_menuBar; }
  // The soft-key bar's menu popup ("Menu"), and the link submenu in it; null without a bar.
  HMENU MainMenu() const;
  HMENU LinkMenu() const;
  // Whether the message can be answered: it has a sender and a reply address (no report).
  bool CanReply() const { return !m_sender.IsEmpty() && m_hasReplyAddress; }
  DWORD PolicyValue() const { return m_policy; }
  const CString& HtmlFolder() const { return m_htmlFolder; }
  bool HasCurrentObject() const { return m_hasCurrentObject; }
  const CString& CurrentObject() const { return m_currentObject; }
  ProgressBar* Progress() { return m_progress.get(); }
  CSlidePlayer& Player() { return m_player; }
  // Called on every keep-awake tick; SystemIdleTimerReset unless replaced.
  void SetIdleReset(std::function<void()> reset) { m_keepAwake.SetIdleReset(std::move(reset)); }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnClose(WPARAM wParam, LPARAM lParam);
  LRESULT OnPlay(WPARAM wParam, LPARAM lParam);
  LRESULT OnPause(WPARAM wParam, LPARAM lParam);
  LRESULT OnStop(WPARAM wParam, LPARAM lParam);
  LRESULT OnPrevious(WPARAM wParam, LPARAM lParam);
  LRESULT OnNext(WPARAM wParam, LPARAM lParam);
  LRESULT OnFullScreen(WPARAM wParam, LPARAM lParam);
  LRESULT OnEnded(WPARAM wParam, LPARAM lParam);
  LRESULT OnPaused(WPARAM wParam, LPARAM lParam);
  LRESULT OnResumed(WPARAM wParam, LPARAM lParam);
  LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnSlide(WPARAM wParam, LPARAM lParam);
  LRESULT OnAtEnd(WPARAM wParam, LPARAM lParam);
  LRESULT OnPauseRequest(WPARAM wParam, LPARAM lParam);
  LRESULT OnMediaAhead(WPARAM wParam, LPARAM lParam);
  LRESULT OnIgnored(WPARAM wParam, LPARAM lParam);
  LRESULT OnLinkActivated(WPARAM wParam, LPARAM lParam);
  LRESULT OnLinkSelected(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnTap(WPARAM wParam, LPARAM lParam);
  LRESULT OnLoseFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  LRESULT OnCloseView(WPARAM wParam, LPARAM lParam);

  // The message and link commands, the menus and the rest of the window messages
  // (read_view_commands.cpp).
  LRESULT OnMessageInfo(WPARAM wParam, LPARAM lParam);
  LRESULT OnDeliveryReport(WPARAM wParam, LPARAM lParam);
  LRESULT OnReadReport(WPARAM wParam, LPARAM lParam);
  LRESULT OnReplyText(WPARAM wParam, LPARAM lParam);
  LRESULT OnReplyMms(WPARAM wParam, LPARAM lParam);
  LRESULT OnReplyVoiceMail(WPARAM wParam, LPARAM lParam);
  LRESULT OnForward(WPARAM wParam, LPARAM lParam);
  LRESULT OnCallLink(WPARAM wParam, LPARAM lParam);
  LRESULT OnOpenLink(WPARAM wParam, LPARAM lParam);
  LRESULT OnTextToLink(WPARAM wParam, LPARAM lParam);
  LRESULT OnMmsToLink(WPARAM wParam, LPARAM lParam);
  LRESULT OnEmailToLink(WPARAM wParam, LPARAM lParam);
  LRESULT OnVoiceMailToLink(WPARAM wParam, LPARAM lParam);
  LRESULT OnLinkToFavorites(WPARAM wParam, LPARAM lParam);
  LRESULT OnEditLink(WPARAM wParam, LPARAM lParam);
  LRESULT OnLinkToClient(WPARAM wParam, LPARAM lParam);
  LRESULT OnSaveObjects(WPARAM wParam, LPARAM lParam);
  LRESULT OnSaveThisObject(WPARAM wParam, LPARAM lParam);
  LRESULT OnSaveLinkToContacts(WPARAM wParam, LPARAM lParam);
  LRESULT OnHotKey(WPARAM wParam, LPARAM lParam);
  LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnHtmlLink(WPARAM wParam, LPARAM lParam);
  LRESULT OnHtmlFolder(WPARAM wParam, LPARAM lParam);
  LRESULT OnPolicyChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnCurrentObject(WPARAM wParam, LPARAM lParam);

 private:
  void BuildToolbar();
  void DestroyToolbar();
  RECT PlayerRect();
  void ShowPlayButton(bool play);
  void UpdateNavigation();
  void StartKeepAwake();
  void StopKeepAwake();
  void PauseUnlessVideoStarting();
  // read_view_commands.cpp
  void ReadMessageFacts();
  void BuildMenuBar();
  void WatchPolicy();
  void CheckPolicyChange();
  void ShowMessageInformation();
  void Reply(int kind);
  void TalkKey();
  void ComposeToLink(int kind);
  void ShowComposeMenu(POINT at, UINT align);
  void ClearLink();
  void CancelContactChooser();

  MessageModel* m_model;
  CSlidePlayer m_player;
  HWND m_toolbar = nullptr;
  HIMAGELIST m_images = nullptr;
  PlaybackToolbar m_buttons;
  std::unique_ptr<ProgressBar> m_progress;
  int m_slide = 0;
  int m_count = 0;
  int m_state = read_view::kStopped;
  bool m_ended = false;
  bool m_fullScreenButton = false;
  bool m_fullScreen = false;
  bool m_autoPlay = true;
  KeepAwakeTimer m_keepAwake{kKeepAwakeTimer, kKeepAwakeMs};
  CString m_linkTarget;
  int m_linkType = 0;

  MessageBinding* m_binding;
  bool m_openedWithFlag;
  HWND m_menuBar = nullptr;
  bool m_senderItemsRemoved = false;
  CString m_sender;
  bool m_hasReplyAddress = false;
  DWORD m_policy = 1;
  bool m_policyChanged = false;
  HREGNOTIFY m_policyNotify = nullptr;
  CString m_htmlFolder;
  bool m_hasCurrentObject = false;
  CString m_currentObject;
  bool m_currentObjectIsHtml = false;  // HTML files are flagged to the saver
  bool m_notifyMark = false;
};
