// The font library keeps its caches until the process ends; the leak
// checker of sanitizer builds is told so (unused in other builds).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libX11.so\n"; }
