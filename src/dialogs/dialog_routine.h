// The one dialog routine of every action: fills the rows from the parameter texts, shows the
// dialog, answers its buttons and, on "OK", hands back the texts to write.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/dialog_table.h"
#include "platform/dialog_ui.h"

namespace zq::dialogs {

// The host as the dialogs reach it. Texts are in the host's code page.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // Calls InterfaceAccessProc with the request code and a copy of `hostText`; answers the
  // variable's new text when the host answered true, nothing when it answered false or has
  // registered no InterfaceAccessProc.
  virtual std::optional<std::string> Ask(int32_t requestCode, const std::string& hostText) = 0;
};

// Runs the dialog of `action` over its parameter texts (host code page, one per parameter;
// missing ones count as empty). Answers the texts to write back after "OK"; nothing after
// "Отмена", for a number without a dialog, or where no dialog can be shown.
std::optional<std::vector<std::string>> RunActionDialog(int32_t action,
                                                        const std::vector<std::string>& hostTexts,
                                                        DialogHost& host, platform::DialogUi& ui);

// The dialog as the platform shows it, filled from UTF-8 texts.
platform::DialogView BuildView(const ActionDialog& dialog, const std::vector<std::string>& texts);

// The word of a choice row that a parameter text selects, read as the action's handler reads
// it (booleans in either spelling, keywords exactly); -1 for none.
int32_t MatchWord(const RowInfo& row, std::string_view text);

// The texts that the colour and font buttons write.
std::string ColorText(platform::Rgb color);
std::string FontText(const platform::FontChoice& choice);

}  // namespace zq::dialogs
