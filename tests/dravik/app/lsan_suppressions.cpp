// fontconfig keeps its caches for the life of the process; LeakSanitizer reports them at exit.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
