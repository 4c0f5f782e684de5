// Sanitizer settings of test programs that draw with OpenGL. Linked into those programs as a
// source of their own (the sanitizer runtimes look these functions up at start-up).

// Mesa's software rasteriser keeps small allocations from its compiled shaders to the end of
// the process, reachable only from its generated code, so the leak checker cannot tell them from
// ours in programs that draw. Leak checking of the layer's own memory happens in the unit tests.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}
// Its rasteriser threads share memory in ways the race detector cannot follow either.
extern "C" const char* __tsan_default_suppressions() {
    return "race:swrast_dri.so\nrace:libgallium\n";
}
