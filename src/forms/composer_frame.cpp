#include "forms/composer_frame.h"

#include <algorithm>
#include <array>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/content_check.h"
#include "forms/message_size.h"
#include "forms/slide_layout_chooser.h"
#include "forms/send_options_dialog.h"
#include "forms/slide_sorter.h"
#include "platform/controls/control_messages.h"
#include "platform/controls/menu_api.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/gdi/gdi_api.h"
#include "platform/pim/calendar_chooser.h"
#include "platform/pim/contact_chooser.h"
#include "platform/text/text_conversion.h"
#include "platform/controls/toolbar_api.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/dialog_base.h"

namespace {

constexpr DWORD kFrameStyle = 0x80030000;
// The title bar and the soft-key bar each take this much of the screen, at 96 dots per inch.
constexpr int kBarHeight = 26;
constexpr int kMaxTitle = 260;
constexpr UINT kFocusDelayMs = 100;
constexpr UINT kSlideNumberText = 40369;
constexpr UINT kTooManySlidesText = 40258;
constexpr UINT kSipInfo = 224;
constexpr UINT kSettingReset = 0x3002;
constexpr UINT kNavigationBarHeight = 18;
constexpr int kSlideNumberId = 1290;
constexpr int kSizeDisplayId = 1291;
constexpr LPCWSTR kPolicyKey = u"\\Security\\Policies\\Policies";
constexpr LPCWSTR kPolicyValue = u"00001033";

// The item heights, in logical pixels before scaling.
constexpr int kItemGap = 4;
constexpr int kVisualHeight = 136;
constexpr int kTallVisualHeight = 215;
constexpr int kTextHeight = 36;

CString PartPath(const MessageModel& model, const std::optional<MediaRef>& reference) {
  if (!reference || reference->part == nullptr) return CString();
  return CString(std::u16string(model.partFolder.View()) + std::u16string(reference->part->fileName.View()));
}

// The names of the message's files, one a line: all a form opened for one insertion shows.
CString PartNames(const MessageModel& model) {
  CString names;
  for (const MediaPart& part : model.parts) {
    if (!names.IsEmpty()) names += u'\n';
    names += part.fileName.View();
  }
  return names;
}

int LogPixelsY() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

CComposerFrame::~CComposerFrame() {
  if (m_policyNotify != nullptr) RegistryCloseNotification(m_policyNotify);
  CloseClassSelector();
  CloseTemplateChooser();
  DestroyItems();
  m_headerWindow.reset();
  if (IsWindow()) ::DestroyWindow(GetHandle());
}

const MessageMap* CComposerFrame::GetMessageMap() const {
  using F = CComposerFrame;
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnCommandId(composer_command::kCloseAskOther, &F::OnClose),
      OnMessage(composer_message::kAddObject, &F::OnAddObject),
      OnMessage(composer_message::kInsertPersonalData, &F::OnInsertPersonalData),
      OnMessage(composer_message::kStartAction, &F::OnStartAction),
      OnMessage(composer_message::kHandedOverFile, &F::OnHandedOverFile),
      OnMessage(composer_message::kRelayout, &F::OnRefreshItems),
      OnMessage(WM_SIZE, &F::OnSize),
      OnMessage(WM_MOVE, &F::OnMove),
      OnCommandId(composer_command::kPreviousSlide, &F::OnSlideCommand),
      OnCommandId(composer_command::kNextSlide, &F::OnSlideCommand),
      OnCommandId(composer_command::kSlidePopup, &F::OnSlideCommand),
      OnCommandId(composer_command::kCloseKeep, &F::OnClose),
      OnCommandId(composer_command::kCloseAsk, &F::OnClose),
      OnCommandId(composer_command::kCancel, &F::OnClose),
      OnCommandId(composer_command::kSend, &F::OnSend),
      OnCommandId(composer_command::kPreview, &F::OnPreview),
      OnCommandId(composer_command::kPreviewOther, &F::OnPreview),
      OnCommandId(composer_command::kTemplates, &F::OnTemplates),
      OnCommandId(composer_command::kLeaveStartAction, &F::OnLeaveStartAction),
      OnCommandId(composer_command::kSaveAsTemplate, &F::OnSaveAsTemplate),
      OnCommandId(composer_command::kAddSlide, &F::OnSlideCommand),
      OnCommandId(composer_command::kDeleteSlide, &F::OnSlideCommand),
      OnCommandId(composer_command::kRemoveVisual, &F::OnSlideCommand),
      OnCommandId(composer_command::kRemoveAudio, &F::OnSlideCommand),
      OnCommandId(composer_command::kRemoveText, &F::OnSlideCommand),
      OnCommandId(composer_command::kInsertCallNumber, &F::OnInsertCallNumber),
      OnCommandId(composer_command::kInsertVisual, &F::OnInsertVisual),
      OnCommandId(composer_command::kEditText, &F::OnEditText),
      OnCommandId(composer_command::kInsertListText, &F::OnInsertListText),
      OnCommandId(composer_command::kInsertAudio, &F::OnInsertAudio),
      OnCommandId(composer_command::kInsertEmoticon, &F::OnInsertEmoticon),
      OnCommandId(composer_command::kNothing, &F::OnNothing),
      OnCommandId(composer_command::kChooseLayout, &F::OnChooseLayout),
      OnCommandId(composer_command::kOrganiseSlides, &F::OnOrganiseSlides),
      OnCommandId(composer_command::kSendOptions, &F::OnSendOptions),
      OnCommandId(composer_command::kDefaultSendOptions, &F::OnDefaultSendOptions),
      OnCommandId(composer_command::kSendAsText, &F::OnSendAsText),
      OnCommandId(composer_command::kCapturePicture, &F::OnCapture),
      OnCommandId(composer_command::kCaptureVideo, &F::OnCapture),
      OnMessage(WM_MEASUREITEM, &F::OnMeasureItem),
      OnMessage(WM_DRAWITEM, &F::OnDrawItem),
      OnMessage(composer_message::kTemplateChosen, &F::OnTemplateChosen),
      OnMessage(composer_message::kTemplateCancelled, &F::OnTemplateCancelled),
      OnMessage(composer_message::kFirstShow, &F::OnFirstShow),
      OnMessage(composer_message::kClose, &F::OnCloseMessage),
      OnMessage(composer_message::kSend, &F::OnSend),
      OnMessage(WM_CLOSEDIALOG, &F::OnCloseDialogs),
      OnMessage(composer_message::kSendButton, &F::OnSendButton),
      OnMessage(composer_message::kRefreshItems, &F::OnRefreshItems),
      OnMessage(composer_message::kReset, &F::OnReset),
      OnMessage(WM_ITEM_NOTIFY, &F::OnItemNotify),
      OnMessage(composer_message::kScrollToFocus, &F::OnRefreshItems),
      OnMessage(WM_INITMENUPOPUP, &F::OnInitMenuPopup),
      OnMessage(WM_SETFOCUS, &F::OnSetFocus),
      OnMessage(WM_TIMER, &F::OnTimer),
      OnMessage(composer_message::kSetChanged, &F::OnSetChanged),
      OnMessage(composer_message::kNavigation, &F::OnNavigation),
      OnMessage(composer_message::kPolicyChanged, &F::OnPolicyChanged),
      OnMessage(composer_message::kPolicyForbids, &F::OnPolicyForbids),
      OnMessage(WM_SETTINGCHANGE, &F::OnSettingChange),
      OnMessage(composer_message::kClassSelected, &F::OnClassSelected),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

LRESULT CComposerFrame::OnCommand(WPARAM wParam, LPARAM lParam) {
  const WORD id = LOWORD(wParam);
  // The go-to and colour commands are ranges, which the map's single identifiers do not cover.
  if (id >= composer_command::kFirstGoTo && id <= composer_command::kLastGoTo) {
    GoToSlide(id - composer_command::kFirstGoTo);
    return 0;
  }
  if (id >= composer_command::kFirstColour && id <= composer_command::kLastColour) {
    if (m_editor) {
      m_editor->SetBackgroundColor(ComposerBackgroundColour(id).value_or(kWhite));
      InvalidateRect(nullptr, TRUE);
    }
    return 0;
  }
  // With an address field focused the contact goes into the header.
  if (id == composer_command::kInsertContact && m_headerWindow && m_headerWindow->FocusedAddressField() != 0) {
    m_headerWindow->ChooseContactFor(m_headerWindow->FocusedAddressField());
    return 0;
  }
  return CWndBase::OnCommand(wParam, lParam);
}

HWND CComposerFrame::Create(HWND hostParent, const ComposerStart& start) {
  if (IsWindow()) {
    ::SetForegroundWindow(GetHandle());
    return GetHandle();
  }
  m_hostParent = hostParent;
  m_start = start;
  const int bar = ScaleY(kBarHeight);
  if (!CWndBase::Create(kComposerFrameClass, kComposerFrameTitle, kFrameStyle, 0, bar, ::GetSystemMetrics(SM_CXSCREEN),
                        ::GetSystemMetrics(SM_CYSCREEN) - 2 * bar, ULC_Global::GetGlobal()->resourceModule.instance,
                        hostParent, 0, nullptr)) {
    return nullptr;
  }
  if (hostParent != nullptr) {
    WCHAR title[kMaxTitle + 1] = {};
    ::GetWindowTextW(hostParent, title, kMaxTitle);
    m_parentTitle = CString(title);
    if (HWND inbox = ::FindWindowW(u"Inbox.MainWnd", nullptr)) {
      WCHAR inboxTitle[kMaxTitle + 1] = {};
      ::GetWindowTextW(inbox, inboxTitle, kMaxTitle);
      ::SetWindowTextW(hostParent, inboxTitle);
    }
  }
  // Shown once a message is loaded into it.
  ShowWindow(SW_HIDE);
  return GetHandle();
}

BOOL CComposerFrame::OnCreated() {
  const CString voiceMailClass = GetConfigString(string_setting::kVoiceMailClassName);
  const CString flixClass = GetConfigString(string_setting::kFlixClassName);
  m_voiceMailMode = !voiceMailClass.IsEmpty() && platform::EqualsNoCase(voiceMailClass.View(), m_start.messageClass.View());
  m_voiceMailText = GetConfigValue(numeric_setting::kIsVoiceMailSupportText) != 0;
  m_flixMode = GetConfigValue(numeric_setting::kIsSupportCDMA) != 0 && !flixClass.IsEmpty() &&
               platform::EqualsNoCase(flixClass.View(), m_start.messageClass.View());
  EvaluateCdmaType();
  RegistryNotifyWindow(HKEY_LOCAL_MACHINE, kPolicyKey, kPolicyValue, GetHandle(), composer_message::kPolicyChanged, 0,
                       nullptr, &m_policyNotify);
  m_portrait = ::GetSystemMetrics(SM_CXSCREEN) <= ::GetSystemMetrics(SM_CYSCREEN);
  SHMENUBARINFO bar{};
  bar.cbSize = sizeof bar;
  bar.hwndParent = GetHandle();
  bar.nToolBarId = kComposerSoftKeys;
  bar.hInstRes = transport::ResourceInstance();
  if (SHCreateMenuBar(&bar)) m_menuBar = bar.hwndMB;
  const DWORD staticStyle = WS_CHILD | WS_VISIBLE;
  m_slideNumber = ::CreateWindowExW(0, u"STATIC", u"", staticStyle, 0, 0, 1, 1, GetHandle(),
                                    reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kSlideNumberId)), nullptr,
                                    nullptr);
  m_sizeDisplay = ::CreateWindowExW(0, u"STATIC", u"", staticStyle | SS_RIGHT, 0, 0, 1, 1, GetHandle(),
                                    reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kSizeDisplayId)), nullptr,
                                    nullptr);
  return TRUE;
}

