// The transport's submission as the compose tests see it: each Submit is recorded with its flags
// and answers what the test asked for.
#include "test_submission.h"

namespace {

class RecordingSubmission : public MessageSubmission {
 public:
  explicit RecordingSubmission(MessageBinding& binding) : m_binding(binding) {}
  HRESULT Submit(DWORD flags) override {
    SubmissionRecord& record = test_submission::Record();
    record.flags.push_back(flags);
    record.dataFiles.push_back(m_binding.DataFile());
    return record.answer;
  }

 private:
  MessageBinding& m_binding;
};

}  // namespace

namespace test_submission {
SubmissionRecord& Record() {
  static SubmissionRecord record;
  return record;
}
}  // namespace test_submission

std::unique_ptr<MessageSubmission> CreateSubmission(MessageBinding& binding) {
  if (!test_submission::Record().available) return nullptr;
  return std::make_unique<RecordingSubmission>(binding);
}
