// mmsform read FILE.mms|ENTRY_ID [--png DIR] [--screen WxH@DPI] [--slides N]: the read form as a
// messaging application opens it. A file is first stored in the Inbox; the client's main window
// is made; the module is loaded by name and driven through its exports and the form's slots; the
// message plays headless on the virtual clock to its end (or for N slides), the screen written at
// each slide and at the end; the host's callbacks and the client's messages are printed.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cmd_window_options.h"
#include "command.h"
#include "device_writing.h"
#include "json_writer.h"
#include "forms/form_provider.h"
#include "forms/message_import.h"
#include "forms/read_view.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "platform/automation/automation.h"
#include "platform/clock.h"
#include "platform/controls/control_classes.h"
#include "platform/message_store/message_store.h"
#include "platform/module_api.h"
#include "platform/text_conversion.h"
#include "platform/window/window_system.h"
#include "transport/mms_global.h"

namespace mmsform_tool {
namespace {

constexpr char kUsage[] =
    "usage: mmsform read FILE.mms|ENTRY_ID [--png DIR] [--screen 240x320@96|480x640@192] [--slides N]\n";
// However long its slides say it is, a headless reading ends after this much virtual time.
constexpr DWORD kLongestReadingMs = 10 * 60 * 1000;
constexpr DWORD kStepMs = 30;

struct ReadOptions {
  std::string target;
  std::string pngDir;
  std::string screen;
  int slides = 0;
};

bool Parse(std::span<char* const> args, ReadOptions* options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--png" && hasValue) {
      options->pngDir = args[++i];
    } else if (arg == "--screen" && hasValue) {
      options->screen = args[++i];
    } else if (arg == "--slides" && hasValue) {
      options->slides = std::atoi(args[++i]);
      if (options->slides < 1) return false;
    } else if (options->target.empty() && !arg.starts_with("--")) {
      options->target = arg;
    } else {
      return false;
    }
  }
  return !options->target.empty();
}

std::optional<EntryId> FromHex(std::string_view hex) {
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
  EntryId bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    if (std::sscanf(std::string(hex.substr(i, 2)).c_str(), "%2x", &value) != 1) return std::nullopt;
    bytes.push_back(static_cast<char>(value));
  }
  return bytes;
}