BOOL CComposerFrame::OnPaint(HDC hdc, PAINTSTRUCT*) {
  RECT client{};
  GetClientRect(&client);
  HBRUSH brush = CreateSolidBrush(m_editor ? m_editor->Model().layout.backgroundColor : kWhite);
  FillRect(hdc, &client, brush);
  DeleteObject(brush);
  if (m_headerWindow) {
    const int y = m_headerWindow->Height();
    HGDIOBJ pen = SelectObject(hdc, GetStockObject(BLACK_PEN));
    MoveToEx(hdc, 0, y, nullptr);
    LineTo(hdc, client.right, y);
    SelectObject(hdc, pen);
  }
  return TRUE;
}

bool CComposerFrame::HasChanges() const {
  return (m_header && m_header->IsChanged()) || (m_editor && m_editor->IsChanged()) ||
         (m_textItem && m_textItem->IsEdited());
}

void CComposerFrame::Attach(DWORD verb, MessageBinding* binding) {
  m_openAction = verb & 0xFFFF;
  m_binding = binding;
  DestroyItems();
  m_editor.reset();
  m_headerWindow.reset();
  m_header.reset();
  // A chooser's choice has no message to go into once the message is taken away.
  if (binding == nullptr) CloseTemplateChooser();
  if (binding == nullptr || !IsWindow()) return;
  // A reply starts from a stored message that is now a new one.
  if ((m_start.formKind == 3 || m_start.formKind == 6) && (m_openAction == 1 || m_openAction == 2)) {
    m_start.formKind = 1;
  }
  if (RefusesForwardedContent()) return;
  if (LoadModel()) OnMessageLoaded();
}

