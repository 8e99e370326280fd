// A property dialog as the plug-in shows it to zqchart, copied out of the handler's call.
#pragma once

#include <string>
#include <vector>

#include "platform/headless_dialog.h"

namespace zq::zqchart {

struct RowRecord {
  int32_t number = 0;
  std::string label, kind, format, formatHelp, example, gloss, text;
  int32_t list = 0;
  int32_t buttons = 0;
  std::vector<std::string> words;
};

struct DialogRecord {
  int32_t action = 0;
  std::string form, caption, actionName, description;
  std::vector<RowRecord> rows;
};

DialogRecord RecordDialog(const ZqDialog& dialog);

// The kind of a row with its words: "choice, pick-only: Left, Center, Right".
std::string KindWithWords(const RowRecord& row);

// The dialog in a few lines: caption, form, one line per row (number, label, kind and words,
// current text) and the description.
std::string DescribeDialog(const ZqDialog& dialog);

}  // namespace zq::zqchart
