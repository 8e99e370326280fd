// The seven entry points of the plug-in. Nothing may escape them: each catches everything and
// answers with its result.
#include "platform/abi.h"
#include "plugin/dispatch.h"
#include "plugin/host.h"

namespace {
// Loading the library runs this, as the only thing besides the other static initialisation.
[[maybe_unused]] const bool kLoadSettingsRead = [] {
  try {
    zq::plugin::ReadLoadSettings();
  } catch (...) {
  }
  return true;
}();
}  // namespace

using zq::Bool32;
using zq::Int32;
namespace plugin = zq::plugin;

ZQ_EXPORT void ZQ_STDCALL nbInitPlugIn(Int32 hostValue, char** name, char** author,
                                       char** description) {
  try {
    plugin::InitPlugIn(hostValue, name, author, description);
  } catch (...) {
  }
}

ZQ_EXPORT void ZQ_STDCALL nbRegisterPlugIn(plugin::AddActionProc addAction, void* second,
                                           void* third, plugin::SetVarProc setVar) {
  try {
    plugin::RegisterPlugIn(addAction, second, third, setVar);
  } catch (...) {
  }
}

ZQ_EXPORT void ZQ_STDCALL nbRegisterScriptProcessor(void* proc) {
  try {
    plugin::RegisterScriptProcessor(proc);
  } catch (...) {
  }
}

ZQ_EXPORT void ZQ_STDCALL nbRegisterInterfaceAccess(plugin::InterfaceAccessProc proc) {
  try {
    plugin::RegisterInterfaceAccess(proc);
  } catch (...) {
  }
}

ZQ_EXPORT Bool32 ZQ_STDCALL nbExecAction(Int32 number, char** parameters) {
  try {
    return plugin::ExecAction(number, parameters);
  } catch (...) {
    return zq::kFalse;
  }
}

ZQ_EXPORT Bool32 ZQ_STDCALL nbEditAction(Int32 number, char** parameters) {
  try {
    return plugin::EditAction(number, parameters);
  } catch (...) {
    return zq::kFalse;
  }
}

ZQ_EXPORT void ZQ_STDCALL nbMessage(Int32 message) {
  try {
    plugin::Message(message);
  } catch (...) {
  }
}
