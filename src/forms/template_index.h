// The template store's index file: a 16-byte head (version 1, entry count, running number for
// the next file names, offset of the first record), then one record per template. All fields are
// 32-bit little-endian.
//
//   record := size:u32 messageBytes:u32 previewBytes:u32 nameBytes:u32 strings flag:u32
//   size    = 16 + messageBytes + previewBytes + nameBytes + 4
//   strings = the non-empty strings in UTF-16LE with their terminating null, in the order
//             message file, preview file, name; a byte count of 0 stands for an empty string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/text/cstring.h"
#include "platform/win_types.h"

struct TemplateEntry {
  CString name;
  CString messageFile;  // full path of the template's copy of the message data file
  CString previewFile;  // full path of its JPEG preview; empty without one
  DWORD flag = 0;       // 1 for the custom entry
};

struct TemplateIndex {
  DWORD runningNumber = 0;
  std::vector<TemplateEntry> entries;
};

enum class TemplateIndexStatus {
  kOk,
  kTruncated,         // the data ends inside the head or a record
  kWrongVersion,      // not version 1
  kBadOffset,         // the first record lies outside the file
  kTooManyEntries,    // more entries than the cap, or than the bytes could hold
  kBadRecordSize,     // a record's size disagrees with its string counts or exceeds the cap
  kTooLarge,          // the file exceeds the cap
};

constexpr std::uint32_t kTemplateIndexVersion = 1;
constexpr std::size_t kTemplateIndexHeadSize = 16;
constexpr std::size_t kMaxTemplateEntries = 1024;
constexpr std::size_t kMaxTemplateRecordSize = 8192;
constexpr std::size_t kMaxTemplateIndexSize = kMaxTemplateEntries * kMaxTemplateRecordSize;

struct TemplateIndexParse {
  TemplateIndexStatus status = TemplateIndexStatus::kOk;
  std::size_t offset = 0;  // where a failure was found
  TemplateIndex index;
  bool ok() const { return status == TemplateIndexStatus::kOk; }
};

// Never reads outside `data`; a failure leaves the index empty.
TemplateIndexParse ParseTemplateIndex(std::span<const std::uint8_t> data);
// The bytes of the index as the store writes them.
std::string SerializeTemplateIndex(const TemplateIndex& index);
