#include "zqchart/plugin_host.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace zq::host {

PluginHost* PluginHost::current_ = nullptr;

PluginHost::PluginHost(const std::string& libraryPath) {
  library_ = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library_ == nullptr) {
    const char* error = dlerror();
    throw std::runtime_error("cannot load " + libraryPath + ": " + (error ? error : "?"));
  }
  auto lookup = [this](const char* symbol) { return dlsym(library_, symbol); };
  exports_ = ResolveExports(lookup);
  headless_ = ResolveHeadlessHost(lookup);
  if (!exports_.Complete()) {
    dlclose(library_);
    library_ = nullptr;
    throw std::runtime_error(libraryPath + " lacks the plug-in's entry points");
  }
  current_ = this;
}

PluginHost::~PluginHost() {
  if (current_ == this) current_ = nullptr;
  // The library stays loaded: unloading destroys nothing and charts may still be drawn.
}

void PluginHost::Register() {
  char* name = nullptr;
  char* author = nullptr;
  char* description = nullptr;
  exports_.initPlugIn(0, &name, &author, &description);
  // The texts are C-heap blocks on Linux: the host owns them now.
  name_ = name ? name : "";
  author_ = author ? author : "";
  description_ = description ? description : "";
  std::free(name);
  std::free(author);
  std::free(description);
  registrations_.clear();
  exports_.registerPlugIn(&OnAddAction, nullptr, nullptr, &OnSetVar);
  exports_.registerScriptProcessor(nullptr);
  exports_.registerInterfaceAccess(&OnInterfaceAccess);
}

void ZQ_STDCALL PluginHost::OnAddAction(Int32 number, char* name, char* description,
                                        uint8_t* typeCodes, Int32 highIndex, Int32 parameterCount) {
  if (current_ == nullptr) return;
  current_->registrations_.push_back(
      RecordRegistration(number, name, description, typeCodes, highIndex, parameterCount));
}

void ZQ_STDCALL PluginHost::OnSetVar(char* name, char* value) {
  if (current_ == nullptr || name == nullptr) return;
  current_->variables_[name] = value ? value : "";
}

Bool32 ZQ_STDCALL PluginHost::OnInterfaceAccess(Int32 requestCode, char** text) {
  if (current_ == nullptr || text == nullptr) return kFalse;
  if (requestCode != 7) return kFalse;
  std::string name = *text ? *text : "";
  auto it = current_->objectWindows_.find(name);
  std::string answer = std::to_string(it == current_->objectWindows_.end() ? 0 : it->second);
  // The host replaces the plug-in's text with one of its own, from the same allocator.
  char* block = static_cast<char*>(std::malloc(answer.size() + 1));
  if (block == nullptr) return kFalse;
  std::memcpy(block, answer.c_str(), answer.size() + 1);
  std::free(*text);
  *text = block;
  return kTrue;
}

const RecordedRegistration* PluginHost::FindAction(const std::string& name) const {
  for (const RecordedRegistration& r : registrations_)
    if (r.number != 0 && r.name == name) return &r;
  return nullptr;
}

}  // namespace zq::host
