// What the library tells about one part of a message, and what it is told about a part to add.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace mm1 {

struct PartRecord {
  // Media type with its parameters, "text/plain;charset=utf_8;name=a.txt"; charsets are named as
  // the module's content-type table spells them.
  std::string contentType;
  std::filesystem::path folder;  // the folder that holds the part's file
  std::string fileName;          // the file's name inside that folder
  std::string contentId;         // without quotes or angle brackets
  std::string contentLocation;
  std::string name;              // the name parameter, else the disposition's filename
  std::uint64_t size = 0;        // bytes of the part's data
  bool forwardLocked = false;    // an OMA DRM message (forward-lock or combined delivery)
};

}  // namespace mm1
