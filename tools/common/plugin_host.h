// The host's side of the plug-in boundary: loads the plug-in and answers its callbacks as the
// host application does.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/plugin_api.h"
#include "common/plugin_library.h"

namespace zq::host {

class PluginHost {
 public:
  // Loads the library; throws std::runtime_error with the loader's message on failure.
  explicit PluginHost(const std::string& libraryPath);
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // nbInitPlugIn, then nbRegisterPlugIn, nbRegisterScriptProcessor and, unless the host is to
  // have none, nbRegisterInterfaceAccess.
  void Register(bool interfaceAccess = true);

  const PluginExports& Exports() const { return exports_; }
  // The headless-host functions; incomplete when the library has none.
  const HeadlessHostApi& Headless() const { return headless_; }
  // The window handle that request code 7 answers for a rectangle name (host code page).
  void SetObjectWindow(const std::string& name, Int32 handle) { objectWindows_[name] = handle; }
  // Answers the other request codes (the dialogs' pickers): the new text (host code page), or
  // nothing for false. Without an answerer the host answers false.
  using PickerAnswer = std::function<std::optional<std::string>(Int32 code, const std::string&)>;
  void SetPickerAnswer(PickerAnswer answer) { pickerAnswer_ = std::move(answer); }
  // The action registered under this name, or nullptr.
  const RecordedRegistration* FindAction(const std::string& name) const;
  const std::vector<RecordedRegistration>& Registrations() const { return registrations_; }
  // Texts from nbInitPlugIn, as the plug-in handed them (host code page).
  const std::string& Name() const { return name_; }
  const std::string& Author() const { return author_; }
  const std::string& Description() const { return description_; }
  // Variables set through SetVarProc (host code page).
  const std::map<std::string, std::string>& Variables() const { return variables_; }

 private:
  static void ZQ_STDCALL OnAddAction(Int32 number, char* name, char* description,
                                     uint8_t* typeCodes, Int32 highIndex, Int32 parameterCount);
  static void ZQ_STDCALL OnSetVar(char* name, char* value);
  static Bool32 ZQ_STDCALL OnInterfaceAccess(Int32 requestCode, char** text);

  PluginLibrary library_;
  PluginExports exports_;
  HeadlessHostApi headless_;
  std::map<std::string, Int32> objectWindows_;
  PickerAnswer pickerAnswer_;
  std::vector<RecordedRegistration> registrations_;
  std::string name_, author_, description_;
  std::map<std::string, std::string> variables_;

  static PluginHost* current_;  // the callbacks carry no context: one host per process
};

}  // namespace zq::host
