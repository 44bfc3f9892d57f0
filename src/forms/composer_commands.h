// The composer's WM_COMMAND identifiers and its private window messages: one table for the frame,
// its menu rules, the host that drives it and the tests.
#pragma once

#include "platform/win_types.h"

namespace composer_command {
constexpr UINT kCloseKeep = 1;
constexpr UINT kCloseAsk = 1143;
constexpr UINT kCloseAskOther = 1378;
constexpr UINT kDefaultSendOptions = 1379;
constexpr UINT kCapturePicture = 1317;
constexpr UINT kCaptureVideo = 1318;
constexpr UINT kEditText = 40003;
constexpr UINT kAddSlide = 40007;
constexpr UINT kInsertVisual = 40008;
constexpr UINT kInsertAudio = 40009;
constexpr UINT kRemoveVisual = 40010;
constexpr UINT kRemoveAudio = 40012;
constexpr UINT kRemoveText = 40013;
constexpr UINT kDeleteSlide = 40014;
constexpr UINT kPreview = 40018;
constexpr UINT kSend = 40020;
constexpr UINT kChooseTemplate = 40092;  // the template chooser's "use", as IDOK
constexpr UINT kOrganiseSlides = 40093;
constexpr UINT kPreviewOther = 40114;
constexpr UINT kPreviousSlide = 40117;
constexpr UINT kTemplates = 40137;
constexpr UINT kSaveAsTemplate = 40138;
constexpr UINT kSendOptions = 40139;
constexpr UINT kDeleteTemplate = 40147;  // in the template chooser
constexpr UINT kNextSlide = 40150;
constexpr UINT kCancel = 40151;
constexpr UINT kFirstGoTo = 40155;
constexpr UINT kLastGoTo = 40175;
constexpr UINT kFirstColour = 40426;
constexpr UINT kLastColour = 40437;
constexpr UINT kLeaveStartAction = 40746;  // "Edit Message" of a form opened for one insertion
constexpr UINT kInsertContact = 40749;
constexpr UINT kSlidePopup = 40750;
constexpr UINT kSendAsText = 40753;
constexpr UINT kInsertListText = 40762;
constexpr UINT kNothing = 40851;
constexpr UINT kChooseLayout = 40872;
constexpr UINT kInsertCallNumber = 40921;
constexpr UINT kInsertEmoticon = 40925;
}  // namespace composer_command

// Sent to an earlier composer (and to the media picker) when a new compose form opens.
constexpr UINT WM_COMPOSER_REPLACED = 0x04E9;

// The frame's private messages.
namespace composer_message {
constexpr UINT kAddObject = 0x0788;      // wParam media type code, lParam the device path (LPCWSTR)
constexpr UINT kInsertPersonalData = 0x07B3;  // wParam 2 a contact card, 3 a calendar entry
constexpr UINT kNavigation = 0x0787;     // wParam the navigation state
constexpr UINT kRelayout = 0x07AC;
constexpr UINT kClose = 0x07BE;
constexpr UINT kSend = 0x07BF;
constexpr UINT kFirstShow = 0x07BC;
constexpr UINT kTemplateChosen = 0x07B5;     // from the chooser; lParam 1 a stored template, 0 the custom entry
constexpr UINT kTemplateCancelled = 0x07B6;  // from the chooser, cancelled or closed from outside
constexpr UINT kSendButton = 0x050C;     // wParam 1 enables, 0 disables
constexpr UINT kReset = 0x050D;
constexpr UINT kRefreshItems = 0x0512;
constexpr UINT kHandedOverFile = 0x0522;  // the file waiting in the transport's context
constexpr UINT kClassSelected = 0x0523;   // wParam 0 a Flix message, 1 an MMS message
constexpr UINT kScrollToFocus = 0x0527;
constexpr UINT kSetChanged = 0x0529;     // wParam 1: the changed flag becomes lParam
constexpr UINT kStartAction = 0x07C5;    // posted once a form opened for one insertion is shown
constexpr UINT kPolicyChanged = 0x052E;
constexpr UINT kPolicyForbids = 0x052F;
constexpr UINT kSettingToChildren = 0x04DB;
// From the audio item's record toolbar to the item.
constexpr UINT kInsertRecording = 0x0794;       // the toolbar's recorded clip is to be inserted
constexpr UINT kSoundPlayRequested = 0x07BA;    // the play button was pressed
constexpr UINT kRecordToolbarPressed = 0x050E;  // a press held on one of its buttons ended
}  // namespace composer_message
