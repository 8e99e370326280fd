// Loading the plug-in and allocating host texts, as the platform's host does it.
#pragma once

#include <cstddef>
#include <string>

namespace zq::host {

class PluginLibrary {
 public:
  // Loads the library; throws std::runtime_error with the loader's message on failure. The
  // library stays loaded for the life of the process: unloading destroys nothing.
  explicit PluginLibrary(const std::string& path);
  // An exported symbol, or nullptr.
  void* Lookup(const char* symbol) const;

  // Texts that pass between host and plug-in come from one allocator: GlobalAlloc on Windows,
  // the C heap on Linux.
  static char* AllocateText(const std::string& text);
  static void FreeText(char* text);
  // Texts in the host's code page: the system ANSI code page on Windows, Windows-1251 for the
  // Linux plug-in. Scripts are UTF-8.
  static std::string ToHostText(const std::string& utf8);
  static std::string FromHostText(const std::string& text);

 private:
  void* handle_ = nullptr;
};

}  // namespace zq::host
