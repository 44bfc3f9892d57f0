// The SDL2 front-end: the framebuffer shown in a real window, the host's mouse and keys fed in as
// the device's input, and the message loop run between frames. SDL2 and the forty libraries it
// brings are loaded when a live window is first asked for: every other run of a program starts
// without them.
#include <SDL.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

#include "platform/automation/automation.h"
#include "platform/automation/desktop_input.h"
#include "platform/front_end/front_end.h"
#include "platform/internal/shared_library.h"
#include "platform/text/text_conversion.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

namespace platform::front_end {
namespace {

constexpr DWORD kFrameMilliseconds = 16;

// The SDL2 functions this front-end calls, looked up in the library loaded on first use.
struct SdlLibrary {
  decltype(&::SDL_CreateRenderer) CreateRenderer = nullptr;
  decltype(&::SDL_CreateSystemCursor) CreateSystemCursor = nullptr;
  decltype(&::SDL_CreateTexture) CreateTexture = nullptr;
  decltype(&::SDL_CreateWindow) CreateWindow = nullptr;
  decltype(&::SDL_DestroyRenderer) DestroyRenderer = nullptr;
  decltype(&::SDL_DestroyTexture) DestroyTexture = nullptr;
  decltype(&::SDL_DestroyWindow) DestroyWindow = nullptr;
  decltype(&::SDL_FreeCursor) FreeCursor = nullptr;
  decltype(&::SDL_GetError) GetError = nullptr;
  decltype(&::SDL_InitSubSystem) InitSubSystem = nullptr;
  decltype(&::SDL_PollEvent) PollEvent = nullptr;
  decltype(&::SDL_QuitSubSystem) QuitSubSystem = nullptr;
  decltype(&::SDL_RenderClear) RenderClear = nullptr;
  decltype(&::SDL_RenderCopy) RenderCopy = nullptr;
  decltype(&::SDL_RenderPresent) RenderPresent = nullptr;
  decltype(&::SDL_SetCursor) SetCursor = nullptr;
  decltype(&::SDL_StartTextInput) StartTextInput = nullptr;
  decltype(&::SDL_UpdateTexture) UpdateTexture = nullptr;
  decltype(&::SDL_WaitEventTimeout) WaitEventTimeout = nullptr;
};

void ResolveSdl(internal::SharedLibrary& library, SdlLibrary& sdl) {
  library.Resolve(sdl.CreateRenderer, "SDL_CreateRenderer");
  library.Resolve(sdl.CreateSystemCursor, "SDL_CreateSystemCursor");
  library.Resolve(sdl.CreateTexture, "SDL_CreateTexture");
  library.Resolve(sdl.CreateWindow, "SDL_CreateWindow");
  library.Resolve(sdl.DestroyRenderer, "SDL_DestroyRenderer");
  library.Resolve(sdl.DestroyTexture, "SDL_DestroyTexture");
  library.Resolve(sdl.DestroyWindow, "SDL_DestroyWindow");
  library.Resolve(sdl.FreeCursor, "SDL_FreeCursor");
  library.Resolve(sdl.GetError, "SDL_GetError");
  library.Resolve(sdl.InitSubSystem, "SDL_InitSubSystem");
  library.Resolve(sdl.PollEvent, "SDL_PollEvent");
  library.Resolve(sdl.QuitSubSystem, "SDL_QuitSubSystem");
  library.Resolve(sdl.RenderClear, "SDL_RenderClear");
  library.Resolve(sdl.RenderCopy, "SDL_RenderCopy");
  library.Resolve(sdl.RenderPresent, "SDL_RenderPresent");
  library.Resolve(sdl.SetCursor, "SDL_SetCursor");
  library.Resolve(sdl.StartTextInput, "SDL_StartTextInput");
  library.Resolve(sdl.UpdateTexture, "SDL_UpdateTexture");
  library.Resolve(sdl.WaitEventTimeout, "SDL_WaitEventTimeout");
}

// Null when the library or one of its functions cannot be found.
const SdlLibrary* LoadedSdl() {
  static const std::optional<SdlLibrary> sdl = internal::LoadFunctions<SdlLibrary>("libSDL2-2.0.so.0", ResolveSdl);
  return sdl ? &*sdl : nullptr;
}

const SdlLibrary& Sdl() { return *LoadedSdl(); }

KeyFilter& CurrentKeyFilter() {
  static KeyFilter filter;
  return filter;
}


struct SdlDeleter {
  void operator()(SDL_Window* w) const { Sdl().DestroyWindow(w); }
  void operator()(SDL_Renderer* r) const { Sdl().DestroyRenderer(r); }
  void operator()(SDL_Texture* t) const { Sdl().DestroyTexture(t); }
  void operator()(SDL_Cursor* c) const { Sdl().FreeCursor(c); }
};

// Keeps SDL's video part initialised for the lifetime of the live window.
class SdlVideo {
 public:
  SdlVideo() : m_ok(Sdl().InitSubSystem(SDL_INIT_VIDEO) == 0) {}
  ~SdlVideo() {
    if (m_ok) {
      Sdl().QuitSubSystem(SDL_INIT_VIDEO);
    }
  }
  SdlVideo(const SdlVideo&) = delete;
  SdlVideo& operator=(const SdlVideo&) = delete;
  bool Ok() const { return m_ok; }

