// LeakSanitizer's default suppressions for the test programs and for the tools
// built with the sanitizers. fontconfig keeps its process-wide configuration
// for the life of the process (a plug-in must never tear it down under its
// host), and LeakSanitizer cannot see every pointer fontconfig keeps to it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
