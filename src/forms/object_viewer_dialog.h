// The save-objects window's own viewer, for objects the shell is not given: protected objects and
// those of no recognised type, and an SVG picture chosen to be played. A picture is shown in an
// image view (an SVG picture plays through the viewer's own SVG player), a video plays in the video
// player dialog, a sound is previewed by the window itself, and anything else is shown as text
// (its first 64 KB) or by name.
#pragma once

#include <memory>

#include "engines/svg_player.h"
#include "forms/saveable_objects.h"
#include "ui/dialog_base.h"
#include "ui/image_view.h"

class CObjectViewerDialog : public CDialogBase {
 public:
  explicit CObjectViewerDialog(const SaveableObject& object) : m_object(object) {}
  ~CObjectViewerDialog() override;

  const MessageMap* GetMessageMap() const override;

  bool Run(HWND owner);
  // The text shown for an object that is no picture; empty for a picture.
  const CString& ShownText() const { return m_text; }
  const CImageView* Picture() const { return m_picture.get(); }
  const SvgPlayer& Svg() const { return m_svg; }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnDone(WPARAM wParam, LPARAM lParam);

 private:
  SaveableObject m_object;
  SvgPlayer m_svg;  // outlives the image view, which closes its file
  std::unique_ptr<CImageView> m_picture;
  CString m_text;
};

// Shows the object in the viewer that fits it (see above); false when there was nothing to show.
bool ShowOwnViewer(HWND owner, const SaveableObject& object);
