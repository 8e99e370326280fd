#include "dialogs/dialog_routine.h"

#include <cstdio>

#include "actions/arguments.h"
#include "platform/ansi.h"

namespace zq::dialogs {

namespace {

using platform::DialogResult;
using platform::RowButton;
using platform::RowList;
using platform::RowOutcome;

constexpr const char* kCaptionSuffix = " Свойства";
constexpr const char* kFooter = "zqLineChart\nПостроение графиков";
constexpr const char* kRectangleTip = "Выбор прямоугольника";
constexpr const char* kVariableTip = "Выбор переменной";
constexpr const char* kColorTip = "Выбор цвета";
constexpr const char* kFontTip = "Выбор шрифта";

// The first character of a UTF-8 text that the host's code page cannot hold.
std::string FirstUnwritable(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
    std::string_view one = text.substr(i, n);
    if (!platform::Utf8ToAnsiExact(one)) return std::string(one);
    i += n;
  }
  return {};
}

// The routine behind one open dialog: what each row holds in the host's code page, and the
// answers to its buttons.
class Routine final : public platform::DialogSession {
 public:
  Routine(const ActionDialog& dialog, const std::vector<std::string>& hostTexts, DialogHost& host,
          platform::DialogUi& ui)
      : dialog_(dialog), host_(host), ui_(ui) {
    for (size_t i = 0; i < dialog.rows.size(); ++i) {
      Row row;
      row.hostBytes = i < hostTexts.size() ? hostTexts[i] : std::string();
      row.shown = platform::AnsiToUtf8(*row.hostBytes);
      texts_.push_back(row.shown);
      rows_.push_back(std::move(row));
    }
    view_ = BuildView(dialog, texts_);
  }

  const platform::DialogView& View() const { return view_; }

  std::optional<std::string> Press(size_t index, RowButton button,
                                   const std::string& text) override {
    if (index >= rows_.size()) return std::nullopt;
    const RowInfo& info = dialog_.rows[index];
    const KindInfo& kind = Kind(info.kind);
    Row& row = rows_[index];
    switch (button) {
      case RowButton::Picker: {
        if (!kind.picker) return std::nullopt;
        // The host gets the row as it stands: its own bytes while the row shows them.
        const std::string hostText =
            (text == row.shown && row.hostBytes) ? *row.hostBytes : platform::Utf8ToAnsi(text);
        std::optional<std::string> answer = host_.Ask(RequestCode(info.kind), hostText);
        if (!answer) return std::nullopt;
        return Fill(row, *answer, platform::AnsiToUtf8(*answer));
      }
      case RowButton::Color: {
        if (!kind.color) return std::nullopt;
        std::optional<platform::Rgb> color = ui_.PickColor(0);
        if (!color) return std::nullopt;
        const std::string written = ColorText(*color);
        return Fill(row, written, written);
      }
      case RowButton::Font: {
        if (!kind.font) return std::nullopt;
        std::optional<platform::FontChoice> font = ui_.PickFont(platform::FontChoice{});
        if (!font) return std::nullopt;
        const std::string written = FontText(*font);
        return Fill(row, platform::Utf8ToAnsiExact(written), written);
      }
    }
    return std::nullopt;
  }

  std::optional<std::string> RefuseOk(const std::vector<RowOutcome>& outcomes) override {
    results_.clear();
    for (size_t i = 0; i < rows_.size(); ++i) {
      const RowOutcome outcome = i < outcomes.size() ? outcomes[i] : RowOutcome{};
      std::optional<std::string> bytes = Result(i, outcome);
      if (!bytes) {
        results_.clear();
        return "Поле «" + std::string(dialog_.rows[i].label) + "» содержит знак «" +
               FirstUnwritable(outcome.text) +
               "», которого нет в кодовой странице программы. Замените или удалите его.";
      }
      results_.push_back(std::move(*bytes));
    }
    return std::nullopt;
  }

  const std::vector<std::string>& Results() const { return results_; }

 private:
  struct Row {
    std::optional<std::string> hostBytes;  // the row's text in the host's code page, if known
    std::string shown;                     // the same as the dialog shows it
  };

  static std::string Fill(Row& row, std::optional<std::string> hostBytes, std::string shown) {
    row.hostBytes = std::move(hostBytes);
    row.shown = std::move(shown);
    return row.shown;
  }

  // What a row gives back: an untouched row its bytes as they came, a typed one its text in
  // the host's code page (nothing when the code page cannot hold it).
  std::optional<std::string> Result(size_t index, const RowOutcome& outcome) const {
    const Row& row = rows_[index];
    const platform::DialogRowView& view = view_.rows[index];
    if (!outcome.touched) {
      // A pick-only list that opened with no word chosen gives the empty text it shows.
      if (view.list == RowList::PickOnly && view.selected < 0) return std::string();
      if (row.hostBytes) return row.hostBytes;
      return platform::Utf8ToAnsiExact(row.shown);
    }
    return platform::Utf8ToAnsiExact(outcome.text);
  }

