// The host's callbacks as the plug-in keeps them, and the host's plug-in entry points.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/abi.h"

namespace zq::plugin {

using AddActionProc = void(ZQ_STDCALL*)(Int32 number, char* name, char* description,
                                        uint8_t* typeCodes, Int32 highIndex, Int32 parameterCount);
using SetVarProc = void(ZQ_STDCALL*)(char* name, char* value);
using InterfaceAccessProc = Bool32(ZQ_STDCALL*)(Int32 requestCode, char** text);
using OpaqueProc = void*;

// Request codes of InterfaceAccessProc.
constexpr Int32 kRequestObjectWindow = 7;
constexpr Int32 kRequestRectangleName = 8;
constexpr Int32 kRequestVariableName = 14;

// Process-wide state kept from the host's calls (all null until the host provides it).
struct HostState {
  Int32 hostValue = 0;
  AddActionProc addAction = nullptr;
  OpaqueProc registerSecond = nullptr;
  OpaqueProc registerThird = nullptr;
  SetVarProc setVar = nullptr;
  OpaqueProc scriptProcessor = nullptr;
  InterfaceAccessProc interfaceAccess = nullptr;
};

HostState& Host();

// Texts that the host reads and writes are in its ANSI code page (Windows-1251 here).
std::string FromHostText(const char* text);
std::string ToHostText(std::string_view utf8);

// Sets a host variable through SetVarProc (nothing when the host gave none).
void SetHostVariable(std::string_view name, std::string_view utf8Value);

// Asks the host through InterfaceAccessProc: hands over `utf8Text`, returns the text the
// variable then holds (converted to UTF-8) and whether the host answered true. Throws when the
// host has registered no callback.
struct InterfaceAnswer {
  bool replaced = false;
  std::string text;
};
InterfaceAnswer AskHost(Int32 requestCode, std::string_view utf8Text);
// The same with texts in the host's code page, passed through untouched.
InterfaceAnswer AskHostBytes(Int32 requestCode, std::string_view hostText);

// The plug-in's entry points, callable from C++ (the exports wrap them and catch everything).
void InitPlugIn(Int32 hostValue, char** name, char** author, char** description);
void RegisterPlugIn(AddActionProc addAction, OpaqueProc second, OpaqueProc third,
                    SetVarProc setVar);
void RegisterScriptProcessor(OpaqueProc proc);
void RegisterInterfaceAccess(InterfaceAccessProc proc);
void Message(Int32 message);

}  // namespace zq::plugin