 private:
  bool m_ok;
};

UINT VirtualKeyFor(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) {
    return static_cast<UINT>('A' + (key - SDLK_a));
  }
  if (key >= SDLK_0 && key <= SDLK_9) {
    return static_cast<UINT>('0' + (key - SDLK_0));
  }
  switch (key) {
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_F1: return VK_F1;
    case SDLK_F2: return VK_F2;
    default: return 0;
  }
}

// Keys whose characters SDL reports as text input, in the keyboard layout of the desktop (a shifted
// digit is "@" or "\"" as the layout says), unless a command modifier is held.
bool KeyMakesText(const SDL_Keysym& key) {
  if (key.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) return false;
  return (key.sym >= SDLK_a && key.sym <= SDLK_z) || (key.sym >= SDLK_0 && key.sym <= SDLK_9) || key.sym == SDLK_SPACE;
}

class LiveWindow {
 public:
  bool Open(const std::string& title, std::string* error);
  // Feeds one host event in; false when the person closed the window.
  bool Handle(const SDL_Event& event);
  // Waits up to `milliseconds` for host input, feeding in what arrives; false after a close.
  bool WaitForInput(DWORD milliseconds);
  void PresentIfChanged();
  bool Closed() const { return m_closed; }

 private:
  std::unique_ptr<SDL_Window, SdlDeleter> m_window;
  std::unique_ptr<SDL_Renderer, SdlDeleter> m_renderer;
  std::unique_ptr<SDL_Texture, SdlDeleter> m_texture;
  std::unique_ptr<SDL_Cursor, SdlDeleter> m_arrow;
  std::unique_ptr<SDL_Cursor, SdlDeleter> m_wait;
  std::uint64_t m_shownGeneration = ~0ULL;
  HCURSOR m_shownCursor = nullptr;
  bool m_closed = false;
  // A key the host's filter took also arrives as text, which the device must not see either.
  bool m_dropNextText = false;
};

bool LiveWindow::Open(const std::string& title, std::string* error) {
  window::ScreenGeometry screen = window::CurrentScreen();
  m_window.reset(Sdl().CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, screen.width,
                                  screen.height, 0));
  if (m_window) {
    m_renderer.reset(Sdl().CreateRenderer(m_window.get(), -1, 0));
  }
  if (m_renderer) {
    m_texture.reset(Sdl().CreateTexture(m_renderer.get(), SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING,
                                      screen.width, screen.height));
  }
  if (!m_texture) {
    if (error) {
      *error = Sdl().GetError();
    }
    return false;
  }
  Sdl().StartTextInput();
  m_arrow.reset(Sdl().CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
  m_wait.reset(Sdl().CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT));
  return true;
}