bool CComposerFrame::LoadModel() {
  MessageModel* model = m_binding != nullptr ? m_binding->ModelForComposing() : nullptr;
  if (model == nullptr) return false;
  m_editor = std::make_unique<SlideEditor>(*model);
  if (m_flixMode) m_editor->SetExtraSlideLimit(GetConfigValue(numeric_setting::kFlixSlideCountLimit));
  m_editor->SetChanged(m_openAction == 1 || m_openAction == 2);
  m_layoutCode = LayoutCodeFromMessageLayout(model->layout);
  if (!m_signatureDone) {
    m_signatureDone = true;
    AddSignatureOnLoad();
  }
  m_header = std::make_unique<ComposerHeader>(m_start.messageClass);
  m_header->Load(m_binding->Message());
  RECT client{};
  GetClientRect(&client);
  m_headerWindow = std::make_unique<CComposerHeaderWnd>(*m_header);
  if (!m_headerWindow->Create(GetHandle(), client.right)) m_headerWindow.reset();
  CreateItems();
  LayOut();
  RefreshSlide();
  return true;
}

void CComposerFrame::OnMessageLoaded() {
  if (m_closing) return;
  // The frame stays hidden under the chooser; one that cannot open leaves the message as it is.
  if (OffersTemplates() && OpenTemplateChooser()) {
    OpenClassSelector();
    return;
  }
  ShowLoaded();
  OpenClassSelector();
  // From the message loop, once the frame shows: the picker then opens over it.
  if (!m_start.composeMode && m_start.startAction != start_action::kNone) {
    PostMessage(composer_message::kStartAction, 0, 0);
  }
}

