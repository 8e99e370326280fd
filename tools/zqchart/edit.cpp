#include "zqchart/edit.h"

#include <charconv>
#include <cstring>
#include <map>

#include "platform/codepage.h"
#include "zqchart/dialog_record.h"

namespace zq::zqchart {

namespace {

using host::PluginHost;

bool ParseInt(std::string_view text, int32_t& value, int32_t low, int32_t high) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && p == end && value >= low && value <= high;
}

std::vector<std::string> SplitAt(std::string_view text, char delimiter) {
  std::vector<std::string> items;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == delimiter) {
      items.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return items;
}

bool ParseColor(std::string_view text, uint32_t& color) {
  std::vector<std::string> parts = SplitAt(text, ',');
  if (parts.size() != 3) return false;
  int32_t c[3];
  for (int i = 0; i < 3; ++i)
    if (!ParseInt(parts[size_t(i)], c[i], 0, 255)) return false;
  color = uint32_t(c[0]) | uint32_t(c[1]) << 8 | uint32_t(c[2]) << 16;
  return true;
}

// FACE,SIZE[,bold][,italic][,underline][,strikeout][,charset=N][,color=R,G,B]
std::optional<std::string> ParseFont(std::string_view text, FontOption& font) {
  std::string_view rest = text;
  std::string_view colorText;
  if (size_t at = rest.find(",color="); at != std::string_view::npos) {
    colorText = rest.substr(at + 7);
    rest = rest.substr(0, at);
    if (!ParseColor(colorText, font.color)) return "color= takes R,G,B from 0 to 255";
  }
  std::vector<std::string> items = SplitAt(rest, ',');
  if (items.size() < 2 || items[0].empty()) return "--font takes FACE,SIZE[,...]";
  font.face = items[0];
  if (!ParseInt(items[1], font.size, 1, 4096)) return "bad font size '" + items[1] + "'";
  for (size_t i = 2; i < items.size(); ++i) {
    const std::string& item = items[i];
    if (item == "bold") {
      font.bold = true;
    } else if (item == "italic") {
      font.italic = true;
    } else if (item == "underline") {
      font.underline = true;
    } else if (item == "strikeout") {
      font.strikeOut = true;
    } else if (item.rfind("charset=", 0) == 0) {
      if (!ParseInt(std::string_view(item).substr(8), font.charset, 0, 255))
        return "charset= takes 0 to 255";
    } else {
      return "unknown font item '" + item + "'";
    }
  }
  return std::nullopt;
}

// "ROW=VALUE" with ROW from 1.
bool SplitRow(std::string_view text, int32_t& row, std::string& value, bool needsValue = true) {
  const size_t eq = text.find('=');
  if (!needsValue) return eq == std::string_view::npos && ParseInt(text, row, 1, 1000);
  if (eq == std::string_view::npos) return false;
  value = std::string(text.substr(eq + 1));
  return ParseInt(text.substr(0, eq), row, 1, 1000);
}

// What the handler works with while nbEditAction runs.
struct EditRun {
  const EditOptions* options = nullptr;
  FILE* out = nullptr;
  FILE* err = nullptr;
  bool shown = false;
  int runs = 0;
  bool refused = false;
  std::string error;
  // The answer the next picker or platform dialog gives.
  int32_t row = 0;
  std::optional<std::string> pickAnswer;
  const EditStep* pending = nullptr;
};

std::string Words(const ZqDialogRow& row) {
  std::string words;
  for (Int32 i = 0; i < row.wordCount; ++i) words += (i ? ", " : "") + std::string(row.words[i]);
  return words;
}

std::string RowError(const EditStep& step, const ZqDialog& dialog) {
  if (step.row > dialog.rowCount)
    return "row " + std::to_string(step.row) + ": the dialog of " + dialog.actionName +
           " has rows 1 to " + std::to_string(dialog.rowCount);
  const ZqDialogRow& row = dialog.rows[step.row - 1];
  const std::string name = "row " + std::to_string(step.row) + " (" + row.kind + ")";
  switch (step.kind) {
    case EditStep::Kind::Set:
      if (row.list == 2) return name + " takes only its words (" + Words(row) + "): use --choose";
      break;
    case EditStep::Kind::Choose: {
      if (row.list == 0) return name + " has no list";
      for (Int32 i = 0; i < row.wordCount; ++i)
        if (step.text == row.words[i]) return {};
      return name + ": '" + step.text + "' is not a word of its list (" + Words(row) + ")";
    }
    case EditStep::Kind::Pick:
    case EditStep::Kind::Refuse:
      if (!(row.buttons & 1)) return name + " has no picker";
      break;
    case EditStep::Kind::Color:
      if (!(row.buttons & 2)) return name + " has no colour button";
      break;
    case EditStep::Kind::Font:
      if (!(row.buttons & 4)) return name + " has no font button";
      break;
  }
  return {};
}

Int32 OnRun(void* context, const ZqDialog* dialog) {
  EditRun& run = *static_cast<EditRun*>(context);
  run.shown = true;
  // Called again after a refused "OK": the author gives up.
  if (++run.runs > 1) return 0;
  for (const EditStep& step : run.options->steps) {
    run.error = RowError(step, *dialog);
    if (!run.error.empty()) return 0;
    run.row = step.row;
    run.pending = &step;
    switch (step.kind) {
      case EditStep::Kind::Set:
        dialog->setText(dialog->session, step.row, step.text.c_str());
        break;
      case EditStep::Kind::Choose:
        dialog->choose(dialog->session, step.row, step.text.c_str());
        break;
      case EditStep::Kind::Pick:
      case EditStep::Kind::Refuse:
        run.pickAnswer =
            step.kind == EditStep::Kind::Pick ? std::optional(step.text) : std::nullopt;
        dialog->press(dialog->session, step.row, kZqPicker);
        break;
      case EditStep::Kind::Color:
        dialog->press(dialog->session, step.row, kZqColorButton);
        break;
      case EditStep::Kind::Font:
        dialog->press(dialog->session, step.row, kZqFontButton);
        break;
    }
    run.pending = nullptr;
  }
  if (run.options->describe) {
    std::fputs(DescribeDialog(*dialog).c_str(), run.out);
    return 0;
  }
  return run.options->cancel ? 0 : 1;
}

Bool32 OnPickColor(void* context, Int32* color) {
  EditRun& run = *static_cast<EditRun*>(context);
  const EditStep* step = run.pending;
  if (step == nullptr || step->kind != EditStep::Kind::Color) {
    std::fprintf(run.err, "color: cancelled\n");
    return kFalse;
  }
  std::fprintf(run.err, "color %d -> %s\n", int(step->row), step->text.c_str());
  *color = Int32(step->color);
  return kTrue;
}

Bool32 OnPickFont(void* context, ZqFontAnswer* font) {
  EditRun& run = *static_cast<EditRun*>(context);
  const EditStep* step = run.pending;
  if (step == nullptr || step->kind != EditStep::Kind::Font) {
    std::fprintf(run.err, "font: cancelled\n");
    return kFalse;
  }
  std::fprintf(run.err, "font %d -> %s\n", int(step->row), step->text.c_str());
  const FontOption& f = step->font;
  std::strncpy(font->face, f.face.c_str(), sizeof font->face - 1);
  font->pointSize = f.size;
  font->bold = f.bold;
  font->italic = f.italic;
  font->underline = f.underline;
  font->strikeOut = f.strikeOut;
  font->charset = f.charset;
  font->color = Int32(f.color);
  return kTrue;
}

void OnMessage(void* context, const char* text) {
  EditRun& run = *static_cast<EditRun*>(context);
  run.refused = true;
  std::fprintf(run.err, "message: %s\n", text);
}

}  // namespace

