// CComposerFrame: the compose form's top-level window over the host's message window. It loads the
// message model from the message binding, shows the header fields above the slide area with one
// item window per kind of slide object, turns the form's commands into slide edits, and closes or
// sends the message through the binding, ending with IDOK to the host's window.
#pragma once

#include <memory>
#include <optional>

#include "forms/class_selector.h"
#include "forms/composer_commands.h"
#include "forms/composer_header.h"
#include "forms/composer_header_wnd.h"
#include "forms/composer_menu_rules.h"
#include "forms/message_binding.h"
#include "forms/slide_editor.h"
#include "forms/slide_items.h"
#include "forms/template_chooser.h"
#include "platform/registry/registry_notify.h"
#include "platform/text/cstring.h"
#include "ui/wnd_base.h"

class ULC_Poom;

constexpr const WCHAR* kComposerFrameClass = u"Ppc_WndCls_ComposerFrame";
constexpr const WCHAR* kComposerFrameTitle = u"ComposerFrame";

// What the frame's capture marker says of the next insertion: it selects the questions asked.
namespace capture_marker {
constexpr int kVideoFromPictureCapture = 1;
constexpr int kPictureFromVideoCapture = 2;
}  // namespace capture_marker

constexpr UINT kComposerSoftKeys = 250;
constexpr UINT kComposerPopups = 252;
constexpr UINT_PTR kFocusTimer = 0xD8E0FF;

// Which operation the voice-message check guards; closing lets an untouched empty message go.
namespace voice_message_check {
constexpr int kClose = 1;
constexpr int kSend = 2;
}  // namespace voice_message_check

// The insertion a form opened in compose mode 0 runs at once: the creation mode of the request.
namespace start_action {
constexpr LONG kNone = -1;
constexpr LONG kPictureOrVideo = 0;
constexpr LONG kAudio = 1;
constexpr LONG kContactCard = 2;
constexpr LONG kCalendarEntry = 3;
constexpr LONG kAttachment = 4;
}  // namespace start_action

// What the form's Init hands the frame.
struct ComposerStart {
  LONG formKind = 1;       // the message state the opening found; 3 and 6 mark a stored message
  BOOL composeMode = 1;    // 1 the full composer, 0 a form opened to run one insert action
  LONG startAction = -1;   // the creation mode of a creation request, -1 none
  CString messageClass;
  CString creationMarker;  // the host's word 4, as the opening kept it
  bool lockedObjectsRemoved = false;
};

// What the frame tells its form when it closes.
struct ComposerOutcome {
  LONG status = 0;  // 2 a saved change, 4 discarded
  bool sent = false;
};

class CComposerFrame : public CWndBase, private RecordToolbarOwner {
 public:
  CComposerFrame() = default;
  ~CComposerFrame() override;

  // Makes the frame window over `hostParent`, or brings an existing one forward; its handle or null.
  HWND Create(HWND hostParent, const ComposerStart& start);
  // The message the frame works on, borrowed from the form; null detaches it. A message loads the
  // model and shows the frame.
  void Attach(DWORD verb, MessageBinding* binding);

  HWND HostParent() const { return m_hostParent; }
  const ComposerStart& Start() const { return m_start; }
  MessageBinding* Binding() const { return m_binding; }
  DWORD OpenAction() const { return m_openAction; }
  // The state the frame reports to the form's close: 5 once the message was handed over.
  LONG ReportedState() const { return m_reportedState; }
  const ComposerOutcome& Outcome() const { return m_outcome; }
  // A forward whose content its message kind cannot carry: the form closes without writing.
  bool LoadRefused() const { return m_loadRefused; }

  SlideEditor* Editor() const { return m_editor.get(); }
  ComposerHeader* Header() const { return m_header.get(); }
  CComposerHeaderWnd* HeaderWindow() const { return m_headerWindow.get(); }
  CTextItem* TextItem() const { return m_textItem.get(); }
  CVisualItem* VisualItem() const { return m_visualItem.get(); }
  CSlideItem* SimpleItem() const { return m_simpleItem.get(); }
  CAudioItem* AudioItem() const { return m_audioItem.get(); }
  // Only in voice-mail mode, above the text item.
  CVoiceMailItem* VoiceMailItem() const { return m_voiceMailItem.get(); }
  bool IsVoiceMailMode() const { return m_voiceMailMode; }
  bool IsFlixMode() const { return m_flixMode; }
  // 1 a Flix message, 2 an MMS message, 0 undecided or a device without CDMA.
  int CdmaType() const { return m_cdmaType; }
  const CString& MessageClass() const { return m_start.messageClass; }
  HWND MenuBar() const { return m_menuBar; }
  // The template chooser while it is open, else null.
  CTemplateChooser* TemplateChooser() const { return m_chooser && m_chooser->IsOpen() ? m_chooser.get() : nullptr; }
  // The message-class selector of a CDMA device while it is open, else null.
  CClassSelector* ClassSelector() const {
    return m_classSelector && m_classSelector->IsOpen() ? m_classSelector.get() : nullptr;
  }
  bool IsBusy() const { return m_busy; }
  void SetBusy(bool busy) { m_busy = busy; }
  bool IsSendEnabled() const { return m_sendEnabled; }
  bool IsNextEnabled() const { return m_nextEnabled; }
  int LayoutCode() const { return m_layoutCode; }
  // Whether the model or the header differs from what was stored.
  bool HasChanges() const;

