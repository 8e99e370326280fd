#include "zqchart/plugin_host.h"

#include <dlfcn.h>

#include <cstdlib>
#include <stdexcept>

namespace zq::host {

PluginHost* PluginHost::current_ = nullptr;

PluginHost::PluginHost(const std::string& libraryPath) {
  library_ = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library_ == nullptr) {
    const char* error = dlerror();
    throw std::runtime_error("cannot load " + libraryPath + ": " + (error ? error : "?"));
  }
  exports_ = ResolveExports([this](const char* symbol) { return dlsym(library_, symbol); });
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
                                        uint8_t* typeCodes, Int32 highIndex,
                                        Int32 parameterCount) {
  if (current_ == nullptr) return;
  current_->registrations_.push_back(
      RecordRegistration(number, name, description, typeCodes, highIndex, parameterCount));
}

void ZQ_STDCALL PluginHost::OnSetVar(char* name, char* value) {
  if (current_ == nullptr || name == nullptr) return;
  current_->variables_[name] = value ? value : "";
}

Bool32 ZQ_STDCALL PluginHost::OnInterfaceAccess(Int32 /*requestCode*/, char** /*text*/) {
  return kFalse;
}

}  // namespace zq::host
