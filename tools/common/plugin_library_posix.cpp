#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "common/host_files.h"
#include "common/plugin_library.h"
#include "platform/codepage.h"

namespace zq::host {

PluginLibrary::PluginLibrary(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* error = dlerror();
    throw std::runtime_error("cannot load " + path + ": " + (error ? error : "?"));
  }
}

void* PluginLibrary::Lookup(const char* symbol) const {
  return dlsym(handle_, symbol);
}

char* PluginLibrary::AllocateText(const std::string& text) {
  char* block = static_cast<char*>(std::malloc(text.size() + 1));
  if (block != nullptr) std::memcpy(block, text.c_str(), text.size() + 1);
  return block;
}

void PluginLibrary::FreeText(char* text) {
  std::free(text);
}

std::string PluginLibrary::ToHostText(const std::string& utf8) {
  return platform::Utf8ToCp1251(utf8);
}

std::string PluginLibrary::FromHostText(const std::string& text) {
  return platform::Cp1251ToUtf8(text);
}

std::FILE* OpenHostFile(const std::string& utf8Path, const char* mode) {
  return std::fopen(utf8Path.c_str(), mode);
}

}  // namespace zq::host
