// zqchart edit and zqchart actions --reference: the plug-in's property dialogs, filled from
// the command line as an author would fill them, and the authors' reference made from them.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/plugin_host.h"

namespace zq::zqchart {

struct FontOption {
  std::string face;
  int32_t size = 0;
  bool bold = false, italic = false, underline = false, strikeOut = false;
  int32_t charset = 1;
  uint32_t color = 0;  // 0x00BBGGRR
};

struct EditStep {
  enum class Kind { Set, Choose, Pick, Refuse, Color, Font } kind;
  int32_t row = 0;
  std::string text;  // --set, --choose, --pick; the option's own text for --color and --font
  uint32_t color = 0;
  FontOption font;
};

struct EditOptions {
  std::string action;
  std::vector<std::string> parameters;
  std::vector<EditStep> steps;
  bool describe = false;
  bool noInterfaceAccess = false;
  bool cancel = false;
};

// The action that a command line names: a registered name, or any number (registration then
// null when no action has it). Nothing for an unknown name.
struct ActionChoice {
  Int32 number = 0;
  const host::RecordedRegistration* registration = nullptr;
};
std::optional<ActionChoice> ChooseAction(const host::PluginHost& host, const std::string& action);

// Reads the arguments that follow "edit"; answers what is wrong with them.
std::optional<std::string> ParseEditArguments(const std::vector<std::string>& args,
                                              EditOptions& options);

// Opens the action's dialog through nbEditAction, plays the steps and presses "OK" or
// "Отмена". Exit status: 0 ok or cancelled, 1 no dialog or "OK" refused, 2 a bad request.
int RunEdit(host::PluginHost& host, const EditOptions& options, FILE* out, FILE* err);

// The authors' reference of every action, or of one (a name or a number), in Markdown.
int PrintReference(host::PluginHost& host, const std::string& action, FILE* out, FILE* err);

}  // namespace zq::zqchart
