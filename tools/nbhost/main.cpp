// nbhost: a Windows host for the zqLineChart DLL, for tests under Wine. It loads the DLL with
// LoadLibrary and calls its exports as the host authoring application does.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "common/plugin_api.h"

namespace {

using namespace zq::host;

std::vector<RecordedRegistration> g_registrations;

void ZQ_STDCALL OnAddAction(zq::Int32 number, char* name, char* description, uint8_t* codes,
                            zq::Int32 highIndex, zq::Int32 parameterCount) {
  g_registrations.push_back(
      RecordRegistration(number, name, description, codes, highIndex, parameterCount));
}

void ZQ_STDCALL OnSetVar(char* name, char* value) {
  std::printf("var\t%s\t%s\n", name ? HexOf(name).c_str() : "", value ? HexOf(value).c_str() : "");
}

zq::Bool32 ZQ_STDCALL OnInterfaceAccess(zq::Int32, char**) {
  return 0;
}

std::wstring DefaultPluginPath() {
  wchar_t exe[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path(exe, n);
  size_t slash = path.find_last_of(L"\\/");
  return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) +
         L"zqLineChart.dll";
}

// Texts from nbInitPlugIn are GlobalAlloc blocks that the host frees.
std::string TakeText(char*& text) {
  std::string s = text ? text : "";
  if (text) GlobalFree(text);
  text = nullptr;
  return s;
}

int Register(const PluginExports& e) {
  // Variables that already hold host texts: the plug-in must free them.
  char* name = static_cast<char*>(GlobalAlloc(GMEM_FIXED, 8));
  char* author = static_cast<char*>(GlobalAlloc(GMEM_FIXED, 8));
  char* description = nullptr;
  std::strcpy(name, "old");
  std::strcpy(author, "old");
  e.initPlugIn(0, &name, &author, &description);
  std::printf("name\t%s\n", HexOf(TakeText(name)).c_str());
  std::printf("author\t%s\n", HexOf(TakeText(author)).c_str());
  std::printf("description\t%s\n", HexOf(TakeText(description)).c_str());
  e.registerPlugIn(&OnAddAction, nullptr, nullptr, &OnSetVar);
  e.registerScriptProcessor(nullptr);
  e.registerInterfaceAccess(&OnInterfaceAccess);
  for (const RecordedRegistration& r : g_registrations)
    std::printf("reg\t%s\n", DumpRegistration(r).c_str());
  std::printf("registrations\t%zu\n", g_registrations.size());
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring plugin = DefaultPluginPath();
  std::wstring command;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    if (arg == L"--plugin" && i + 1 < argc)
      plugin = argv[++i];
    else if (command.empty())
      command = arg;
  }
  if (command != L"register") {
    std::fprintf(stderr, "usage: nbhost [--plugin PATH] register\n");
    return 2;
  }
  HMODULE module = LoadLibraryW(plugin.c_str());
  if (module == nullptr) {
    std::fprintf(stderr, "nbhost: cannot load the plug-in (error %lu)\n", GetLastError());
    return 1;
  }
  PluginExports e = ResolveExports([module](const char* symbol) {
    return reinterpret_cast<void*>(GetProcAddress(module, symbol));
  });
  if (!e.Complete()) {
    std::fprintf(stderr, "nbhost: the plug-in lacks entry points\n");
    return 1;
  }
  int rc = Register(e);
  std::fflush(stdout);
  return rc;
}
