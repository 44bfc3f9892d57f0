// What `mmsform inspect --slides` and `--save` add to the message JSON: the message loaded into the
// model in a temporary part folder of the device, with its layout, slides and part files.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "json_writer.h"
#include "model/message_model.h"
#include "presentation/message_loading.h"

namespace mmsform_tool {

class InspectedModel {
 public:
  // Copies the file into the device's temporary folder and loads it; *error says why not.
  static std::optional<InspectedModel> Load(const std::filesystem::path& file, std::string* error);
  ~InspectedModel();
  InspectedModel(InspectedModel&& other) noexcept;
  InspectedModel& operator=(InspectedModel&&) = delete;

  // The keys of a model part: file, type and, for text, its text as loaded; nothing for the
  // presentation part.
  void WritePartKeys(JsonWriter& json, std::size_t messagePartIndex) const;
  // layout, slides and attachments.
  void WriteSummary(JsonWriter& json) const;
  // Saves the model into a message file on the host.
  bool Save(const std::filesystem::path& out, std::string* error) const;

 private:
  InspectedModel() = default;
  std::optional<std::size_t> MessageIndexOf(const MediaPart* part) const;

  std::filesystem::path m_workFolder;  // host folder of the temporary copy and its parts
  std::u16string m_partFolder;         // device path of the part folder
  MessageModel m_model;
  MessageLoadReport m_report;
  std::map<std::size_t, const MediaPart*> m_partsByMessageIndex;
};

}  // namespace mmsform_tool
