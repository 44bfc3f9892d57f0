#include "platform/gdi/line_breaks.h"

#include <dlfcn.h>
#include <unicode/ubrk.h>
#include <unicode/utext.h>
#include <unicode/uvernum.h>

#include <memory>

namespace platform::gdi {
namespace {

#define MMSFORM_TEXT(x) #x
#define MMSFORM_NAME(x) MMSFORM_TEXT(x)

// ICU's common library (and its data) is loaded at the first text laid out, not at every start of
// every program. Its functions carry the library's version in their names ("ubrk_open_72").
struct Icu {
  decltype(&::ubrk_open) open = nullptr;
  decltype(&::ubrk_close) close = nullptr;
  decltype(&::ubrk_setText) setText = nullptr;
  decltype(&::ubrk_following) following = nullptr;
  decltype(&::ubrk_next) next = nullptr;
  decltype(&::ubrk_getRuleStatus) ruleStatus = nullptr;

  // Null when the library or one of its functions cannot be found.
  static const Icu* Get() {
    static const Icu* library = [] {
      static Icu loaded;
      return loaded.Load() ? &loaded : nullptr;
    }();
    return library;
  }

 private:
  template <typename Function>
  bool Find(void* handle, Function& function, const char* name) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
  }
  bool Load() {
    void* handle = dlopen("libicuuc.so." MMSFORM_NAME(U_ICU_VERSION_MAJOR_NUM), RTLD_NOW | RTLD_LOCAL);
    return handle != nullptr && Find(handle, open, MMSFORM_NAME(ubrk_open)) &&
           Find(handle, close, MMSFORM_NAME(ubrk_close)) && Find(handle, setText, MMSFORM_NAME(ubrk_setText)) &&
           Find(handle, following, MMSFORM_NAME(ubrk_following)) && Find(handle, next, MMSFORM_NAME(ubrk_next)) &&
           Find(handle, ruleStatus, MMSFORM_NAME(ubrk_getRuleStatus));
  }
};

struct BreakIteratorCloser {
  void operator()(UBreakIterator* iterator) const { Icu::Get()->close(iterator); }
};
using BreakIteratorPtr = std::unique_ptr<UBreakIterator, BreakIteratorCloser>;

// Opening a line iterator loads its rules and dictionaries; one per thread is kept and reset
// with each new text, since the user-interface thread lays out text all the time.
UBreakIterator* LineIterator() {
  thread_local BreakIteratorPtr iterator = [] {
    const Icu* icu = Icu::Get();
    if (icu == nullptr) return BreakIteratorPtr();
    UErrorCode status = U_ZERO_ERROR;
    BreakIteratorPtr opened(icu->open(UBRK_LINE, "", nullptr, 0, &status));
    return U_SUCCESS(status) ? std::move(opened) : BreakIteratorPtr();
  }();
  return iterator.get();
}

}  // namespace

std::vector<LineBreak> LineBreakOpportunities(std::u16string_view text) {
  std::vector<LineBreak> breaks;
  if (text.empty()) return breaks;
  UBreakIterator* iterator = LineIterator();
  const Icu* icu = Icu::Get();
  UErrorCode status = U_ZERO_ERROR;
  if (iterator != nullptr && text.size() <= static_cast<std::size_t>(INT32_MAX)) {
    icu->setText(iterator, reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                 &status);
  } else {
    status = U_UNSUPPORTED_ERROR;
  }
  if (U_FAILURE(status)) {
    breaks.push_back({static_cast<std::uint32_t>(text.size()), true});
    return breaks;
  }
  for (int32_t at = icu->following(iterator, 0); at != UBRK_DONE; at = icu->next(iterator)) {
    bool hard = icu->ruleStatus(iterator) >= UBRK_LINE_HARD && icu->ruleStatus(iterator) < UBRK_LINE_HARD_LIMIT;
    breaks.push_back({static_cast<std::uint32_t>(at), hard});
  }
  // The iterator keeps a pointer to the text; it must not outlive the caller's buffer.
  icu->setText(iterator, nullptr, 0, &status);
  if (breaks.empty() || breaks.back().position != text.size()) {
    breaks.push_back({static_cast<std::uint32_t>(text.size()), true});
  }
  return breaks;
}

}  // namespace platform::gdi
