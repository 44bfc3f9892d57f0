// Leaks that are not ours, for the sanitizer build: fontconfig keeps its caches until the process
// ends (SVG text is laid out through it).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
