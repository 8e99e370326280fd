#include "common/plugin_host.h"

#include <stdexcept>

namespace zq::host {

PluginHost* PluginHost::current_ = nullptr;

PluginHost::PluginHost(const std::string& libraryPath) : library_(libraryPath) {
  auto lookup = [this](const char* symbol) { return library_.Lookup(symbol); };
  exports_ = ResolveExports(lookup);
  headless_ = ResolveHeadlessHost(lookup);
  if (!exports_.Complete())
    throw std::runtime_error(libraryPath + " lacks the plug-in's entry points");
  current_ = this;
}

PluginHost::~PluginHost() {
  if (current_ == this) current_ = nullptr;
  // The library stays loaded: unloading destroys nothing and charts may still be drawn.
}

void PluginHost::Register(bool interfaceAccess) {
  char* name = nullptr;
  char* author = nullptr;
  char* description = nullptr;
  exports_.initPlugIn(0, &name, &author, &description);
  // The texts are host blocks: the host owns them now.
  name_ = name ? name : "";
  author_ = author ? author : "";
  description_ = description ? description : "";
  PluginLibrary::FreeText(name);
  PluginLibrary::FreeText(author);
  PluginLibrary::FreeText(description);
  registrations_.clear();
  exports_.registerPlugIn(&OnAddAction, nullptr, nullptr, &OnSetVar);
  exports_.registerScriptProcessor(nullptr);
  exports_.registerInterfaceAccess(interfaceAccess ? &OnInterfaceAccess : nullptr);
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
  std::string given = *text ? *text : "";
  std::string answer;
  if (requestCode == 7) {
    auto it = current_->objectWindows_.find(given);
    answer = std::to_string(it == current_->objectWindows_.end() ? 0 : it->second);
  } else {
    if (!current_->pickerAnswer_) return kFalse;
    std::optional<std::string> picked = current_->pickerAnswer_(requestCode, given);
    if (!picked) return kFalse;
    answer = *picked;
  }
  // The host replaces the plug-in's text with one of its own, from the same allocator.
  char* block = PluginLibrary::AllocateText(answer);
  if (block == nullptr) return kFalse;
  PluginLibrary::FreeText(*text);
  *text = block;
  return kTrue;
}

const RecordedRegistration* PluginHost::FindAction(const std::string& name) const {
  for (const RecordedRegistration& r : registrations_)
    if (r.number != 0 && r.name == name) return &r;
  return nullptr;
}

}  // namespace zq::host
