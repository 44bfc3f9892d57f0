// Drives one compose form for `mmsform compose`: finds or makes the message to compose into, opens
// the form with the data block the options ask for, takes the steps a person would (typing into
// the header, adding slides, adding device files through message 0x0788), writes the screen after
// each step, and ends it by saving, sending or leaving, or with --check by running the checks the
// send flow makes and keeping nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "compose_options.h"
#include "compose_session.h"
#include "device_file.h"
#include "form_module.h"

namespace mmsform_tool {

class ComposeDriver {
 public:
  ComposeDriver(const FormModule& module, IMsgStore* store, const ComposeOptions& options)
      : m_session(module), m_store(store), m_options(options) {}

  // The process's exit status.
  int Run();

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
};

}  // namespace mmsform_tool