std::optional<ActionChoice> ChooseAction(const PluginHost& host, const std::string& action) {
  ActionChoice choice;
  const bool numeric =
      !action.empty() && action.find_first_not_of("-0123456789") == std::string::npos;
  if (numeric) {
    if (!ParseInt(action, choice.number, INT32_MIN, INT32_MAX)) return std::nullopt;
    for (const host::RecordedRegistration& r : host.Registrations())
      if (r.number != 0 && r.number == choice.number) choice.registration = &r;
    return choice;
  }
  choice.registration = host.FindAction(action);
  if (choice.registration == nullptr) return std::nullopt;
  choice.number = choice.registration->number;
  return choice;
}

std::optional<std::string> ParseEditArguments(const std::vector<std::string>& args,
                                              EditOptions& options) {
  size_t i = 0;
  if (i >= args.size()) return "edit needs an action";
  options.action = args[i++];
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      options.parameters.push_back(a);
      continue;
    }
    if (a == "--describe") {
      options.describe = true;
    } else if (a == "--no-interface-access") {
      options.noInterfaceAccess = true;
    } else if (a == "--cancel") {
      options.cancel = true;
    } else if (a == "--set" || a == "--choose" || a == "--pick" || a == "--refuse" ||
               a == "--color" || a == "--font") {
      if (i + 1 >= args.size()) return a + " needs a value";
      const std::string& v = args[++i];
      EditStep step{};
      if (a == "--refuse") {
        step.kind = EditStep::Kind::Refuse;
        if (!SplitRow(v, step.row, step.text, false)) return "--refuse takes a row number";
      } else if (!SplitRow(v, step.row, step.text)) {
        return a + " takes ROW=VALUE with a row number from 1";
      } else if (a == "--set") {
        step.kind = EditStep::Kind::Set;
      } else if (a == "--choose") {
        step.kind = EditStep::Kind::Choose;
      } else if (a == "--pick") {
        step.kind = EditStep::Kind::Pick;
        if (!platform::Utf8ToCp1251Exact(step.text))
          return "--pick: the answer cannot be written in Windows-1251";
      } else if (a == "--color") {
        step.kind = EditStep::Kind::Color;
        if (!ParseColor(step.text, step.color)) return "--color takes ROW=R,G,B from 0 to 255";
      } else {
        step.kind = EditStep::Kind::Font;
        if (std::optional<std::string> problem = ParseFont(step.text, step.font))
          return "--font: " + *problem;
      }
      options.steps.push_back(std::move(step));
    } else {
      return "unknown option '" + a + "'";
    }
  }
  return std::nullopt;
}

