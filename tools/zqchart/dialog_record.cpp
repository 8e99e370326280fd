#include "zqchart/dialog_record.h"

namespace zq::zqchart {

DialogRecord RecordDialog(const ZqDialog& dialog) {
  DialogRecord d;
  d.action = dialog.action;
  d.form = dialog.form;
  d.caption = dialog.caption;
  d.actionName = dialog.actionName;
  d.description = dialog.description;
  for (Int32 i = 0; i < dialog.rowCount; ++i) {
    const ZqDialogRow& r = dialog.rows[i];
    RowRecord row;
    row.number = r.number;
    row.label = r.label;
    row.kind = r.kind;
    row.format = r.format;
    row.formatHelp = r.formatHelp;
    row.example = r.example;
    row.gloss = r.gloss;
    row.list = r.list;
    row.buttons = r.buttons;
    for (Int32 w = 0; w < r.wordCount; ++w) row.words.emplace_back(r.words[w]);
    const char* text = dialog.text(dialog.session, r.number);
    row.text = text ? text : "";
    d.rows.push_back(std::move(row));
  }
  return d;
}

std::string KindWithWords(const RowRecord& row) {
  std::string kind = row.kind;
  if (row.list == 2) kind += ", pick-only";
  for (size_t i = 0; i < row.words.size(); ++i) kind += (i ? ", " : ": ") + row.words[i];
  return kind;
}

std::string DescribeDialog(const ZqDialog& dialog) {
  const DialogRecord d = RecordDialog(dialog);
  std::string out = d.caption + "\nform " + d.form + "\n";
  for (const RowRecord& row : d.rows)
    out += std::to_string(row.number) + ". " + row.label + " [" + KindWithWords(row) + "] \"" +
           row.text + "\"\n";
  return out + d.description + "\n";
}

}  // namespace zq::zqchart