void CComposerFrame::CreateItems() {
  DestroyItems();
  const RECT none{0, 0, 1, 1};
  if (!m_start.composeMode) {
    m_simpleItem = std::make_unique<CSlideItem>(kSimpleItemClass);
    if (!m_simpleItem->Create(GetHandle(), none)) m_simpleItem.reset();
    return;
  }
  // A voice message is its recording with a text below; a Flix message is its one visual.
  if (m_voiceMailMode) {
    m_voiceMailItem = std::make_unique<CVoiceMailItem>(static_cast<RecordToolbarOwner*>(this));
    if (!m_voiceMailItem->CreateAudio(GetHandle(), none)) m_voiceMailItem.reset();
  } else {
    m_visualItem = std::make_unique<CVisualItem>();
    if (!m_visualItem->Create(GetHandle(), none)) m_visualItem.reset();
  }
  if (m_flixMode) return;
  m_textItem = std::make_unique<CTextItem>();
  if (!m_textItem->CreateText(GetHandle(), none, SlideTextLimit())) m_textItem.reset();
  if (m_voiceMailMode) return;
  m_audioItem = std::make_unique<CAudioItem>(static_cast<RecordToolbarOwner*>(this));
  if (!m_audioItem->CreateAudio(GetHandle(), none)) m_audioItem.reset();
}

void CComposerFrame::DestroyItems() {
  m_focusedChild = nullptr;
  m_visualItem.reset();
  m_textItem.reset();
  m_audioItem.reset();
  m_voiceMailItem.reset();
  m_simpleItem.reset();
}

void CComposerFrame::LayOut() {
  RECT client{};
  GetClientRect(&client);
  const int navigation = ScaleY(kNavigationBarHeight);
  const int headerHeight = m_headerWindow ? m_headerWindow->Height() : 0;
  if (m_headerWindow) m_headerWindow->SetWidth(client.right);
  const int gap = ScaleY(kItemGap);
  const int visualHeight = ScaleY(m_layoutCode == 5 ? kTallVisualHeight : kVisualHeight);
  // The item grows to hold its record toolbar inside its border.
  const int audioHeight = std::max((LogPixelsY() + 5) * 19 / 96, ScaleY(record_toolbar::kHeight) + 2);
  RECT visual{}, text{}, audio{};
  if (m_simpleItem) {
    const RECT simple{ScaleX(8), headerHeight + gap, client.right - ScaleX(4), client.bottom - navigation - gap};
    m_simpleItem->MoveTo(&simple);
  } else if (m_voiceMailItem) {
    // The recording at the top, as tall as two audio items, and the text taking the rest.
    const RECT voice{ScaleX(8), headerHeight + gap, client.right - ScaleX(4), headerHeight + gap + 2 * audioHeight};
    text = RECT{voice.left, voice.bottom + gap, voice.right,
                std::max<LONG>(voice.bottom + gap + ScaleY(kTextHeight), client.bottom - navigation - gap)};
    m_voiceMailItem->MoveTo(&voice);
  } else if (m_portrait) {
    visual = RECT{ScaleX(8), headerHeight + gap, client.right - ScaleX(4), headerHeight + gap + visualHeight};
    text = RECT{visual.left, visual.bottom + gap, visual.right, visual.bottom + gap + ScaleY(kTextHeight)};
    audio = RECT{visual.left, text.bottom + gap, visual.right, text.bottom + gap + audioHeight};
  } else {
    // Landscape: the picture takes the left three fifths, text and audio stand at the right.
    const int split = client.right * 3 / 5;
    const int bottom = client.bottom - navigation - gap;
    visual = RECT{ScaleX(8), headerHeight + gap, split - ScaleX(2), bottom};
    audio = RECT{split + ScaleX(2), bottom - audioHeight, client.right - ScaleX(4), bottom};
    text = RECT{audio.left, headerHeight + gap, audio.right, audio.top - gap};
  }
  if (m_visualItem) m_visualItem->MoveTo(&visual);
  if (m_textItem) m_textItem->MoveTo(&text);
  if (m_audioItem) m_audioItem->MoveTo(&audio);
  const int barTop = client.bottom - navigation;
  ::MoveWindow(m_slideNumber, ScaleX(4), barTop, client.right / 3, navigation, TRUE);
  ::MoveWindow(m_sizeDisplay, client.right / 3, barTop, client.right - client.right / 3 - ScaleX(4), navigation, TRUE);
  InvalidateRect(nullptr, TRUE);
}

void CComposerFrame::UpdateSizeDisplay() {
  if (!m_editor) return;
  ::SetWindowTextW(m_sizeDisplay, SizeDisplayText(MessageSizeOf(m_editor->Model())).GetString());
}

