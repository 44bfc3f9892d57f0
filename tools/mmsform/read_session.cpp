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

constexpr LPCWSTR kFormParentClass = u"MMSFormHost.FormParent";
constexpr WORD kVerbDone = 1;

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

HWND MakeHiddenWindow(LPCWSTR className, WNDPROC procedure) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = className;
  // A second session registers the class again; the first registration stands.
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, className, u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

HWND MakeClientWindow() { return MakeHiddenWindow(u"Ppc_WndCls_MainFrme", &ClientProcedure); }

HRESULT ReadSession::PrintingHost::FormClosed(IMMSForm*, IMessage*, DWORD flags) {
  std::printf("{\"callback\": \"FormClosed\", \"flags\": %lu}\n", static_cast<unsigned long>(flags));
  std::fflush(stdout);
  return S_OK;
}

HRESULT ReadSession::PrintingHost::FormAction(IMMSForm*, IMessage*, DWORD action, DWORD) {
  std::printf("{\"callback\": \"FormAction\", \"action\": %lu}\n", static_cast<unsigned long>(action));
  std::fflush(stdout);
  return S_OK;
}

LRESULT ReadSession::ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* session = reinterpret_cast<ReadSession*>(GetWindowLongW(hwnd, GWL_USERDATA));
  // The frame reports every verb as dealt with; for a read, its view has ended and the form is done.
  if (message == WM_COMMAND && LOWORD(wParam) == kVerbDone && session != nullptr) {
    session->Close();
    return 0;
  }
  // The form asks its parent to close; the session closes it when it releases the form.
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HRESULT ReadSession::Open(IMessage* message, std::function<void()> closed) {
  if (m_form != nullptr) return E_FAIL;
  m_parent = MakeHiddenWindow(kFormParentClass, &ParentProcedure);
  if (m_parent == nullptr) return E_FAIL;
  SetWindowLongW(m_parent, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  DWORD activateArg = 0;
  const HRESULT hr = m_module.CreateReadForm()(&m_callbacks, message, m_parent, &activateArg, &m_form);
  if (FAILED(hr) || m_form == nullptr) {
    m_form = nullptr;
    DestroyWindow(std::exchange(m_parent, nullptr));
    return FAILED(hr) ? hr : E_FAIL;
  }
  m_closed = std::move(closed);
  return S_OK;
}

void ReadSession::Close() {
  if (m_form == nullptr) return;
  IMMSForm* form = std::exchange(m_form, nullptr);
  form->Close();
  form->Release();
  HWND parent = std::exchange(m_parent, nullptr);
  if (IsWindow(parent)) DestroyWindow(parent);
  if (auto closed = std::exchange(m_closed, nullptr)) closed();
}

}  // namespace mmsform_tool
