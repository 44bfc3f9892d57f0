// LeakSanitizer settings compiled into every program that runs under the sanitizers.
// - fontconfig 2.14 loses a few blocks while it parses its configuration files, once per process.
// - Thread-local blocks are not scanned: clang 14's LeakSanitizer crashes at exit walking the
//   thread-local blocks of libraries loaded at run time (libjpeg's, under the picture codec).
//   Scanning less can only report more, so the one block glib keeps for its thread-local data
//   (HarfBuzz brings glib) is named here as not lost.
// - The loader grows its table of thread-local blocks when a library loaded at run time (FFmpeg's,
//   under the media engine) brings thread-local data; with those blocks unscanned, the table's
//   old copy it keeps for threads still running reads as lost.
// - libsrt (FFmpeg's libavformat brings it) keeps one block from its start-up code in its
//   thread-local data, which the unscanned blocks hide in the same way.
// - The loader's own records of a library opened at run time (its dependency list and its names)
//   read as lost in the host program, which links the form module and opens the device's copy of
//   it by name as well; they are the loader's, kept until the process ends.
// - The loader keeps the message of a failed dlopen or dlsym in the thread's own record until the
//   next one replaces it; with thread-local blocks unscanned it reads as lost.
// - libxml2 2.9.14 loses the value of an entity whose declaration the document leaves open (the
//   declaration list ends first); SVG drawings reach it through librsvg. What it loses is part of
//   the document, once per reading.
// The suppressions are not listed at every exit: each program run by a test would print them.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libglib-2.0.so\nleak:_dl_resize_dtv\nleak:libsrt-gnutls.so\n"
         "leak:_dl_map_object_deps\nleak:add_name_to_object\nleak:_dlerror_run\nleak:xmlParseEntityValue\n";
}
extern "C" const char* __lsan_default_options();
extern "C" const char* __lsan_default_options() { return "use_tls=0:print_suppressions=0"; }