void CComposerFrame::RefreshSlide() {
  if (!m_editor) return;
  const MessageModel& model = m_editor->Model();
  const Slide& slide = m_editor->CurrentSlide();
  if (m_visualItem) {
    const auto& visual = slide.video ? slide.video : slide.image;
    m_visualItem->ShowObject(PartPath(model, visual), visual && visual->part ? visual->part->type : media_type::kNone);
    m_visualItem->SetCaption(visual ? CString() : CString(u"Picture or video"));
  }
  if (m_textItem) m_textItem->SetText(m_editor->SlideText());
  if (m_audioItem) {
    m_audioItem->SetCaption(slide.audio && slide.audio->part ? slide.audio->part->fileName : CString(u"Audio"));
    // A sound that left the slide (another slide, removed, replaced) stops playing.
    m_audioItem->Toolbar().StopUnless(PartPath(model, slide.audio));
  }
  if (m_voiceMailItem) RefreshVoiceMailItem();
  if (m_simpleItem) m_simpleItem->SetCaption(PartNames(model));
  CString number;
  number.Format(u"%d/%d", m_editor->Current() + 1, m_editor->Count());
  ::SetWindowTextW(m_slideNumber, number.GetString());
  UpdateSizeDisplay();
  SendMessage(composer_message::kNavigation, static_cast<WPARAM>(m_editor->NavigationState()), 0);
  InvalidateRect(nullptr, TRUE);
}

void CComposerFrame::FlushSlideEdits() {
  if (!m_editor || !m_textItem || !m_textItem->IsEdited()) return;
  m_editor->SetSlideText(m_textItem->Text().View());
  m_textItem->ClearEdited();
}

void CComposerFrame::GoToSlide(int index) {
  if (!m_editor) return;
  FlushSlideEdits();
  if (m_editor->GoToSlide(index)) RefreshSlide();
}

void CComposerFrame::PreviousSlide() {
  if (!m_editor) return;
  FlushSlideEdits();
  if (m_editor->PreviousSlide()) RefreshSlide();
}

void CComposerFrame::NextSlide() {
  if (!m_editor) return;
  FlushSlideEdits();
  if (m_editor->NextSlide()) RefreshSlide();
}

bool CComposerFrame::AddSlide() {
  if (!m_editor) return false;
  FlushSlideEdits();
  if (!m_editor->AddSlide()) {
    CString text;
    text.Format(transport::LoadResourceString(kTooManySlidesText), GetConfigValue(numeric_setting::kMaxSlides));
    if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(GetHandle(), text.GetString(), MB_OK);
    return false;
  }
  RefreshSlide();
  return true;
}

bool CComposerFrame::DeleteSlide(int index) {
  if (!m_editor) return false;
  FlushSlideEdits();
  const bool deleted = m_editor->DeleteSlide(index);
  RefreshSlide();
  return deleted;
}

bool CComposerFrame::RemoveObject(int slideIndex, int slotCode) {
  if (!m_editor) return false;
  FlushSlideEdits();
  const bool removed = m_editor->RemoveObject(slideIndex, slotCode);
  RefreshSlide();
  return removed;
}

