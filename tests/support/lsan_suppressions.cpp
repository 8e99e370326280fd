// Leaks inside system libraries that the tests cannot avoid; LeakSanitizer reads this list
// when the tests are built with sanitizers and ignores it otherwise. fontconfig loses a few
// bytes while it parses its configuration files. The sanitizer runtime finds the list by its
// symbol, so it stays visible although the build hides symbols by default.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
