// LeakSanitizer suppressions compiled into every program that draws text under the sanitizers:
// fontconfig 2.14 loses a few blocks while it parses its configuration files, once per process.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
