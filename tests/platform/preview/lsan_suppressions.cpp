// The system's font configuration library keeps a few allocations for the
// life of the process; the leak checker of the sanitized build is told so.
// Without the sanitizer this function is never called.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
