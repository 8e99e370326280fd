// Modal dialogs of the platform: the property dialogs of the actions and the common colour
// and font pickers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/surface.h"

namespace zq::platform {

struct FontChoice {
  LogFont font;
  Rgb color = 0;
  int32_t pointSize = 8;
};

// The buttons a row of a property dialog may have, numbered as the headless hosts press them.
enum class RowButton : int32_t { Picker = 1, Color = 2, Font = 3 };

// What stands in a row instead of an edit box.
enum class RowList : int32_t { None = 0, Editable = 1, PickOnly = 2 };

// One row of a property dialog as the platform shows it. Texts are UTF-8.
struct DialogRowView {
  int32_t number = 0;  // 1-based, the parameter's position
  std::string label;
  std::string kind;  // the row kind's name, for hosts that show the dialog as data
  RowList list = RowList::None;
  std::vector<std::string> words;
  int32_t selected = -1;  // the word chosen when the dialog opens, -1 for none
  std::string text;       // what the edit box or an editable list opens with
  bool picker = false;
  int32_t requestCode = 0;  // what the picker asks the host: 8 a rectangle, 14 a variable
  bool color = false;
  bool font = false;
  std::string pickerTip, colorTip, fontTip;
  // For the authors' reference: the argument's format, an example and an English gloss.
  std::string format, formatHelp, example, gloss;
  // Places in client pixels: the row's background, its label, the edit box or list, and its
  // picker and colour/font buttons.
  Rect panel, labelBox, field, pickerBox, secondBox;
};

struct DialogView {
  int32_t action = 0;
  std::string formName;
  std::string caption;
  std::string actionName;
  std::string description;  // lines separated by '\n'
  std::string footer;
  Size client;
  Rect nameBox, descriptionBox, footerLine, footerPicture, footerBox, okBox, cancelBox;
  std::vector<DialogRowView> rows;
};

// A row's content when the author pressed "OK": the text its control shows, and whether the
// author changed it since the plug-in last filled it.
struct RowOutcome {
  std::string text;
  bool touched = false;
};

// What the dialog's buttons and its "OK" ask of the routine behind it.
class DialogSession {
 public:
  virtual ~DialogSession() = default;
  // A row's button was pressed while the row showed `text`; answers the row's new text, or
  // nothing when the row keeps its text.
  virtual std::optional<std::string> Press(size_t row, RowButton button,
                                           const std::string& text) = 0;
  // Whether "OK" may close the dialog with these rows; otherwise the message to show.
  virtual std::optional<std::string> RefuseOk(const std::vector<RowOutcome>& rows) = 0;
};

enum class DialogResult { Unavailable, Ok, Cancel };

class DialogUi {
 public:
  virtual ~DialogUi() = default;
  virtual std::optional<Rgb> PickColor(Rgb initial) = 0;
  virtual std::optional<FontChoice> PickFont(const FontChoice& initial) = 0;
  // Shows a property dialog modally. On Ok, `rows` holds every row's outcome. Unavailable when
  // nothing can show a dialog here.
  virtual DialogResult RunPropertyDialog(const DialogView& view, DialogSession& session,
                                         std::vector<RowOutcome>& rows) = 0;
};

// The platform's dialogs; on a headless platform they are those of the host's dialog handler.
DialogUi& GetDialogUi();

}  // namespace zq::platform
