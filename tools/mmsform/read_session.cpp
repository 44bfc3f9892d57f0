#include "read_session.h"

#include <cstdio>
#include <filesystem>
#include <utility>

#include "device_writing.h"
#include "forms/message_import.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "platform/message_store/message_store.h"
#include "platform/window/window_api.h"
#include "store_listing.h"

namespace mmsform_tool {
namespace {


LRESULT ClientProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == 1256 || message == 1288 || message == 0x04EF || message == WM_FORM_FAILED) {
    std::printf("{\"client_message\": %u, \"wParam\": %lu, \"lParam\": %ld}\n", message,
                static_cast<unsigned long>(wParam), static_cast<long>(lParam));
    std::fflush(stdout);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

ComPtr<IMessage> OpenReadTarget(IMsgStore* store, const std::string& target, std::string* error) {
  std::optional<EntryId> entryId;
  std::error_code fileError;
  if (std::filesystem::is_regular_file(target, fileError)) {
    auto bytes = mm1::ReadWholeFile(target, mm1::kMaxMessageFileBytes);
    if (!bytes) {
      *error = bytes.Failure().message;
      return {};
    }
    CleanUpBeforeWriting(store);
    ImportResult imported = ImportMessageFile(
        std::string_view(reinterpret_cast<const char*>(bytes.Value().data()), bytes.Value().size()),
        PR_INBOX_FOLDER_ENTRYID);
    if (!imported.ok) {
      *error = target + ": " + imported.error;
      return {};
    }
    entryId = imported.entryId;
  } else {
    entryId = EntryIdFromHex(target);
  }
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  if (!entryId || FAILED(store->OpenEntry(static_cast<ULONG>(entryId->size()),
                                          reinterpret_cast<LPENTRYID>(entryId->data()), nullptr, MAPI_MODIFY, &kind,
                                          object.Receive())) ||
      kind != MAPI_MESSAGE) {
    *error = "no stored message '" + target + "'";
    return {};
  }
  return ComPtr<IMessage>(static_cast<IMessage*>(object.Detach()));
}

HWND MakeClientWindow() { return MakeHiddenWindow(u"Ppc_WndCls_MainFrme", &ClientProcedure); }

HRESULT ReadSession::Open(IMessage* message, std::function<void()> closed) {
  return OpenForm(
      [&](IFormHost* host, HWND parent, IMMSForm** form) {
        DWORD activateArg = 0;
        return Module().CreateReadForm()(host, message, parent, &activateArg, form);
      },
      std::move(closed));
}

}  // namespace mmsform_tool