  const ActionDialog& dialog_;
  DialogHost& host_;
  platform::DialogUi& ui_;
  std::vector<Row> rows_;
  std::vector<std::string> texts_;
  platform::DialogView view_;
  std::vector<std::string> results_;
};

}  // namespace

int32_t MatchWord(const RowInfo& row, std::string_view text) {
  std::string_view word = text;
  if (row.format == Format::Boolean) {
    std::optional<bool> value = actions::ParseBooleanText(text);
    if (!value) return -1;
    word = *value ? "True" : "False";
  }
  for (size_t i = 0; i < row.words.size(); ++i)
    if (row.words[i] == word) return int32_t(i);
  return -1;
}

platform::DialogView BuildView(const ActionDialog& dialog, const std::vector<std::string>& texts) {
  const FormInfo& form = Form(dialog.form);
  const FormPlaces places = PlaceForm(dialog.form);
  platform::DialogView view;
  view.action = dialog.action;
  view.formName = form.className;
  view.caption = std::string(dialog.name) + kCaptionSuffix;
  view.actionName = dialog.name;
  view.description = dialog.description;
  view.footer = kFooter;
  view.client = form.client;
  view.nameBox = places.name;
  view.descriptionBox = places.description;
  view.footerLine = places.footerLine;
  view.footerPicture = places.footerPicture;
  view.footerBox = places.footer;
  view.okBox = places.ok;
  view.cancelBox = places.cancel;
  for (size_t i = 0; i < dialog.rows.size(); ++i) {
    const RowInfo& info = dialog.rows[i];
    const KindInfo& kind = Kind(info.kind);
    const FormatInfo& format = FormatOf(info.format);
    const RowPlaces rp = PlaceRow(dialog.form, i);
    const std::string text = i < texts.size() ? texts[i] : std::string();
    platform::DialogRowView row;
    row.number = int32_t(i + 1);
    row.label = info.label;
    row.kind = kind.name;
    row.picker = kind.picker;
    row.requestCode = kind.picker ? RequestCode(info.kind) : 0;
    row.color = kind.color;
    row.font = kind.font;
    row.pickerTip = info.kind == RowKind::Rectangle ? kRectangleTip : kVariableTip;
    row.colorTip = kColorTip;
    row.fontTip = kFontTip;
    row.format = format.name;
    row.formatHelp = format.help;
    row.example = info.example ? info.example
                  : info.format == Format::Keyword && !info.words.empty()
                      ? std::string(info.words[0])
                      : format.example;
    row.gloss = info.gloss;
    row.panel = rp.panel;
    row.labelBox = rp.label;
    row.field = rp.field;
    row.pickerBox = rp.picker;
    // Without a picker the colour button takes the picker's place.
    row.secondBox = kind.picker ? rp.second : rp.picker;
    if (kind.list) {
      row.list = IsPickOnly(dialog.form, i) ? RowList::PickOnly : RowList::Editable;
      for (std::string_view w : info.words) row.words.emplace_back(w);
      row.selected = MatchWord(info, text);
      // An editable list shows whatever its parameter holds; a pick-only one only its words.
      row.text = row.list == RowList::Editable ? text
                 : row.selected >= 0           ? row.words[size_t(row.selected)]
                                               : std::string();
    } else {
      row.text = text;
    }
    view.rows.push_back(std::move(row));
  }
  return view;
}

std::string ColorText(platform::Rgb color) {
  return std::to_string(platform::RedOf(color)) + "," + std::to_string(platform::GreenOf(color)) +
         "," + std::to_string(platform::BlueOf(color));
}

std::string FontText(const platform::FontChoice& choice) {
  std::string color;
  if (std::optional<std::string_view> name = actions::ColorIdentifier(choice.color)) {
    color = *name;
  } else {
    char hex[16];
    std::snprintf(hex, sizeof hex, "$%08X", unsigned(choice.color));
    color = hex;
  }
  std::string styles;
  if (choice.font.weight >= 700) styles += "fsBold ";
  if (choice.font.italic) styles += "fsItalic ";
  if (choice.font.underline) styles += "fsUnderline ";
  if (choice.font.strikeOut) styles += "fsStrikeOut ";
  return choice.font.face + "|" + color + "|" + std::to_string(choice.pointSize) + "|" + styles +
         "|" + std::to_string(unsigned(choice.font.charset));
}

std::optional<std::vector<std::string>> RunActionDialog(int32_t action,
                                                        const std::vector<std::string>& hostTexts,
                                                        DialogHost& host, platform::DialogUi& ui) {
  const ActionDialog* dialog = FindActionDialog(action);
  if (dialog == nullptr) return std::nullopt;
  Routine routine(*dialog, hostTexts, host, ui);
  std::vector<RowOutcome> outcomes;
  if (ui.RunPropertyDialog(routine.View(), routine, outcomes) != DialogResult::Ok)
    return std::nullopt;
  // The platform asked RefuseOk before closing; asking again covers one that did not.
  if (routine.RefuseOk(outcomes)) return std::nullopt;
  return routine.Results();
}

}  // namespace zq::dialogs
