// LeakSanitizer settings compiled into every program that runs under the sanitizers.
// - fontconfig 2.14 loses a few blocks while it parses its configuration files, once per process.
// - Thread-local blocks are not scanned: clang 14's LeakSanitizer crashes at exit walking the
//   thread-local blocks of libraries loaded at run time (libjpeg's, under the picture codec).
//   Scanning less can only report more, so the one block glib keeps for its thread-local data
//   (HarfBuzz brings glib) is named here as not lost.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libglib-2.0.so\n";
}
extern "C" const char* __lsan_default_options();
extern "C" const char* __lsan_default_options() { return "use_tls=0"; }
