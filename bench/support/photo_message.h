// The message that the form benchmarks open, and what they need to open it the way a host does:
// ten camera photos from the corpus, one a slide, each with a UTF-8 text and a presentation, stored
// in a folder of the message store; a quiet host and a fresh screen; the read form opened through
// the module's exports up to its first slide drawn.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>

#include "forms/form_interface.h"
#include "platform/com/com_ptr.h"
#include "platform/message_store/message_store.h"
#include "platform/window/screen.h"

class CReadView;

namespace bench {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kPhotoSlides = 10;
constexpr platform::window::ScreenGeometry kSmallScreen{240, 320, 96};
constexpr platform::window::ScreenGeometry kLargeScreen{480, 640, 192};

struct StoredMessage {
  ComPtr<IMessage> message;
  std::size_t bytes = 0;  // of its data file
};

// Writes the message's files under `scratch`, imports it into the folder `folderTag` of the store
// that ULC_Global holds and opens it for changes. Each slide lasts `slideMs` and carries a text of
// at least `textBytes`. Anything that fails ends the program: the figures would mean nothing.
StoredMessage StorePhotoMessage(IMsgStore* store, const std::filesystem::path& scratch, int slideMs,
                                std::size_t textBytes, ULONG folderTag);

struct NullHost : IFormHost {
  HRESULT FormClosed(IMMSForm*, IMessage*, DWORD) override { return S_OK; }
  HRESULT HostSlot1() override { return S_OK; }
  HRESULT HostSlot2() override { return S_OK; }
  HRESULT FormAction(IMMSForm*, IMessage*, DWORD, DWORD) override { return S_OK; }
};

// A fresh window system on `screen` with the client application's main window; the host's
// window, which ignores being told to close, is returned.
HWND UseScreen(const platform::window::ScreenGeometry& screen);

// Seconds in a duration, for manual timing.
double Seconds(Clock::duration d);

// Opens `message` in the read form over `host` through the module's exports. Once the view's first
// slide is drawn, `whileOpen` gets the view and the time the open took; then the view is ended
// with Done and the form closed and released. False when the first slide was not shown.
bool ReadMessage(IMessage* message, HWND host, const std::function<void(CReadView*, Clock::duration)>& whileOpen);

}  // namespace bench