LRESULT CComposerFrame::OnSlideCommand(WPARAM wParam, LPARAM lParam) {
  if (!m_editor) return 0;
  switch (LOWORD(wParam)) {
    case composer_command::kPreviousSlide: PreviousSlide(); break;
    case composer_command::kNextSlide: NextSlide(); break;
    case composer_command::kSlidePopup:
      ShowSlidePopup(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      break;
    case composer_command::kAddSlide: AddSlide(); break;
    case composer_command::kDeleteSlide: DeleteSlide(m_editor->Current()); break;
    case composer_command::kRemoveVisual:
      FlushSlideEdits();
      m_editor->RemoveObject(m_editor->Current(), slide_slot::kPicture);
      m_editor->RemoveObject(m_editor->Current(), slide_slot::kVideo);
      RefreshSlide();
      break;
    case composer_command::kRemoveAudio: RemoveObject(m_editor->Current(), slide_slot::kAudio); break;
    case composer_command::kRemoveText: RemoveObject(m_editor->Current(), slide_slot::kText); break;
    default: break;
  }
  return 0;
}

void CComposerFrame::ShowSlidePopup(POINT tap) {
  const bool forwardingStored = (m_start.formKind == 3 || m_start.formKind == 6) && (m_openAction == 4 || m_openAction == 5);
  if (!m_start.composeMode || forwardingStored || m_slideNumber == nullptr) return;
  RECT control{};
  ::GetWindowRect(m_slideNumber, &control);
  if (tap.x < control.left || tap.x >= control.right || tap.y < control.top || tap.y >= control.bottom) return;
  HMENU menu = transport::LoadResourceMenu(kComposerPopups);
  if (menu == nullptr) return;
  HMENU slides = GetSubMenu(menu, 0);
  while (slides != nullptr && GetMenuItemCount(slides) > 0) DeleteMenu(slides, 0, MF_BYPOSITION);
  const CString format = transport::LoadResourceString(kSlideNumberText);
  for (int i = 0; slides != nullptr && i < m_editor->Count(); ++i) {
    CString text;
    text.Format(format.GetString(), i + 1);
    AppendMenuW(slides, MF_STRING, composer_command::kFirstGoTo + static_cast<UINT>(i), text.GetString());
  }
  int choice = 0;
  if (slides != nullptr) {
    const UINT current = composer_command::kFirstGoTo + static_cast<UINT>(m_editor->Current());
    CheckMenuRadioItem(slides, composer_command::kFirstGoTo, composer_command::kLastGoTo, current, MF_BYCOMMAND);
    m_menuTracking = true;
    choice = TrackPopupMenuEx(slides, TPM_RETURNCMD | TPM_BOTTOMALIGN, control.left, control.top, GetHandle(), nullptr);
    m_menuTracking = false;
  }
  DestroyMenu(menu);
  if (choice > 0) SendMessage(WM_COMMAND, static_cast<WPARAM>(choice), 0);
}

LRESULT CComposerFrame::OnNavigation(WPARAM wParam, LPARAM lParam) {
  if (!m_editor) {
    m_nextEnabled = true;
    return 0;
  }
  const bool last = m_editor->Current() + 1 >= m_editor->Count();
  if (last) {
    // On the last slide "next" appends a slide, which only a slide with something in it may do.
    const Slide& slide = m_editor->CurrentSlide();
    const bool content = slide.image || slide.audio || slide.text || slide.video || lParam != 0 ||
                         (m_textItem && !m_textItem->Text().IsEmpty());
    m_nextEnabled = content && m_editor->Count() < GetConfigValue(numeric_setting::kMaxSlides);
  } else {
    m_nextEnabled = (wParam & kNavigationNext) != 0;
  }
  return 0;
}

bool CComposerFrame::AddDeviceFile(LPCWSTR path, MediaType type) {
  if (!m_editor || path == nullptr || *path == 0) return false;
  FlushSlideEdits();
  if (type == media_type::kNone) type = TypeOfFile(path, true);
  m_busy = true;
  const bool added = InsertObject(path, type);
  m_busy = false;
  m_captureMarker = 0;
  RefreshSlide();
  return added;
}

LRESULT CComposerFrame::OnAddObject(WPARAM wParam, LPARAM lParam) {
  AddDeviceFile(reinterpret_cast<LPCWSTR>(lParam), static_cast<MediaType>(wParam));
  return 0;
}

LRESULT CComposerFrame::OnItemNotify(WPARAM wParam, LPARAM lParam) {
  HWND item = reinterpret_cast<HWND>(lParam);
  const auto key = static_cast<UINT>(wParam);
  const bool visual = m_visualItem && item == m_visualItem->GetHandle();
  const bool audio = m_audioItem && item == m_audioItem->GetHandle();
  if (key == VK_RETURN && visual) {
    PostMessage(WM_COMMAND, composer_command::kInsertVisual, 0);
  } else if (key == VK_RETURN && audio) {
    PostMessage(WM_COMMAND, composer_command::kInsertAudio, 0);
  } else if (key == VK_LEFT) {
    PostMessage(WM_COMMAND, composer_command::kPreviousSlide, 0);
  } else if (key == VK_RIGHT) {
    PostMessage(WM_COMMAND, composer_command::kNextSlide, 0);
  } else if (key == VK_UP || key == VK_DOWN) {
    std::array<HWND, 5> order = {m_headerWindow ? m_headerWindow->GetDlgItem(header_field::kSubject) : nullptr,
                                 m_visualItem ? m_visualItem->GetHandle() : nullptr,
                                 m_voiceMailItem ? m_voiceMailItem->GetHandle() : nullptr,
                                 m_textItem ? m_textItem->Edit() : nullptr,
                                 m_audioItem ? m_audioItem->GetHandle() : nullptr};
    auto at = std::find(order.begin(), order.end(), (m_textItem && item == m_textItem->GetHandle()) ? m_textItem->Edit() : item);
    if (at != order.end()) {
      // The modes leave some items out; the focus moves to the next one there is.
      auto index = static_cast<std::ptrdiff_t>(at - order.begin());
      const std::ptrdiff_t step = key == VK_UP ? -1 : 1;
      for (index += step; index >= 0 && index < static_cast<std::ptrdiff_t>(order.size()); index += step) {
        if (order[static_cast<std::size_t>(index)] == nullptr) continue;
        ::SetFocus(order[static_cast<std::size_t>(index)]);
        break;
      }
    }
  } else if (key == 0 && item != nullptr) {
    m_focusedChild = item;
  }
  return 0;
}

LRESULT CComposerFrame::OnSendButton(WPARAM wParam, LPARAM) {
  m_sendEnabled = wParam != 0;
  if (m_menuBar != nullptr) {
    ::SendMessageW(m_menuBar, TB_ENABLEBUTTON, composer_command::kSend, wParam != 0 ? TRUE : FALSE);
  }
  return 0;
}

LRESULT CComposerFrame::OnRefreshItems(WPARAM, LPARAM) {
  if (m_editor) {
    LayOut();
    RefreshSlide();
  }
  return 0;
}

LRESULT CComposerFrame::OnSetChanged(WPARAM wParam, LPARAM lParam) {
  if (wParam == 1 && m_editor) m_editor->SetChanged(lParam != 0);
  return 0;
}

LRESULT CComposerFrame::OnSize(WPARAM, LPARAM) {
  ::SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  return 0;
}

LRESULT CComposerFrame::OnMove(WPARAM, LPARAM) {
  RECT rect{};
  GetWindowRect(&rect);
  const int bar = ScaleY(kBarHeight);
  if (rect.top != bar) {
    ::MoveWindow(GetHandle(), 0, bar, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) - 2 * bar, TRUE);
  }
  return 0;
}

