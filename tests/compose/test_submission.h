// A test stand-in for the transport's submission, linked into the compose tests only.
#pragma once

#include <vector>

#include "forms/message_submission.h"

struct SubmissionRecord {
  std::vector<DWORD> flags;
  std::vector<CString> dataFiles;
  HRESULT answer = S_OK;
  bool available = true;
};

namespace test_submission {
SubmissionRecord& Record();
}  // namespace test_submission
