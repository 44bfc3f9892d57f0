// CRecorderDialog: the voice recorder (dialog template 373). One button cycles through record,
// stop and play; a progress bar ("RECORDER_PROGRESSBAR_CLASS") beside the microphone shows the
// time; the insert button, enabled once a clip has been recorded, ends the dialog with IDOK, and
// so does Done then (before that, Done leaves as cancel does). The clip is recorded by the record
// engine into the destination file and played on the shared audio engine.
#pragma once

#include <memory>
#include <optional>

#include "engines/media_engine_adapter.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/text/cstring.h"
#include "ui/dialog_base.h"
#include "ui/progress_bar.h"

namespace recorder {
constexpr DWORD kDialog = 373;
constexpr int kMicrophone = 1001;    // the static that shows bitmap 171
constexpr int kFrame = 40757;
constexpr WORD kCycle = 40016;      // the record / stop / play button
constexpr WORD kInsert = 1459;
constexpr UINT kKeepAwakeTimer = 4133;
constexpr UINT kKeepAwakeMs = 5000;
constexpr UINT kRecordText = 40278;
constexpr UINT kStopText = 40518;
constexpr UINT kPlayText = 40510;
}  // namespace recorder

enum class RecorderState { kReady = 0, kPlaying = 1, kPlaybackStopped = 2, kRecording = 3, kRecorded = 4 };

// The longest clip a size limit holds, in milliseconds, for the progress bar while recording. AMR
// (record type non-zero) takes 32 bytes for each 20 ms, but at least a second is shown; QCELP (0)
// takes 35 bytes for each 20 ms after a 229-byte head, and a limit within the head holds nothing.
int MaximumRecordDuration(int limit, int recordType);

class CRecorderDialog : public CDialogBase {
 public:
  CRecorderDialog(CString path, int limit, int recordType);
  ~CRecorderDialog() override;

  const MessageMap* GetMessageMap() const override;

  RecorderState State() const { return m_state; }
  int Duration() const { return m_duration; }
  const ProgressBar* Progress() const { return m_progress.get(); }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnCtlColorButton(WPARAM wParam, LPARAM lParam);
  LRESULT OnCycle(WPARAM wParam, LPARAM lParam);
  LRESULT OnDone(WPARAM wParam, LPARAM lParam);
  LRESULT OnCancelCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnInsert(WPARAM wParam, LPARAM lParam);
  LRESULT OnRecordProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnRecordLimit(WPARAM wParam, LPARAM lParam);
  LRESULT OnPlaybackProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnCancelMode(WPARAM wParam, LPARAM lParam);
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

 private:
  bool Layout();
  void ShowState(RecorderState state);
  void StartRecording();
  void StopRecordingAndMeasure();
  void Play(bool load);
  void StopPlayback();
  void StopEverything();
  void StartTimer();
  void KillTimer();
  bool InsertEnabled() const;
  bool Busy() const { return m_state == RecorderState::kRecording || m_state == RecorderState::kPlaying; }
  ULC_AudioEngine* Audio() const;

  CString m_path;
  int m_limit;
  int m_recordType;
  std::unique_ptr<RecordEngineHolder> m_holder;
  std::unique_ptr<ProgressBar> m_progress;
  int m_duration = 0;
  bool m_timer = false;
  bool m_loaded = false;
  platform::gdi::UniqueBrush m_faceBrush;
  RecorderState m_state = RecorderState::kReady;
};

// The record toolbar's entry point: records into `path` with the dialog; TRUE when the clip is to
// be inserted (the dialog ended with its insert button).
BOOL RunRecorder(LPCWSTR path, HWND owner, HINSTANCE resourceInstance, int limit, int recordType);

// The same for the frame: records into `path` with the size limit and the configured RecordType;
// the path of the recorded clip when it is to be inserted. Otherwise the file is deleted.
std::optional<CString> RecordVoiceClip(HWND owner, const CString& path, int limit);
