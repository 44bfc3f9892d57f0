// The composer's menu rules: which items of its menus are there, enabled, relabelled or drawn as
// colours, from what the frame knows about the message and a few settings, applied whenever a
// popup opens (WM_INITMENUPOPUP). Also the table of the slide background colours.
#pragma once

#include <optional>

#include "forms/composer_commands.h"
#include "platform/controls/menu_api.h"
#include "platform/win_types.h"

// What the rules need from the frame; every field is read as it is when the popup opens.
struct ComposerMenuState {
  int slideCount = 1;                 // slides of the model
  bool currentHasPicture = false;     // the current slide's image slot is used
  bool currentHasVideo = false;       // its video slot is used
  bool currentHasAudio = false;       // its audio slot is used
  bool currentHasText = false;        // its text slot is used
  bool anySlideHasObject = false;     // some slide uses any of its four slots
  bool anySlideHasMedia = false;      // some slide holds a picture, an audio or a video
  bool mayAddAfterCurrent = true;     // the model allows a slide after the current one
  int cdmaType = 0;                   // 1 Flix message, 2 MMS message, 0 or 3 undecided
  bool focusInHeader = false;         // the focus is in a recipient field of the header
  bool canCapturePictures = false;    // the device can capture pictures (ULC_Global)
  bool canCaptureVideos = false;      // the device can capture videos (ULC_Global)
  bool mayCapturePicture = false;     // a captured picture may go into the current slide
  bool mayCaptureVideo = false;       // a captured video may go into the current slide
  COLORREF backgroundColour = 0x00FFFFFF;  // the model's background colour
  bool oneInsertion = false;          // compose mode 0: the form was opened for one insertion
};

// The masks of the CaptureEnable setting that allow picture and video capture.
constexpr LONG kCapturePictureMask = 0x2;
constexpr LONG kCaptureVideoMask = 0x4;

// Whether the message has room for one more slide: below MaxSlides, and with IsSupportCDMA for a
// Flix message (CDMA type 1) also below FlixSlideCountLimit.
bool ComposerRoomForSlide(int slideCount, int cdmaType);

// Applies the rules to `menu` (the soft-key menu or one of its popups). Items the rules remove stay
// removed; everything else is set afresh each time, so the same menu may be shown again.
void ApplyComposerMenuRules(HMENU menu, const ComposerMenuState& state);

// The colour of a background command (40426 to 40437), or nothing for any other command.
std::optional<COLORREF> ComposerBackgroundColour(UINT command);

// The size of an owner-drawn colour item (WM_MEASUREITEM) and its drawing (WM_DRAWITEM): a swatch
// of the colour that the item carries, with a mark when it is the current one.
void MeasureComposerColourItem(MEASUREITEMSTRUCT& measure);
void DrawComposerColourItem(const DRAWITEMSTRUCT& draw);
