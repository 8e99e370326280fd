// The plug-in's exports and callbacks as a host sees them, and a canonical dump of the
// registrations the plug-in makes, shared by the hosts and the tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/abi.h"
#include "platform/headless_dialog.h"

namespace zq::host {

using AddActionProc = void(ZQ_STDCALL*)(Int32 number, char* name, char* description,
                                        uint8_t* typeCodes, Int32 highIndex, Int32 parameterCount);
using SetVarProc = void(ZQ_STDCALL*)(char* name, char* value);
using InterfaceAccessProc = Bool32(ZQ_STDCALL*)(Int32 requestCode, char** text);

using InitPlugInFn = void(ZQ_STDCALL*)(Int32, char**, char**, char**);
using RegisterPlugInFn = void(ZQ_STDCALL*)(AddActionProc, void*, void*, SetVarProc);
using RegisterScriptProcessorFn = void(ZQ_STDCALL*)(void*);
using RegisterInterfaceAccessFn = void(ZQ_STDCALL*)(InterfaceAccessProc);
using ExecActionFn = Bool32(ZQ_STDCALL*)(Int32, char**);
using EditActionFn = Bool32(ZQ_STDCALL*)(Int32, char**);
using MessageFn = void(ZQ_STDCALL*)(Int32);

struct PluginExports {
  InitPlugInFn initPlugIn = nullptr;
  RegisterPlugInFn registerPlugIn = nullptr;
  RegisterScriptProcessorFn registerScriptProcessor = nullptr;
  RegisterInterfaceAccessFn registerInterfaceAccess = nullptr;
  ExecActionFn execAction = nullptr;
  EditActionFn editAction = nullptr;
  MessageFn message = nullptr;

  bool Complete() const {
    return initPlugIn && registerPlugIn && registerScriptProcessor && registerInterfaceAccess &&
           execAction && editAction && message;
  }
};

// Fills the exports through a symbol lookup (dlsym or GetProcAddress).
template <typename Lookup>
PluginExports ResolveExports(Lookup&& lookup) {
  PluginExports e;
  e.initPlugIn = reinterpret_cast<InitPlugInFn>(lookup("nbInitPlugIn"));
  e.registerPlugIn = reinterpret_cast<RegisterPlugInFn>(lookup("nbRegisterPlugIn"));
  e.registerScriptProcessor =
      reinterpret_cast<RegisterScriptProcessorFn>(lookup("nbRegisterScriptProcessor"));
  e.registerInterfaceAccess =
      reinterpret_cast<RegisterInterfaceAccessFn>(lookup("nbRegisterInterfaceAccess"));
  e.execAction = reinterpret_cast<ExecActionFn>(lookup("nbExecAction"));
  e.editAction = reinterpret_cast<EditActionFn>(lookup("nbEditAction"));
  e.message = reinterpret_cast<MessageFn>(lookup("nbMessage"));
  return e;
}

// The headless-host interface of the Linux library: host windows, messages, a virtual clock
// and pictures of chart windows. Handles are 32-bit integers, 0 for none.
using HostCreateWindowFn = Int32 (*)(Int32 width, Int32 height);
using HostResizeWindowFn = Bool32 (*)(Int32 handle, Int32 width, Int32 height);
using HostSendMessageFn = Int32 (*)(Int32 handle, Int32 message, Int32 lParam);
using HostAdvanceClockFn = void (*)(Int32 milliseconds);
using HostSaveWindowFn = Bool32 (*)(Int32 handle, const char* path);
using HostMouseFn = Bool32 (*)(Int32 handle, Int32 kind, Int32 x, Int32 y, Int32 value);
using HostDescribeWindowFn = Bool32 (*)(Int32 handle, Int32* info);
using HostDestroyWindowFn = Bool32 (*)(Int32 handle);
using HostLastReasonFn = Int32 (*)(char* buffer, Int32 size);
using HostSetDialogHandlerFn = void (*)(const ZqDialogHandler* handler, void* context);

struct HeadlessHostApi {
  HostCreateWindowFn createWindow = nullptr;
  HostResizeWindowFn resizeWindow = nullptr;
  HostSendMessageFn sendMessage = nullptr;
  HostAdvanceClockFn advanceClock = nullptr;
  HostSaveWindowFn saveWindow = nullptr;
  HostMouseFn mouse = nullptr;
  HostDescribeWindowFn describeWindow = nullptr;
  HostDestroyWindowFn destroyWindow = nullptr;
  HostLastReasonFn lastReason = nullptr;
  HostSetDialogHandlerFn setDialogHandler = nullptr;

  bool Complete() const {
    return createWindow && resizeWindow && sendMessage && advanceClock && saveWindow && mouse &&
           describeWindow && destroyWindow && lastReason && setDialogHandler;
  }
};

template <typename Lookup>
HeadlessHostApi ResolveHeadlessHost(Lookup&& lookup) {
  HeadlessHostApi h;
  h.createWindow = reinterpret_cast<HostCreateWindowFn>(lookup("zqHostCreateWindow"));
  h.resizeWindow = reinterpret_cast<HostResizeWindowFn>(lookup("zqHostResizeWindow"));
  h.sendMessage = reinterpret_cast<HostSendMessageFn>(lookup("zqHostSendMessage"));
  h.advanceClock = reinterpret_cast<HostAdvanceClockFn>(lookup("zqHostAdvanceClock"));
  h.saveWindow = reinterpret_cast<HostSaveWindowFn>(lookup("zqHostSaveWindow"));
  h.mouse = reinterpret_cast<HostMouseFn>(lookup("zqHostMouse"));
  h.describeWindow = reinterpret_cast<HostDescribeWindowFn>(lookup("zqHostDescribeWindow"));
  h.destroyWindow = reinterpret_cast<HostDestroyWindowFn>(lookup("zqHostDestroyWindow"));
  h.lastReason = reinterpret_cast<HostLastReasonFn>(lookup("zqHostLastReason"));
  h.setDialogHandler = reinterpret_cast<HostSetDialogHandlerFn>(lookup("zqHostSetDialogHandler"));
  return h;
}

// One AddActionProc call, with the bytes exactly as the plug-in passed them.
struct RecordedRegistration {
  Int32 number = 0;
  std::string name;
  std::string description;
  std::vector<uint8_t> typeCodes;
  Int32 highIndex = 0;
  Int32 parameterCount = 0;
};

inline std::string HexOf(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// One line per registration: number, hex name, hex description, hex type codes, highest
// index, parameter count, separated by tabs.
inline std::string DumpRegistration(const RecordedRegistration& r) {
  std::string codes(r.typeCodes.begin(), r.typeCodes.end());
  return std::to_string(r.number) + "\t" + HexOf(r.name) + "\t" + HexOf(r.description) + "\t" +
         HexOf(codes) + "\t" + std::to_string(r.highIndex) + "\t" +
         std::to_string(r.parameterCount);
}

// Copies one AddActionProc call; the type-code array has highIndex + 1 elements.
inline RecordedRegistration RecordRegistration(Int32 number, const char* name,
                                               const char* description, const uint8_t* codes,
                                               Int32 highIndex, Int32 parameterCount) {
  RecordedRegistration r;
  r.number = number;
  r.name = name ? name : "";
  r.description = description ? description : "";
  if (codes != nullptr && highIndex >= 0 && highIndex < 1024)
    r.typeCodes.assign(codes, codes + highIndex + 1);
  r.highIndex = highIndex;
  r.parameterCount = parameterCount;
  return r;
}

}  // namespace zq::host
