// Leaks inside system libraries that the tests cannot avoid; LeakSanitizer reads this list
// when the tests are built with sanitizers and ignores it otherwise. fontconfig loses a few
// bytes while it parses its configuration files.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
