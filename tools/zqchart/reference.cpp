// zqchart actions --reference: every action's parameters as its property dialog shows them,
// in Markdown. The rows come from the plug-in's dialogs themselves, so the reference says what
// the plug-in does.
#include <map>

#include "platform/codepage.h"
#include "zqchart/dialog_record.h"
#include "zqchart/edit.h"

namespace zq::zqchart {

namespace {

Int32 Record(void* context, const ZqDialog* dialog) {
  *static_cast<DialogRecord*>(context) = RecordDialog(*dialog);
  return 0;  // "Отмена": nothing changes
}

// Opens the action's dialog with null parameters and notes what it shows.
std::optional<DialogRecord> Look(host::PluginHost& host, Int32 number, size_t parameters) {
  DialogRecord record;
  const ZqDialogHandler handler{&Record, nullptr, nullptr, nullptr};
  std::vector<char*> variables(std::max<size_t>(parameters, 1), nullptr);
  host.Headless().setDialogHandler(&handler, &record);
  host.Exports().editAction(number, variables.data());
  host.Headless().setDialogHandler(nullptr, nullptr);
  if (record.caption.empty()) return std::nullopt;
  return record;
}

// A table cell: characters that Markdown would read as table or emphasis marks are escaped.
std::string Cell(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '|' || c == '*' || c == '_' || c == '`') out += '\\';
    if (c == '<') {
      out += "&lt;";
      continue;
    }
    out += c;
  }
  return out;
}

std::string Code(const std::string& text) {
  if (text.empty()) return "(empty)";
  std::string out = "`";
  for (char c : text) out += c == '|' ? std::string("\\|") : std::string(1, c);
  return out + "`";
}

std::string ScriptLine(const std::string& name, const DialogRecord& d) {
  std::string line = name;
  for (const RowRecord& row : d.rows) {
    line += " \"";
    for (char c : row.example) line += c == '"' ? std::string("\"\"") : std::string(1, c);
    line += "\"";
  }
  return line;
}

std::string Section(const host::RecordedRegistration& r, const DialogRecord& d) {
  const std::string name = platform::Cp1251ToUtf8(r.name);
  std::string out = "### " + std::to_string(r.number) + ". " + name + "\n\n" +
                    platform::Cp1251ToUtf8(r.description) + "\n\n" + "Dialog \"" + d.caption +
                    "\" (form " + d.form + "):\n\n" +
                    "| # | label | English | row | format | accepted words | example |\n" +
                    "|---|---|---|---|---|---|---|\n";
  for (const RowRecord& row : d.rows) {
    std::string words;
    for (size_t i = 0; i < row.words.size(); ++i) words += (i ? " " : "") + Code(row.words[i]);
    std::string kind = row.kind + (row.list == 2 ? " (pick-only)" : "");
    out += "| " + std::to_string(row.number) + " | " + Cell(row.label) + " | " + Cell(row.gloss) +
           " | " + kind + " | " + row.format + " | " + words + " | " + Code(row.example) + " |\n";
  }
  return out + "\n```\n" + ScriptLine(name, d) + "\n```\n";
}

constexpr const char* kIntroduction =
    "# zqLineChart actions\n"
    "\n"
    "The script actions of zqLineChart with the parameters that their property dialogs fill.\n"
    "Made by `zqchart actions --reference` from the plug-in's own dialogs: do not edit it by\n"
    "hand. Every parameter is a text; a script line names the action and gives its parameters\n"
    "in order, each in double quotes. Row kinds: *rectangle* and *text* rows have a picker that\n"
    "asks the host for a rectangle (request code 8) or a variable (code 14); *colour* and *font*\n"
    "rows also have a button that opens the colour or font dialog and writes the text below;\n"
    "*choice* rows are lists of words, editable unless marked pick-only.\n";

}  // namespace

int PrintReference(host::PluginHost& host, const std::string& action, FILE* out, FILE* err) {
  if (!host.Headless().Complete()) {
    std::fprintf(err, "zqchart: the plug-in has no headless-host interface\n");
    return 1;
  }
  host.Register();
  std::optional<ActionChoice> only;
  if (!action.empty()) {
    only = ChooseAction(host, action);
    if (!only || only->registration == nullptr) {
      std::fprintf(err, "zqchart: unknown action '%s'\n", action.c_str());
      return 2;
    }
  }

  std::string body;
  std::vector<std::pair<std::string, const RowRecord*>> formats;
  std::vector<DialogRecord> dialogs;
  dialogs.reserve(host.Registrations().size());
  for (const host::RecordedRegistration& r : host.Registrations()) {
    if (only && r.number != only->number) continue;
    if (r.number == 0) {
      if (!only) body += "## " + platform::Cp1251ToUtf8(r.name) + "\n\n";
      continue;
    }
    std::optional<DialogRecord> d = Look(host, r.number, size_t(r.parameterCount));
    if (!d) {
      std::fprintf(err, "zqchart: action %d shows no dialog\n", int(r.number));
      return 1;
    }
    dialogs.push_back(std::move(*d));
    for (const RowRecord& row : dialogs.back().rows) {
      bool known = false;
      for (const auto& f : formats) known = known || f.first == row.format;
      if (!known) formats.emplace_back(row.format, &row);
    }
    body += Section(r, dialogs.back()) + "\n";
  }
  if (!only) {
    std::string head = std::string(kIntroduction) +
                       "\n## Text formats\n\n| format | what it takes | example |\n"
                       "|---|---|---|\n";
    for (const auto& [name, row] : formats)
      head +=
          "| " + name + " | " + Cell(row->formatHelp) + " | " +
          (row->format == "keyword" ? std::string("one of the row's words") : Code(row->example)) +
          " |\n";
    body = head + "\n" + body;
  }
  // One blank line at the end, not two.
  while (body.size() > 1 && body[body.size() - 1] == '\n' && body[body.size() - 2] == '\n')
    body.pop_back();
  std::fputs(body.c_str(), out);
  return 0;
}

}  // namespace zq::zqchart
