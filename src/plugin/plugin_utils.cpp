#include "plugin/plugin_utils.h"

#include <cstring>
#include <new>

#include "platform/host_memory.h"

namespace zq::plugin {

void SetPluginText(char** variable, std::string_view text) {
  if (variable == nullptr) return;
  FreePluginText(variable);
  char* block = platform::GetHostMemory().Allocate(text.size() + 1);
  if (block == nullptr) throw std::bad_alloc();
  if (!text.empty()) std::memcpy(block, text.data(), text.size());
  block[text.size()] = '\0';
  *variable = block;
}

void FreePluginText(char** variable) {
  if (variable == nullptr || *variable == nullptr) return;
  platform::GetHostMemory().Free(*variable);
  *variable = nullptr;
}

}  // namespace zq::plugin