// The client application's main window, which the form looks for and posts to.
LRESULT ClientProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == 1256 || message == 1288 || message == 0x04EF || message == 0x04F0) {
    std::printf("{\"client_message\": %u, \"wParam\": %lu, \"lParam\": %ld}\n", message,
                static_cast<unsigned long>(wParam), static_cast<long>(lParam));
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT HostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow(LPCWSTR className, WNDPROC procedure) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, className, u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

struct PrintingHost : IFormHost {
  bool closed = false;
  HRESULT FormClosed(IMMSForm*, IMessage*, DWORD flags) override {
    closed = true;
    std::printf("{\"callback\": \"FormClosed\", \"flags\": %lu}\n", static_cast<unsigned long>(flags));
    return S_OK;
  }
  HRESULT HostSlot1() override { return S_OK; }
  HRESULT HostSlot2() override { return S_OK; }
  HRESULT FormAction(IMMSForm*, IMessage*, DWORD action, DWORD) override {
    std::printf("{\"callback\": \"FormAction\", \"action\": %lu}\n", static_cast<unsigned long>(action));
    return S_OK;
  }
};

bool Shoot(const ReadOptions& options, const std::string& name) {
  if (options.pngDir.empty()) return true;
  std::string error;
  platform::automation::PumpUntilIdle();
  const std::filesystem::path path = std::filesystem::path(options.pngDir) / name;
  if (!platform::automation::Screenshot(path, &error)) {
    std::fprintf(stderr, "mmsform read: %s\n", error.c_str());
    return false;
  }
  std::printf("{\"png\": \"%s\"}\n", path.string().c_str());
  return true;
}

// Plays the open read view on the virtual clock. The view is watched, not driven: the pictures are
// named by the slide it shows; everything it does comes from its own timers.
void PlayHeadless(HWND dialog, const ReadOptions& options) {
  auto* view = dynamic_cast<CReadView*>(reinterpret_cast<CWndBase*>(GetWindowLongW(dialog, GWL_USERDATA)));
  if (view == nullptr) return;
  const DWORD start = GetTickCount();
  int shown = -1;
  int slidesSeen = 0;
  char name[64];
  // A dialog the view opens by itself (the message information at the end) is pictured, named
  // and closed with OK, as the reader would after reading it.
  const platform::automation::HookId dialogs = platform::automation::OnWindowAppears(
      u"Dialog", u"",
      [&](HWND opened) {
        if (opened == dialog) return;
        std::u16string title(128, u'\0');
        title.resize(static_cast<std::size_t>(GetWindowTextW(opened, title.data(), static_cast<int>(title.size()))));
        JsonWriter line;
        line.BeginObject().Key("dialog").String(platform::Utf16ToUtf8(title)).EndObject();
        std::printf("%s\n", line.Text().c_str());
        std::snprintf(name, sizeof name, "dialog_%07lums.png", static_cast<unsigned long>(GetTickCount() - start));
        Shoot(options, name);
        PostMessageW(opened, WM_COMMAND, IDOK, 0);
      },
      false);
  for (DWORD elapsed = 0; elapsed <= kLongestReadingMs; elapsed = GetTickCount() - start) {
    if (view->CurrentSlide() != shown && !view->Ended()) {
      shown = view->CurrentSlide();
      if (options.slides > 0 && slidesSeen == options.slides) break;
      ++slidesSeen;
      std::snprintf(name, sizeof name, "slide%02d_%07lums.png", shown + 1, static_cast<unsigned long>(elapsed));
      Shoot(options, name);
    }
    if (view->Ended() && view->PlaybackState() == read_view::kStopped) break;
    platform::automation::AdvanceClock(kStepMs);
  }
  platform::automation::RemoveHook(dialogs);
  std::snprintf(name, sizeof name, "end_%07lums.png", static_cast<unsigned long>(GetTickCount() - start));
  Shoot(options, name);
  std::printf("{\"slides_seen\": %d, \"slides\": %d, \"ended\": %s, \"ms\": %lu}\n", slidesSeen, view->SlideCount(),
              view->Ended() ? "true" : "false", static_cast<unsigned long>(GetTickCount() - start));
  // Done, as the reader's Done button does it.
  PostMessageW(dialog, WM_COMMAND, 1, 0);
}

int RunRead(std::span<char* const> args) {
  ReadOptions options;
  if (!Parse(args, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  WindowDemoOptions screen;
  screen.screen = options.screen;
  if (!ApplyScreenOption(screen)) {
    std::fprintf(stderr, "mmsform read: unsupported screen '%s'\n", options.screen.c_str());
    return 2;
  }
  if (!options.pngDir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options.pngDir, error);
  }
  platform::UseVirtualClock(true);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  ComPtr<IMsgStore> store;
  std::string storeError;
  if (platform::OpenMessageStore(store.Receive(), &storeError) != S_OK) {
    std::fprintf(stderr, "mmsform read: %s\n", storeError.c_str());
    return 1;
  }
  ULC_Global::GetGlobal()->messageStore = store.Get();
  std::optional<EntryId> entryId;
  std::error_code fileError;
  if (std::filesystem::is_regular_file(options.target, fileError)) {
    auto bytes = mm1::ReadWholeFile(options.target, mm1::kMaxMessageFileBytes);
    if (!bytes) {
      std::fprintf(stderr, "mmsform read: %s\n", bytes.Failure().message.c_str());
      return 1;
    }
    CleanUpBeforeWriting(store.Get());
    ImportResult imported = ImportMessageFile(
        std::string_view(reinterpret_cast<const char*>(bytes.Value().data()), bytes.Value().size()),
        PR_INBOX_FOLDER_ENTRYID);
    if (!imported.ok) {
      std::fprintf(stderr, "mmsform read: %s: %s\n", options.target.c_str(), imported.error.c_str());
      return 1;
    }
    entryId = imported.entryId;
  } else {
    entryId = FromHex(options.target);
  }
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  if (!entryId || FAILED(store->OpenEntry(static_cast<ULONG>(entryId->size()),
                                          reinterpret_cast<LPENTRYID>(entryId->data()), nullptr, MAPI_MODIFY, &kind,
                                          object.Receive())) ||
      kind != MAPI_MESSAGE) {
    std::fprintf(stderr, "mmsform read: no stored message '%s'\n", options.target.c_str());
    return 1;
  }
  ComPtr<IMessage> message(static_cast<IMessage*>(object.Detach()));

  HWND client = MakeWindow(u"Ppc_WndCls_MainFrme", &ClientProcedure);
  HWND host = MakeWindow(u"Inbox.MainWnd", &HostProcedure);
  HMODULE module = LoadLibraryW(u"MMSForm.dll");
  auto init = module ? reinterpret_cast<MMSForm_InitFn>(GetProcAddressW(module, u"MMSForm_Init")) : nullptr;
  auto uninit = module ? reinterpret_cast<MMSForm_UninitFn>(GetProcAddressW(module, u"MMSForm_Uninit")) : nullptr;
  auto createRead =
      module ? reinterpret_cast<MMSForm_CreateReadFormFn>(GetProcAddressW(module, u"MMSForm_CreateReadForm")) : nullptr;
  if (!init || !uninit || !createRead) {
    std::fprintf(stderr, "mmsform read: the form module cannot be loaded\n");
    return 1;
  }
  init();
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) { PlayHeadless(dialog, options); });
  PrintingHost callbacks;
  DWORD activateArg = 0;
  IMMSForm* form = nullptr;
  const HRESULT hr = createRead(&callbacks, message.Get(), host, &activateArg, &form);
  if (FAILED(hr) || form == nullptr) {
    std::fprintf(stderr, "mmsform read: the read form did not open (0x%08lx)\n", static_cast<unsigned long>(hr));
  } else {
    platform::automation::PumpUntilIdle();
    form->Close();
    form->Release();
  }
  platform::automation::PumpUntilIdle();
  uninit();
  FreeLibrary(module);
  platform::automation::Reset();
  DestroyWindow(host);
  DestroyWindow(client);
  platform::window::ResetWindowSystem();
  message.Reset();
  ULC_Global::GetGlobal()->messageStore = nullptr;
  return SUCCEEDED(hr) ? 0 : 1;
}

const Command kRead("read", "read FILE.mms|ENTRY_ID [--png DIR] [--screen WxH@DPI] [--slides N]   the read form, headless",
                    RunRead);

}  // namespace
}  // namespace mmsform_tool
