#include "photo_message.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "forms/form_provider.h"
#include "forms/message_import.h"
#include "forms/read_view.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/message_writer.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/window/window_system.h"
#include "transport/mms_global.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

// Camera photos of 43 to 88 KB from the corpus, one a slide.
constexpr const char* kPhotos[kPhotoSlides] = {
    "fujifilm-finepix40i.jpg",  "kodak-dc210.jpg",   "kodak-dc240.jpg",    "olympus-c960.jpg",
    "olympus-d320l-noexif.jpg", "ricoh-rdc5300.jpg", "sanyo-vpc-g250.jpg", "sony-cybershot.jpg",
    "sony-dsc-d700.jpg",        "fujifilm-finepix40i.jpg"};

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "bench: %s\n", why.c_str());
  std::exit(1);
}

LRESULT QuietProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow(LPCWSTR className) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &QuietProcedure;
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, className, u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

CReadView* ViewOf(HWND dialog) {
  return dynamic_cast<CReadView*>(reinterpret_cast<CWndBase*>(GetWindowLongW(dialog, GWL_USERDATA)));
}

// True when the view shows its first slide with the photo decoded and the text laid out.
bool FirstSlideShown(CReadView* view) {
  CPresentationWindow* window = view ? view->Player().Window() : nullptr;
  return window && view->CurrentSlide() == 0 && window->PictureShown() && window->TextShown();
}

}  // namespace

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

StoredMessage StorePhotoMessage(IMsgStore* store, const fs::path& scratch, int slideMs, std::size_t textBytes,
                                ULONG folderTag) {
  const fs::path source = scratch / ("source-" + std::to_string(slideMs));
  fs::create_directories(source);
  std::string smil = "<smil><head><layout><root-layout width=\"176\" height=\"144\"/>"
                     "<region id=\"Image\" left=\"0\" top=\"0\" width=\"176\" height=\"100\"/>"
                     "<region id=\"Text\" left=\"0\" top=\"100\" width=\"176\" height=\"44\"/>"
                     "</layout></head><body>";
  mm1::MessageWriter writer;
  for (std::size_t i = 0; i < kPhotoSlides; ++i) {
    const std::string picture = "photo" + std::to_string(i) + ".jpg";
    const std::string text = "text" + std::to_string(i) + ".txt";
    fs::copy_file(fs::path(MMSFORM_CORPUS_DIR) / "jpeg" / kPhotos[i], source / picture,
                  fs::copy_options::overwrite_existing);
    std::string words;
    while (words.size() < textBytes) words += "Grüße aus Köln, 東京 und Zürich. ";
    if (!mm1::WriteFileAtomically(source / text, std::vector<std::uint8_t>(words.begin(), words.end()))) {
      Fail("cannot write " + text);
    }
    for (const auto& [name, type] : {std::pair{picture, "image/jpeg"}, std::pair{text, "text/plain;charset=utf-8"}}) {
      mm1::PartRecord record;
      record.folder = source;
      record.fileName = name;
      record.contentType = type;
      if (!writer.AddPart(record)) Fail("cannot add " + name);
    }
    smil += "<par dur=\"" + std::to_string(slideMs) + "ms\"><img src=\"" + picture +
            "\" region=\"Image\"/><text src=\"" + text + "\" region=\"Text\"/></par>";
  }
  smil += "</body></smil>";
  if (!mm1::WriteFileAtomically(source / "mms.smil", std::vector<std::uint8_t>(smil.begin(), smil.end())) ||
      !writer.SetPresentation(source / "mms.smil", "mms.smil") || !writer.Write(source / "message.mms")) {
    Fail("cannot write the message");
  }
  auto bytes = mm1::ReadWholeFile(source / "message.mms", mm1::kMaxMessageFileBytes);
  if (!bytes) Fail(bytes.Failure().message);
  StoredMessage stored;
  stored.bytes = bytes.Value().size();
  const ImportResult imported = ImportMessageFile(
      std::string_view(reinterpret_cast<const char*>(bytes.Value().data()), bytes.Value().size()), folderTag);
  if (!imported.ok) Fail(imported.error);
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  EntryId id = imported.entryId;
  if (store->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(id.data()), nullptr, MAPI_MODIFY,
                       &kind, object.Receive()) != S_OK) {
    Fail("cannot open the stored message");
  }
  stored.message = ComPtr<IMessage>(static_cast<IMessage*>(object.Detach()));
  return stored;
}

HWND UseScreen(const platform::window::ScreenGeometry& screen) {
  platform::window::ResetWindowSystem();
  platform::automation::Reset();
  platform::window::ConfigureScreen(screen);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  MakeWindow(u"Ppc_WndCls_MainFrme");
  return MakeWindow(u"Inbox.MainWnd");
}

bool ReadMessage(IMessage* message, HWND host, const std::function<void(CReadView*, Clock::duration)>& whileOpen) {
  bool shown = false;
  Clock::time_point start;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    platform::automation::PumpUntilIdle();
    platform::window::PaintDirtyAreas();
    const Clock::duration took = Clock::now() - start;
    CReadView* view = ViewOf(dialog);
    shown = FirstSlideShown(view);
    if (shown) whileOpen(view, took);
    PostMessageW(dialog, WM_COMMAND, 1, 0);
  });
  NullHost formHost;
  DWORD activateArg = 0;
  IMMSForm* form = nullptr;
  start = Clock::now();
  const HRESULT hr = MMSForm_CreateReadForm(&formHost, message, host, &activateArg, &form);
  platform::automation::PumpUntilIdle();
  if (SUCCEEDED(hr) && form) {
    form->Close();
    form->Release();
  }
  platform::automation::PumpUntilIdle();
  return SUCCEEDED(hr) && shown;
}

}  // namespace bench