int RunEdit(PluginHost& host, const EditOptions& options, FILE* out, FILE* err) {
  if (!host.Headless().Complete()) {
    std::fprintf(err, "zqchart: the plug-in has no headless-host interface\n");
    return 1;
  }
  host.Register(!options.noInterfaceAccess);
  std::optional<ActionChoice> action = ChooseAction(host, options.action);
  if (!action) {
    std::fprintf(err, "zqchart: unknown action '%s'\n", options.action.c_str());
    return 2;
  }
  size_t count = options.parameters.size();
  if (action->registration != nullptr) {
    const size_t expected = size_t(action->registration->parameterCount);
    if (count > expected) {
      std::fprintf(err, "zqchart: %s takes %zu parameter%s\n", options.action.c_str(), expected,
                   expected == 1 ? "" : "s");
      return 2;
    }
    count = expected;
  }
  // Parameters not given are null variables, as a host may pass them.
  std::vector<char*> variables(std::max<size_t>(count, 1), nullptr);
  for (size_t i = 0; i < options.parameters.size(); ++i) {
    std::optional<std::string> text = platform::Utf8ToCp1251Exact(options.parameters[i]);
    if (!text) {
      std::fprintf(err, "zqchart: parameter %zu cannot be written in Windows-1251\n", i + 1);
      for (char* v : variables) host::PluginLibrary::FreeText(v);
      return 2;
    }
    variables[i] = host::PluginLibrary::AllocateText(*text);
  }

  EditRun run;
  run.options = &options;
  run.out = out;
  run.err = err;
  host.SetPickerAnswer([&run](Int32 code, const std::string& given) {
    std::optional<std::string> answer = run.pending ? run.pickAnswer : std::nullopt;
    std::fprintf(run.err, "pick %d: code %d \"%s\" -> %s\n", int(run.row), int(code),
                 platform::Cp1251ToUtf8(given).c_str(),
                 answer ? ("\"" + *answer + "\"").c_str() : "false");
    if (answer) answer = platform::Utf8ToCp1251(*answer);
    return answer;
  });
  const ZqDialogHandler handler{&OnRun, &OnPickColor, &OnPickFont, &OnMessage};
  host.Headless().setDialogHandler(&handler, &run);
  const bool confirmed = host.Exports().editAction(action->number, variables.data()) != 0;
  host.Headless().setDialogHandler(nullptr, nullptr);
  host.SetPickerAnswer(nullptr);

  int status = 0;
  if (!run.error.empty()) {
    std::fprintf(err, "zqchart: %s\n", run.error.c_str());
    status = 2;
  } else if (!run.shown) {
    std::fprintf(out, "no dialog\n");
    status = 1;
  } else if (!options.describe) {
    std::fprintf(out, "%s\n", confirmed ? "ok" : "cancelled");
    for (size_t i = 0; i < count; ++i)
      std::fprintf(out, "%s\n", platform::Cp1251ToUtf8(variables[i] ? variables[i] : "").c_str());
    if (run.refused) status = 1;
  }
  for (char* v : variables) host::PluginLibrary::FreeText(v);
  return status;
}

}  // namespace zq::zqchart