bool LiveWindow::Handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: m_closed = true; return false;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT) {
        automation::PostMouseInput(event.type == SDL_MOUSEBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                                   {event.button.x, event.button.y});
      }
      return true;
    case SDL_MOUSEMOTION:
      if (event.motion.state & SDL_BUTTON_LMASK) {
        automation::PostMouseInput(WM_MOUSEMOVE, {event.motion.x, event.motion.y});
      }
      return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool text = KeyMakesText(event.key.keysym);
      // The text of a key press follows its key-down at once.
      if (event.type == SDL_KEYDOWN) m_dropNextText = false;
      if (UINT key = VirtualKeyFor(event.key.keysym.sym)) {
        const UINT message = event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP;
        const KeyFilter& filter = CurrentKeyFilter();
        if (!filter || !filter(message, key)) {
          if (text) {
            automation::PostKeyInputTextApart(message, key);
          } else {
            automation::PostKeyInput(message, key);
          }
        } else if (message == WM_KEYDOWN && text) {
          m_dropNextText = true;
        }
      }
      return true;
    }
    case SDL_TEXTINPUT:
      // Every character typed comes this way, whatever key and layout made it.
      if (!std::exchange(m_dropNextText, false)) automation::PostTextInput(Utf8ToUtf16(event.text.text));
      return true;
    case SDL_WINDOWEVENT: m_shownGeneration = ~0ULL; return true;
    default: return true;
  }
}

bool LiveWindow::WaitForInput(DWORD milliseconds) {
  PresentIfChanged();
  SDL_Event event;
  int wait = static_cast<int>(std::min<DWORD>(milliseconds, kFrameMilliseconds));
  if (Sdl().WaitEventTimeout(&event, wait)) {
    Handle(event);
    while (Sdl().PollEvent(&event)) {
      Handle(event);
    }
  }
  if (m_closed) {
    PostQuitMessage(0);
  }
  return !m_closed;
}

void LiveWindow::PresentIfChanged() {
  HCURSOR cursor = GetCursor();
  if (cursor != m_shownCursor) {
    m_shownCursor = cursor;
    SDL_Cursor* shown = cursor == LoadCursorW(nullptr, IDC_WAIT) ? m_wait.get() : m_arrow.get();
    if (shown) {
      Sdl().SetCursor(shown);
    }
  }
  std::uint64_t generation = window::FrameGeneration();
  if (generation == m_shownGeneration) {
    return;
  }
  m_shownGeneration = generation;
  auto framebuffer = window::Framebuffer();
  Sdl().UpdateTexture(m_texture.get(), nullptr, framebuffer->Bits(), framebuffer->Stride());
  Sdl().RenderClear(m_renderer.get());
  Sdl().RenderCopy(m_renderer.get(), m_texture.get(), nullptr, nullptr);
  Sdl().RenderPresent(m_renderer.get());
}

}  // namespace

bool IsAvailable() { return true; }

void SetKeyFilter(KeyFilter filter) { CurrentKeyFilter() = std::move(filter); }

int RunLiveWindow(const std::string& title, std::string* error) {
  if (LoadedSdl() == nullptr) {
    if (error) {
      *error = "the SDL2 library (libSDL2-2.0.so.0) cannot be loaded";
    }
    return -1;
  }
  SdlVideo video;
  if (!video.Ok()) {
    if (error) {
      *error = Sdl().GetError();
    }
    return -1;
  }
  LiveWindow live;
  if (!live.Open(title, error)) {
    return -1;
  }
  // Modal loops inside handlers wait through the same window, so it stays responsive.
  window::SetWaitHandler([&live](DWORD milliseconds) { live.WaitForInput(milliseconds); });
  MSG msg;
  int exitCode = 0;
  for (;;) {
    BOOL result = GetMessageW(&msg, nullptr, 0, 0);
    if (result <= 0) {
      exitCode = result == 0 ? static_cast<int>(msg.wParam) : -1;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  window::SetWaitHandler(nullptr);
  return live.Closed() ? 0 : exitCode;
}

}  // namespace platform::front_end