LRESULT CComposerFrame::OnSettingChange(WPARAM wParam, LPARAM) {
  if (wParam != kSipInfo && wParam != kSettingReset) {
    InvalidateRect(nullptr, TRUE);
    return 0;
  }
  const bool portrait = ::GetSystemMetrics(SM_CXSCREEN) <= ::GetSystemMetrics(SM_CYSCREEN);
  if (portrait != m_portrait) {
    m_portrait = portrait;
    const int bar = ScaleY(kBarHeight);
    ::MoveWindow(GetHandle(), 0, bar, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) - 2 * bar, TRUE);
  }
  LayOut();
  for (HWND child : {m_headerWindow ? m_headerWindow->GetHandle() : nullptr,
                     m_visualItem ? m_visualItem->GetHandle() : nullptr, m_textItem ? m_textItem->GetHandle() : nullptr,
                     m_audioItem ? m_audioItem->GetHandle() : nullptr,
                     m_voiceMailItem ? m_voiceMailItem->GetHandle() : nullptr,
                     m_simpleItem ? m_simpleItem->GetHandle() : nullptr}) {
    if (child != nullptr) ::SendMessageW(child, composer_message::kSettingToChildren, wParam, 0);
  }
  return 0;
}

// The person is done with the one insertion and goes on composing: the form becomes the full
// composer over the message as it is in memory, so that what was inserted stays.
LRESULT CComposerFrame::OnLeaveStartAction(WPARAM, LPARAM) {
  if (m_start.composeMode || !m_editor || m_busy) return 0;
  m_start.composeMode = 1;
  m_start.startAction = start_action::kNone;
  FlushSlideEdits();
  if (m_header && m_header->IsChanged()) m_header->Commit();
  CreateItems();
  m_editor->SetChanged(true);
  RefreshSlide();
  OnSettingChange(kSipInfo, 0);
  return 0;
}

LRESULT CComposerFrame::OnFirstShow(WPARAM, LPARAM) {
  if (m_shownOnce) return 0;
  m_shownOnce = true;
  // The selector is the question to answer first; it stays above the chooser and the frame.
  if (CClassSelector* selector = ClassSelector()) {
    ::SetForegroundWindow(selector->GetHandle());
    return 0;
  }
  if (CTemplateChooser* chooser = TemplateChooser()) {
    ::SetForegroundWindow(chooser->GetHandle());
    return 0;
  }
  ::SetForegroundWindow(GetHandle());
  PostMessage(WM_SETFOCUS, 0, 0);
  return 0;
}

LRESULT CComposerFrame::OnSetFocus(WPARAM, LPARAM) {
  if (m_policyChanged) {
    m_policyChanged = false;
    if (GetConfigValue(numeric_setting::kSecurityPolicy1033) == 0) PostMessage(composer_message::kPolicyForbids, 0, 0);
  }
  CClassSelector* selector = ClassSelector();
  if (CTemplateChooser* chooser = TemplateChooser(); chooser != nullptr && ::GetForegroundWindow() == chooser->GetHandle()) {
    if (selector != nullptr) {
      selector->Focus();
    } else {
      chooser->List().SetFocus();
    }
    return 0;
  }
  // Like a picker, the open selector keeps the focus: a field behind it would take the keys.
  if (selector != nullptr) {
    selector->Focus();
    return 0;
  }
  SetTimer(kFocusTimer, kFocusDelayMs, nullptr);
  return 0;
}

