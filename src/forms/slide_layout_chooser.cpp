#include "forms/slide_layout_chooser.h"

#include <algorithm>

#include "forms/dialog_soft_keys.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "transport/resource_module.h"
#include "ui/oriented_dialog.h"

using namespace slide_layout;

namespace {

constexpr int kCodes[] = {kTextOnTop, kPictureOnTop, kPictureLeft, kLargePicture};
constexpr LONG kDefaultLayoutSize = 100;

// The share of the height above the text that a large picture takes, in per cent, and the least
// share that still reads as large when a message's layout is judged.
constexpr LONG kLargePictureShare = 85;
constexpr LONG kLargePictureLeast = 80;
constexpr LONG kPictureShare = 66;
constexpr LONG kTextOnTopShare = 34;
constexpr LONG kPictureLeftShare = 50;

class LayoutChooserDialog : public COrientedDialog {
 public:
  explicit LayoutChooserDialog(int code) : m_code(code) {}
  const MessageMap* GetMessageMap() const override;
  LRESULT OnOK(WPARAM wParam, LPARAM lParam) override;
  int code() const { return m_code; }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);

 private:
  int m_code;
};

const MessageMap* LayoutChooserDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &LayoutChooserDialog::OnInitDialog),
      MapEnd(),
  };
  static const MessageMap kMap{COrientedDialog::GetMessageMap(), kEntries};
  return &kMap;
}

LRESULT LayoutChooserDialog::OnInitDialog(WPARAM, LPARAM) {
  CheckRadioButton(GetHandle(), kFirstButton + kTextOnTop, kFirstButton + kLargePicture, kFirstButton + m_code);
  CreateDialogSoftKeys(GetHandle(), kOkCancelSoftKeys);
  return TRUE;
}

LRESULT LayoutChooserDialog::OnOK(WPARAM, LPARAM) {
  for (int code : kCodes) {
    if (IsDlgButtonChecked(GetHandle(), kFirstButton + code) == BST_CHECKED) m_code = code;
  }
  EndDialog(IDOK);
  return 0;
}

LONG Height(const LayoutRegion& region) { return region.bottom - region.top; }

LONG Part(LONG total, LONG share) { return total * share / 100; }

}  // namespace

int ValidLayoutCode(int code) {
  return std::find(std::begin(kCodes), std::end(kCodes), code) != std::end(kCodes) ? code : kPictureOnTop;
}

int ChooseSlideLayout(HWND owner, int currentCode) {
  LayoutChooserDialog dialog(ValidLayoutCode(currentCode));
  const INT_PTR result = dialog.DoModal(transport::ResourceInstance(), kPortraitDialog, kLandscapeDialog, owner);
  return result == IDOK ? dialog.code() : 0;
}

int LayoutCodeFromMessageLayout(const MessageLayout& layout) {
  const LayoutRegion* image = nullptr;
  const LayoutRegion* text = nullptr;
  for (const LayoutRegion& region : layout.regions) {
    (region.kind == RegionKind::kImage ? image : text) = &region;
  }
  if (image == nullptr || text == nullptr || Height(*image) <= 0 || Height(*text) <= 0) return kPictureOnTop;
  if (text->bottom <= image->top) return kTextOnTop;
  if (image->right <= text->left) return kPictureLeft;
  if (image->bottom <= text->top) {
    const long long both = static_cast<long long>(Height(*image)) + Height(*text);
    return Height(*image) * 100LL >= both * kLargePictureLeast ? kLargePicture : kPictureOnTop;
  }
  return kPictureOnTop;
}

void ApplyLayoutCode(MessageLayout& layout, int code) {
  if (layout.width <= 0 || layout.height <= 0) {
    layout.width = kDefaultLayoutSize;
    layout.height = kDefaultLayoutSize;
  }
  const LONG w = layout.width, h = layout.height;
  LayoutRegion image{RegionKind::kImage, 0, 0, w, Part(h, kPictureShare), RegionFit::kMeet};
  LayoutRegion text{RegionKind::kText, 0, Part(h, kPictureShare), w, h, RegionFit::kMeet};
  switch (ValidLayoutCode(code)) {
    case kTextOnTop:
      text = {RegionKind::kText, 0, 0, w, Part(h, kTextOnTopShare), RegionFit::kMeet};
      image = {RegionKind::kImage, 0, Part(h, kTextOnTopShare), w, h, RegionFit::kMeet};
      break;
    case kPictureLeft:
      image = {RegionKind::kImage, 0, 0, Part(w, kPictureLeftShare), h, RegionFit::kMeet};
      text = {RegionKind::kText, Part(w, kPictureLeftShare), 0, w, h, RegionFit::kMeet};
      break;
    case kLargePicture:
      image.bottom = text.top = Part(h, kLargePictureShare);
      break;
    default: break;
  }
  layout.regions = {image, text};
}
