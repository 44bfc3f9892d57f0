#include "forms/message_submission.h"

#include "forms/send_request.h"
#include "forms/store_properties.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/pdu_decoder.h"
#include "mm1/pdu_encoder.h"
#include "platform/kernel/debug_output.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"
#include "platform/message_store/message_store.h"
#include "transport/mms_global.h"
#include "transport/send_queue.h"

namespace {

static_assert(store_property::kTransportState == transport::kTransportStateTag);

// The submission works from what is stored (the data file and the store properties), not from the
// model: the send flow deletes the model before it submits.
class StoredMessageSubmission final : public MessageSubmission {
 public:
  explicit StoredMessageSubmission(MessageBinding& binding) : m_binding(binding) {}

  HRESULT Submit(DWORD) override {
    IMsgStore* store = ULC_Global::GetGlobal()->messageStore;
    StoreMessage& message = m_binding.Message();
    if (store == nullptr || !message.IsOpen()) return E_FAIL;
    // The store's write lock is held from before the data file is read to the commit: no other
    // process changes the message meanwhile, and a failure at any step rolls the move and the mark
    // back, leaving the message where it was.
    platform::StoreTransaction transaction(store);
    if (!transaction.ok()) return Fail("cannot lock the message store: " + transaction.Problem());
    if (message.ParentEntryId().empty()) return Fail("the message is no longer stored");
    auto dataFile = platform::HostPath(m_binding.DataFile().View());
    auto sendFile = platform::HostPath(SendRequestFile(m_binding).View());
    if (!dataFile || !sendFile) return Fail("the message files lie outside the device");
    auto bytes = mm1::ReadWholeFile(*dataFile, mm1::kMaxMessageFileBytes);
    if (!bytes) return Fail(bytes.Failure().message);
    auto body = mm1::DecodePdu(bytes.Value());
    if (!body) return Fail("the data file is damaged: " + body.Failure().message);
    auto request = ComposeSendRequest(body.Value(), message, MessageNumber(m_binding.Identifier()));
    if (!request) return Fail(request.Failure().message);
    auto encoded = mm1::EncodePdu(request.Value());
    if (!encoded) return Fail(encoded.Failure().message);
    HRESULT queued = transport::QueueInOutbox(store, message.Get());
    if (FAILED(queued)) return Fail("cannot queue the message: " + transaction.Problem(), queued);
    // Written while the lock is held: a process killed before the commit leaves at most a send file
    // of a message that is not queued, which the next submission of that message replaces.
    if (auto written = mm1::WriteFileAtomically(*sendFile, encoded.Value()); !written) {
      return Fail(written.Failure().message);
    }
    if (!transaction.Commit()) {
      std::string problem = transaction.Problem();
      DeleteFileW(SendRequestFile(m_binding));
      return Fail("cannot queue the message: " + problem);
    }
    return S_OK;
  }

 private:
  static HRESULT Fail(const std::string& why, HRESULT result = E_FAIL) {
    platform::DebugPrint("message submission: %s\n", why.c_str());
    return result;
  }

  MessageBinding& m_binding;
};

}  // namespace

std::unique_ptr<MessageSubmission> CreateSubmission(MessageBinding& binding) {
  if (binding.Identifier().empty() || !binding.Message().IsOpen()) return nullptr;
  return std::make_unique<StoredMessageSubmission>(binding);
}