LRESULT CComposerFrame::OnTimer(WPARAM wParam, LPARAM lParam) {
  if (wParam != kFocusTimer) return DefProc(GetHandle(), WM_TIMER, wParam, lParam);
  // A question the form asks holds the focus until it is answered (Enter must press its button,
  // not reach a field); the timer keeps running and gives the field its focus afterwards.
  if (!::IsWindowEnabled(GetHandle())) return 0;
  KillTimer(kFocusTimer);
  // A picker, the recorder or a dialog the frame opened before the timer fired keeps the focus:
  // taking it would bring the frame up behind the window the person is in (and the recorder stops
  // recording when it loses the focus).
  if (m_busy || OwnsActiveWindow()) return 0;
  HWND target = m_focusedChild;
  const bool ours = target != nullptr && ::IsWindow(target) &&
                    (::GetParent(target) == GetHandle() ||
                     (m_headerWindow && ::GetParent(target) == m_headerWindow->GetHandle()));
  if (!ours) target = m_headerWindow ? m_headerWindow->GetDlgItem(header_field::kTo) : nullptr;
  if (target != nullptr) {
    // The text item passes the focus on to its edit field.
    if (m_textItem && target == m_textItem->GetHandle()) target = m_textItem->Edit();
    ::SetFocus(target);
  }
  return 0;
}

bool CComposerFrame::OwnsActiveWindow() const {
  HWND window = ::GetActiveWindow();
  if (window == GetHandle()) return false;
  // Owners are followed a few steps only: a chain that long is no dialog of ours.
  for (int step = 0; window != nullptr && step < 8; ++step) {
    window = ::GetWindow(window, GW_OWNER);
    if (window == GetHandle()) return true;
  }
  return false;
}

LRESULT CComposerFrame::OnCloseDialogs(WPARAM, LPARAM) {
  for (LPCWSTR chooserClass : {platform::pim::kContactChooserClass, platform::pim::kCalendarChooserClass}) {
    if (HWND chooser = ::FindWindowW(chooserClass, nullptr); chooser != nullptr && ::GetParent(chooser) == GetHandle()) {
      ::SendMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    }
  }
  m_closing = true;
  CloseClassSelector();
  CloseTemplateChooser();
  if (IsWindow()) ::DestroyWindow(GetHandle());
  return 0;
}

LRESULT CComposerFrame::OnNothing(WPARAM, LPARAM) { return 0; }

ComposerMenuState CComposerFrame::MenuState() const {
  ComposerMenuState state;
  if (!m_editor) return state;
  const MessageModel& model = m_editor->Model();
  const Slide& slide = m_editor->CurrentSlide();
  state.slideCount = m_editor->Count();
  state.currentHasPicture = slide.image.has_value();
  state.currentHasVideo = slide.video.has_value();
  state.currentHasAudio = slide.audio.has_value();
  state.currentHasText = slide.text.has_value();
  state.anySlideHasObject = std::any_of(model.slides.begin(), model.slides.end(), SlideHasObject);
  state.anySlideHasMedia = AnyMediaInSlides(model);
  state.mayAddAfterCurrent = m_editor->MayAppendAfterCurrent();
  state.cdmaType = m_cdmaType;
  state.oneInsertion = m_start.composeMode == 0;
  state.focusInHeader = m_headerWindow && m_headerWindow->HasFocusedField();
  state.backgroundColour = model.layout.backgroundColor;
  return state;
}

LRESULT CComposerFrame::OnInitMenuPopup(WPARAM wParam, LPARAM) {
  ApplyComposerMenuRules(reinterpret_cast<HMENU>(wParam), MenuState());
  return 0;
}

LRESULT CComposerFrame::OnMeasureItem(WPARAM, LPARAM lParam) {
  if (auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)) MeasureComposerColourItem(*measure);
  return TRUE;
}

LRESULT CComposerFrame::OnDrawItem(WPARAM, LPARAM lParam) {
  if (const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) DrawComposerColourItem(*draw);
  return TRUE;
}

// The message's own options go into its store message; the defaults into the settings.
LRESULT CComposerFrame::OnSendOptions(WPARAM, LPARAM) {
  if (m_binding != nullptr) RunSendOptionsDialog(GetHandle(), m_binding->Message());
  return 0;
}

LRESULT CComposerFrame::OnDefaultSendOptions(WPARAM, LPARAM) {
  RunDefaultSendOptionsDialog(GetHandle());
  return 0;
}

// The sorter works on the model directly; what it changed is shown once it closes.
LRESULT CComposerFrame::OnOrganiseSlides(WPARAM, LPARAM) {
  if (!m_editor) return 0;
  FlushSlideEdits();
  bool signature = m_editor->SignatureFlag();
  int current = m_editor->Current();
  SlideEditor& editor = *m_editor;
  if (RunSlideSorter(GetHandle(), editor.Model(), signature, current, [&editor] { return editor.HasRoomForSlide(); }) !=
      1) {
    return 0;
  }
  editor.SetSignatureFlag(signature);
  editor.SetChanged(true);
  editor.GoToSlide(std::clamp(current, 0, editor.Count() - 1));
  RefreshSlide();
  return 0;
}

LRESULT CComposerFrame::OnChooseLayout(WPARAM, LPARAM) {
  if (!m_editor) return 0;
  const int code = ChooseSlideLayout(GetHandle(), m_layoutCode);
  if (code == 0) return 0;
  FlushSlideEdits();
  m_layoutCode = code;
  ApplyLayoutCode(m_editor->Model().layout, code);
  m_editor->SetChanged(true);
  LayOut();
  RefreshSlide();
  return 0;
}