  const MessageMap* GetMessageMap() const override;
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnCreated() override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  // The slide operations with the windows brought up to date afterwards.
  void GoToSlide(int index);
  void PreviousSlide();
  void NextSlide();
  bool AddSlide();
  bool DeleteSlide(int index);
  bool RemoveObject(int slideIndex, int slotCode);
  void RefreshSlide();
  // Takes what the text item holds into the model.
  void FlushSlideEdits();
  // Adds the device file of `type` to the current slide under the content rules; false when it
  // was refused or declined.
  bool AddDeviceFile(LPCWSTR path, MediaType type);
  // A picture into the current slide through the part folder: nothing changes when the slide
  // shows it already, a file the message holds is used again, and a new copy is scaled to
  // DefaultResolution and held to the room the message has left.
  bool InsertPicture(LPCWSTR path, MediaType type);
  // 1 when a video came through the picture capture, 2 a picture through the video capture; it
  // selects the questions of the next insertion and is cleared after it.
  void SetCaptureMarker(int marker) { m_captureMarker = marker; }

 private:
  // composer_frame.cpp: the window, the layout and the slide area.
  bool LoadModel();
  void OnMessageLoaded();
  void CreateItems();
  void DestroyItems();
  void LayOut();
  void UpdateSizeDisplay();
  void ShowSlidePopup(POINT tap);
  // Whether the active window is one the frame owns (a dialog or picker opened over it).
  bool OwnsActiveWindow() const;
  LRESULT OnNavigation(WPARAM wParam, LPARAM lParam);
  LRESULT OnAddObject(WPARAM wParam, LPARAM lParam);
  LRESULT OnItemNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnSendButton(WPARAM wParam, LPARAM lParam);
  LRESULT OnRefreshItems(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
  LRESULT OnLeaveStartAction(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  LRESULT OnFirstShow(WPARAM wParam, LPARAM lParam);
  LRESULT OnCloseDialogs(WPARAM wParam, LPARAM lParam);
  LRESULT OnSlideCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnNothing(WPARAM wParam, LPARAM lParam);
  LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
  LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
  LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
  LRESULT OnChooseLayout(WPARAM wParam, LPARAM lParam);
  LRESULT OnOrganiseSlides(WPARAM wParam, LPARAM lParam);
  LRESULT OnSendOptions(WPARAM wParam, LPARAM lParam);
  LRESULT OnDefaultSendOptions(WPARAM wParam, LPARAM lParam);
  ComposerMenuState MenuState() const;

  // composer_templates.cpp: offering the templates and applying the one chosen.
  bool OffersTemplates();
  bool OpenTemplateChooser();
  bool CloseTemplateChooser();
  // Shows the frame with its message, closing a chooser that is still open.
  void ShowLoaded();
  bool ReloadFromSite(const CString* subject);
  LRESULT OnTemplates(WPARAM wParam, LPARAM lParam);
  LRESULT OnTemplateChosen(WPARAM wParam, LPARAM lParam);
  LRESULT OnTemplateCancelled(WPARAM wParam, LPARAM lParam);

  // composer_signature.cpp: the signature slide of a new message, a reply or a forward.
  void AddSignatureOnLoad();

  // composer_insertion.cpp: a file or text into the current slide under the content rules.
  bool InsertObject(LPCWSTR path, MediaType type);
  bool ApplyContentRules(MediaType type);
  CString CopyIntoPartFolder(LPCWSTR path, std::u16string_view name);
  // The type to insert as: the video's own, or sound when the person says so; nothing when the
  // question was cancelled.
  std::optional<MediaType> OfferVideoAsSound(LPCWSTR path, MediaType type);
  bool FitBudget(LPCWSTR source, LPCWSTR copy);
  void Tell(UINT textId);
  // A free name in the part folder made from `wanted`; empty when none is free.
  std::u16string UniquePartName(std::u16string_view wanted) const;

  // composer_handed_over.cpp: files that reach the composer from elsewhere.
  LRESULT OnHandedOverFile(WPARAM wParam, LPARAM lParam);
  LRESULT OnInsertPersonalData(WPARAM wParam, LPARAM lParam);
  // Compose mode 0: the insertion the form was opened for.
  LRESULT OnStartAction(WPARAM wParam, LPARAM lParam);
  void InsertAttachment();
  bool InsertHandedOverText(LPCWSTR path);
  bool InsertContactCard();
  bool InsertCalendarEntry();
  // Exports the store's item into a free file of the part folder and adds it to the message as a
  // personal-data attachment of the format (1 vCard, 2 vCalendar); says so when the export fails.
  bool AttachPersonalData(ULC_Poom* store, LONG id, DWORD format);

  // composer_insert_commands.cpp: the insert commands, each through its picker.
  LRESULT OnInsertVisual(WPARAM wParam, LPARAM lParam);
  LRESULT OnInsertAudio(WPARAM wParam, LPARAM lParam);
  LRESULT OnEditText(WPARAM wParam, LPARAM lParam);
  LRESULT OnInsertEmoticon(WPARAM wParam, LPARAM lParam);
  LRESULT OnInsertListText(WPARAM wParam, LPARAM lParam);
  LRESULT OnInsertCallNumber(WPARAM wParam, LPARAM lParam);
  LRESULT OnCapture(WPARAM wParam, LPARAM lParam);
  template <typename Action>
  void RunInsert(Action action);
  void AddObtained(LPCWSTR path, MediaType type);
  void Capture(bool video);
  void RecordAudio();
  // The next recording's path in the part folder and the bytes it may take.
  RecordToolbarTarget RecordingTarget() const;
  // The same, with an earlier voice message deleted first in voice-mail mode.
  RecordToolbarTarget NewRecordingTarget();

  // composer_insert_commands.cpp: the audio item's record toolbar.
  RecordToolbarTarget BeginRecording() override;
  void RecordingEnded() override;
  void InsertRecording(const CString& path) override;
  RecordToolbarSound SlideSound() override;
  void ShowSoundProgress(int position, int duration) override;
  int CdmaMessageType() const;

  // composer_flows.cpp: closing, sending, previewing and the other whole-message flows.
  LRESULT OnClose(WPARAM wParam, LPARAM lParam);
  LRESULT OnCloseMessage(WPARAM wParam, LPARAM lParam);
  LRESULT OnSend(WPARAM wParam, LPARAM lParam);
  LRESULT OnPreview(WPARAM wParam, LPARAM lParam);
  LRESULT OnSaveAsTemplate(WPARAM wParam, LPARAM lParam);
  LRESULT OnSendAsText(WPARAM wParam, LPARAM lParam);
  LRESULT OnReset(WPARAM wParam, LPARAM lParam);
  LRESULT OnPolicyChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnPolicyForbids(WPARAM wParam, LPARAM lParam);
  void Close(WORD command);
  bool KeepChecks();
  void WriteBack(bool keep);
  void FinishClose();
  bool Send();
  bool VoiceMessageCheck(int operation);

  // composer_voice_mail.cpp: the voice message of voice-mail mode.
  void RefreshVoiceMailItem();
  // Deletes an earlier voice message at `path`, taking it out of the slide first.
  void ReleaseOldVoiceMessage(const CString& path);

  // composer_class_selector.cpp: Flix or MMS, chosen while composing.
  LRESULT OnClassSelected(WPARAM wParam, LPARAM lParam);
  // The CDMA message type from the mode and the message class.
  void EvaluateCdmaType();
  // Shows 40630 and closes the form when a forward holds more than a Flix message carries.
  bool RefusesForwardedContent();
  // A new message on a CDMA device asks Flix or MMS first.
  void OpenClassSelector();
  void CloseClassSelector();
  bool SlideCountCheck();
  int Ask(UINT textId, UINT style);
  void DiscardModel();

  HWND m_hostParent = nullptr;
  ComposerStart m_start;
  MessageBinding* m_binding = nullptr;
  DWORD m_openAction = 0;
  LONG m_reportedState = 0;
  ComposerOutcome m_outcome;
  CString m_parentTitle;

  std::unique_ptr<SlideEditor> m_editor;
  std::unique_ptr<ComposerHeader> m_header;
  std::unique_ptr<CComposerHeaderWnd> m_headerWindow;
  std::unique_ptr<CVisualItem> m_visualItem;
  std::unique_ptr<CAudioItem> m_audioItem;
  std::unique_ptr<CTextItem> m_textItem;
  std::unique_ptr<CVoiceMailItem> m_voiceMailItem;
  // The one item of a form opened for one insertion: what the message holds so far.
  std::unique_ptr<CSlideItem> m_simpleItem;
  std::unique_ptr<CTemplateChooser> m_chooser;
  std::unique_ptr<CClassSelector> m_classSelector;
  HWND m_menuBar = nullptr;
  HWND m_slideNumber = nullptr;
  HWND m_sizeDisplay = nullptr;
  HWND m_focusedChild = nullptr;
  HREGNOTIFY m_policyNotify = nullptr;

  bool m_voiceMailMode = false;
  bool m_voiceMailText = false;
  bool m_flixMode = false;
  bool m_portrait = true;
  bool m_busy = false;
  bool m_discard = false;
  bool m_handedOver = false;
  bool m_sendEnabled = true;
  bool m_nextEnabled = false;
  bool m_menuTracking = false;
  bool m_shownOnce = false;
  bool m_policyChanged = false;
  bool m_closing = false;
  bool m_signatureDone = false;
  bool m_loadRefused = false;
  int m_layoutCode = 3;
  int m_cdmaType = 0;  // 1 Flix message, 2 MMS message, 0 undecided or without CDMA
  int m_captureMarker = 0;
};
