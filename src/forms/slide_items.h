// The item windows of the composer's slide area: one per kind of slide object. Each tells the
// frame about its keys and its focus (0x07C3 with the key, or 0 for focus, and its own handle),
// so that the frame can move between items and slides and open the matching insert command.
#pragma once

#include <memory>

#include "forms/record_toolbar.h"
#include "platform/text/cstring.h"
#include "ui/image_view.h"
#include "ui/wnd_base.h"

constexpr const WCHAR* kVisualItemClass = u"VisaulItem";
constexpr const WCHAR* kAudioItemClass = u"AudioItem";
constexpr const WCHAR* kTextItemClass = u"TextItem";
constexpr const WCHAR* kVoiceMailItemClass = u"VoiceMailItem";
constexpr const WCHAR* kSimpleItemClass = u"SimpleItem";
// Posted to the frame: wParam the key (0 when the item only took the focus), lParam the item.
constexpr UINT WM_ITEM_NOTIFY = 0x07C3;
constexpr int kTextEditId = 1;

// The user-interface font selected into a device context for as long as the object lives, so
// that captions and labels follow the screen's density.
class ScopedUiFont {
 public:
  explicit ScopedUiFont(HDC hdc);
  ~ScopedUiFont();
  ScopedUiFont(const ScopedUiFont&) = delete;
  ScopedUiFont& operator=(const ScopedUiFont&) = delete;

 private:
  HDC m_hdc;
  HFONT m_font;
  HGDIOBJ m_previous = nullptr;
};

// An item: a child window of the frame with a caption drawn in it when it has no content.
class CSlideItem : public CWndBase {
 public:
  explicit CSlideItem(const WCHAR* className) : m_className(className) {}
  ~CSlideItem() override;

  BOOL Create(HWND frame, const RECT& rect);
  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;
  void MoveTo(const RECT* rect) override;
  // What the item shows when it holds nothing (or the audio file's name).
  void SetCaption(const CString& caption);
  const CString& Caption() const { return m_caption; }
  const WCHAR* ClassName() const { return m_className; }

 protected:
  virtual void LayOutChildren(const RECT& client) { (void)client; }
  // Where the caption is drawn.
  virtual RECT CaptionArea(const RECT& client) const { return client; }
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnFocus(WPARAM wParam, LPARAM lParam);
  // A tap focuses the item, so that its keys (Enter, Left, Right) reach it next.
  LRESULT OnTap(WPARAM wParam, LPARAM lParam);

 private:
  const WCHAR* m_className;
  CString m_caption;
};

// "VisaulItem": the slide's picture (or the first frame of its video) in an image view.
class CVisualItem : public CSlideItem {
 public:
  CVisualItem() : CSlideItem(kVisualItemClass) {}
  // Shows the file, or the caption when the path is empty or the file does not load.
  void ShowObject(const CString& path, DWORD typeCode);
  bool HasPicture() const { return m_view && m_view->picture() != nullptr; }

 protected:
  void LayOutChildren(const RECT& client) override;

 private:
  std::unique_ptr<CImageView> m_view;
  CString m_path;
};

// "AudioItem": the slide's sound by name, with the record toolbar at its bottom left and, while
// the sound plays, its position beside the name.
class CAudioItem : public CSlideItem {
 public:
  explicit CAudioItem(RecordToolbarOwner* owner) : CAudioItem(kAudioItemClass, owner) {}
  BOOL CreateAudio(HWND frame, const RECT& rect);
  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;
  CRecordToolbar& Toolbar() { return m_toolbar; }
  // The position of the playing sound; a duration of 0 shows none.
  void ShowProgress(int position, int duration);
  int ProgressPosition() const { return m_position; }
  int ProgressDuration() const { return m_duration; }

 protected:
  CAudioItem(const WCHAR* className, RecordToolbarOwner* owner)
      : CSlideItem(className), m_toolbar(owner), m_owner(owner) {}
  void LayOutChildren(const RECT& client) override;
  RECT CaptionArea(const RECT& client) const override;
  const CRecordToolbar& ToolbarView() const { return m_toolbar; }

 private:
  LRESULT OnInsertRecording(WPARAM wParam, LPARAM lParam);
  LRESULT OnToolbarUsed(WPARAM wParam, LPARAM lParam);

  CRecordToolbar m_toolbar;
  RecordToolbarOwner* m_owner;
  int m_position = 0;
  int m_duration = 0;
};

// A length in milliseconds as "%02d:%02d", minutes and seconds, taken to the nearest second.
CString VoiceMailTimeText(int milliseconds);

// "VoiceMailItem": the voice message of a voice-mail form, recorded and played with the same
// record toolbar as the audio item, with the recording's length (while it plays, its position)
// as minutes and seconds.
class CVoiceMailItem : public CAudioItem {
 public:
  explicit CVoiceMailItem(RecordToolbarOwner* owner) : CAudioItem(kVoiceMailItemClass, owner) {}
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;
  // The slide's recording: its file name (empty for none) and its length.
  void ShowRecording(const CString& name, int duration);
  const CString& RecordingName() const { return m_name; }
  // Whether the toolbar recorded a clip that is still on the device.
  bool HoldsRecording() const;
  // What the item shows as the time, "00:00" before anything was recorded.
  CString TimeText() const;

 protected:
  RECT CaptionArea(const RECT& client) const override;

 private:
  CString m_name;
  int m_length = 0;
};

// "TextItem": an edit field with the slide's text, limited to the slide text limit.
class CTextItem : public CSlideItem {
 public:
  CTextItem() : CSlideItem(kTextItemClass) {}
  BOOL CreateText(HWND frame, const RECT& rect, int limit);
  HWND Edit() const { return GetDlgItem(kTextEditId); }
  CString Text() const;
  // Replaces the text without it counting as the user's edit.
  void SetText(const CString& text);
  // Whether the user changed the text since the last SetText.
  bool IsEdited() const { return m_edited; }
  void ClearEdited() { m_edited = false; }
  const MessageMap* GetMessageMap() const override;

 protected:
  void LayOutChildren(const RECT& client) override;

 private:
  LRESULT OnEditCommand(WPARAM wParam, LPARAM lParam);
  bool m_edited = false;
  bool m_setting = false;
};
