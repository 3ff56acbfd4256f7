// Fontconfig keeps its caches until the process ends; the leak checker of the sanitizer build
// would otherwise report them after every window test.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
