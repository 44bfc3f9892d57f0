// Drives one compose form for `mmsform compose`: finds or makes the message to compose into, opens
// the form with the data block the options ask for, takes the steps a person would (typing into
// the header, adding slides, adding device files through message 0x0788), writes the screen after
// each step, and ends it by saving, sending or leaving, or with --check by running the checks the
// send flow makes and keeping nothing. In a live window the same opening and steps come first, and
// then a person carries on until the form closes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compose_options.h"
#include "compose_session.h"
#include "device_file.h"
#include "form_module.h"
#include "platform/message_store/message_store.h"

namespace mmsform_tool {

// What became of a message a person composed: "sent", "saved" or "discarded", and the folder that
// holds it now (null when it is gone).
struct ComposeOutcome {
  std::string what;
  const platform::StandardFolder* folder = nullptr;
  bool Kept() const { return what == "sent" || what == "saved"; }
};

class ComposeDriver {
 public:
  ComposeDriver(const FormModule& module, IMsgStore* store, const ComposeOptions& options)
      : m_session(module), m_store(store), m_options(options) {}

  // The process's exit status.
  int Run();

  // Opens the form and takes the options' steps; `closed` runs once the form has closed, however
  // it closes (given only for the live window, where a person answers the template chooser). False (with the reason printed) when it did not open, closed at once or a step failed.
  bool Start(std::function<void()> closed);
  bool IsOpen() const { return m_session.IsOpen(); }
  // Closes a form that is still open.
  void Close() { m_session.Close(); }
  // After the form closed: prints what became of the message and returns it; a message made for
  // this run that was discarded is removed again.
  ComposeOutcome Finish();

 private:
  bool OpenTarget();
  bool AttachImport();
  ComposeRequest Request() const;
  // Takes the entry --template names (else the custom entry) in the template chooser a new
  // message opens with; false with a reason when the form offers none for --template or has no
  // template of that name.
  bool ChooseTemplate();
  bool Step(const ComposeStep& step);
  bool TypeIntoField(int field, const std::string& text);
  bool AddFile(const std::string& file, DWORD type);
  bool SetDuration(const std::string& seconds);
  // Writes the stored message as an m-send-req to --out; true when none was asked for.
  bool WriteOut();
  int End();
  // Prints what the recipient check and the whole-message check would tell the user before a
  // send, closes the form without keeping anything and removes the message made for the run.
  int Check();
  bool RemoveMadeMessage();
  // The size and time of the message's data file, nothing when it has none.
  std::optional<std::pair<std::uintmax_t, std::int64_t>> DataFileStamp();
  // Writes the screen as DIR/NN_name.png when --png was given.
  void Shoot(const std::string& name);
  // Prints the questions the form asked since the last call.
  void PrintPrompts();

  ComposeSession m_session;
  IMsgStore* m_store;
  const ComposeOptions& m_options;
  ComPtr<IMessage> m_message;
  ComPtr<IMessage> m_source;
  std::vector<std::unique_ptr<DeviceInput>> m_inputs;
  std::size_t m_promptsPrinted = 0;
  int m_shots = 0;
  // The slide the frame shows: each added slide comes after the current one and becomes current.
  int m_currentSlide = 0;
  std::optional<std::pair<std::uintmax_t, std::int64_t>> m_stampBefore;
};

}  // namespace mmsform_tool
