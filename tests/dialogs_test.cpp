// The property dialogs without a window: the table against the catalogue, the forms' layout,
// and the one routine behind all 44 dialogs driven through a scripted platform.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "actions/keywords.h"
#include "dialogs/dialog_routine.h"
#include "dialogs/dialog_table.h"
#include "platform/codepage.h"
#include "plugin/catalogue.h"

namespace {

using namespace zq::dialogs;
using zq::platform::DialogResult;
using zq::platform::DialogSession;
using zq::platform::DialogView;
using zq::platform::FontChoice;
using zq::platform::Rect;
using zq::platform::Rgb;
using zq::platform::RowButton;
using zq::platform::RowList;
using zq::platform::RowOutcome;

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom && inner.Width() > 0 && inner.Height() > 0;
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(DialogTable, OneDialogPerCatalogueActionWithItsParameters) {
  ASSERT_EQ(ActionDialogs().size(), 44u);
  std::set<FormKind> forms;
  std::set<RowKind> kinds;
  for (const zq::plugin::ActionInfo& action : zq::plugin::Actions()) {
    const ActionDialog* d = FindActionDialog(action.number);
    ASSERT_NE(d, nullptr) << action.number;
    EXPECT_STREQ(d->name, action.name);
    EXPECT_EQ(int32_t(d->rows.size()), action.parameterCount) << action.name;
    EXPECT_EQ(Form(d->form).rows, action.parameterCount) << action.name;
    EXPECT_EQ(d->rows[0].kind, RowKind::Rectangle) << action.name;
    forms.insert(d->form);
    for (size_t i = 0; i < d->rows.size(); ++i) {
      const RowInfo& row = d->rows[i];
      kinds.insert(row.kind);
      const bool choice = row.kind == RowKind::Choice;
      EXPECT_EQ(choice, row.words.size() >= 2) << action.name << " row " << i + 1;
    }
  }
  EXPECT_EQ(forms.size(), 6u);
  EXPECT_EQ(kinds.size(), 7u);
  EXPECT_EQ(FindActionDialog(0), nullptr);
  EXPECT_EQ(FindActionDialog(45), nullptr);
}

template <typename Table>
std::set<std::string_view> WordsOf(const Table& table) {
  std::set<std::string_view> words;
  for (const auto& k : table) words.insert(k.word);
  return words;
}

// A list offers exactly the words that its action's handler knows, in the list's own order.
TEST(DialogTable, KeywordListsOfferTheHandlersWords) {
  namespace kw = zq::actions::keywords;
  const std::set<std::string_view> tables[] = {
      WordsOf(kw::kPointerStyles),      WordsOf(kw::kPenStyles),
      WordsOf(kw::kBrushStyles),        WordsOf(kw::kAlignments),
      WordsOf(kw::kGradientDirections), WordsOf(kw::kBackImageModes),
      WordsOf(kw::kHorizAxes),          WordsOf(kw::kVertAxes),
      WordsOf(kw::kMarkStyles),         WordsOf(kw::kLegendAlignments),
      WordsOf(kw::kLegendTextStyles),   {"True", "False"}};
  for (const ActionDialog& d : ActionDialogs()) {
    for (const RowInfo& row : d.rows) {
      if (row.kind != RowKind::Choice) continue;
      const std::set<std::string_view> words(row.words.begin(), row.words.end());
      EXPECT_EQ(words.size(), row.words.size()) << d.name << " " << row.label;
      bool known = false;
      for (const auto& table : tables) known = known || table == words;
      EXPECT_TRUE(known) << d.name << " " << row.label;
    }
  }
}

TEST(DialogTable, EveryFormLaysItsRowsOutInsideTheWindow) {
  for (FormKind kind : {FormKind::Form1, FormKind::EditForm1, FormKind::Form3, FormKind::Form4,
                        FormKind::Form5, FormKind::Form6}) {
    const FormInfo& form = Form(kind);
    SCOPED_TRACE(form.className);
    const Rect client{0, 0, form.client.cx, form.client.cy};
    const FormPlaces f = PlaceForm(kind);
    std::vector<Rect> panels;
    for (size_t i = 0; i < size_t(form.rows); ++i) {
      const RowPlaces r = PlaceRow(kind, i);
      EXPECT_TRUE(Inside(r.panel, client)) << "row " << i + 1;
      for (const Rect& part : {r.label, r.field, r.picker, r.second})
        EXPECT_TRUE(Inside(part, r.panel)) << "row " << i + 1;
      EXPECT_FALSE(Overlap(r.field, r.picker));
      EXPECT_FALSE(Overlap(r.picker, r.second));
      EXPECT_FALSE(Overlap(r.label, r.field));
      if (!form.twoColumns) {
        EXPECT_EQ(r.panel.top, PlaceRow(kind, 0).panel.top + int32_t(i) * kRowPitch);
        if (form.client.cx >= 419) {
          EXPECT_EQ(r.field.Width(), 325);
        }
      }
      for (const Rect& other : panels) EXPECT_FALSE(Overlap(r.panel, other)) << "row " << i + 1;
      EXPECT_LE(r.panel.bottom, f.name.top);
      panels.push_back(r.panel);
    }
    for (const Rect& part :
         {f.name, f.description, f.footerLine, f.footerPicture, f.footer, f.ok, f.cancel})
      EXPECT_TRUE(Inside(part, client));
    EXPECT_LE(f.description.bottom, f.footerLine.top);
    EXPECT_FALSE(Overlap(f.ok, f.cancel));
    EXPECT_EQ(f.ok.Width(), 70);
    EXPECT_EQ(f.ok.Height(), 25);
  }
  // The six-row form: rows 1, 3, 5 on the left, 2, 4, 6 on the right.
  EXPECT_LT(PlaceRow(FormKind::Form6, 0).panel.right, PlaceRow(FormKind::Form6, 1).panel.left);
  EXPECT_EQ(PlaceRow(FormKind::Form6, 2).panel.left, PlaceRow(FormKind::Form6, 0).panel.left);
}

// A platform whose dialog does what the test says, and a host that notes every request.
class ScriptedUi : public zq::platform::DialogUi {
 public:
  using Play =
      std::function<DialogResult(const DialogView&, DialogSession&, std::vector<RowOutcome>&)>;
  Play play;
  std::optional<Rgb> color;
  std::optional<FontChoice> font;
  DialogView shown;

  std::optional<Rgb> PickColor(Rgb) override { return color; }
  std::optional<FontChoice> PickFont(const FontChoice&) override { return font; }
  DialogResult RunPropertyDialog(const DialogView& view, DialogSession& session,
                                 std::vector<RowOutcome>& rows) override {
    shown = view;
    return play ? play(view, session, rows) : DialogResult::Cancel;
  }
};

class RecordingHost : public DialogHost {
 public:
  std::optional<std::string> answer;
  std::vector<std::pair<int32_t, std::string>> asked;
  std::optional<std::string> Ask(int32_t code, const std::string& text) override {
    asked.emplace_back(code, text);
    return answer;
  }
};

// "OK" with every row as the dialog opened it.
std::vector<RowOutcome> Untouched(const DialogView& view) {
  std::vector<RowOutcome> rows;
  for (const auto& r : view.rows) rows.push_back({r.text, false});
  return rows;
}

DialogResult PressOk(const DialogView&, DialogSession& session, std::vector<RowOutcome>& rows) {
  return session.RefuseOk(rows) ? DialogResult::Cancel : DialogResult::Ok;
}

std::string Cp(const char* utf8) {
  return zq::platform::Utf8ToCp1251(utf8);
}

TEST(DialogRoutine, ListsOpenWithTheWordTheHandlerWouldRead) {
  struct Case {
    int32_t action;
    size_t row;
    const char* text;
    RowList list;
    int32_t selected;
    const char* shown;
  } cases[] = {
      {6, 3, "Center", RowList::PickOnly, 1, "Center"},
      {6, 3, "center", RowList::PickOnly, -1, ""},  // keywords match exactly
      {6, 3, "", RowList::PickOnly, -1, ""},
      {33, 1, "false", RowList::PickOnly, 1, "False"},  // booleans in either spelling
      {8, 2, "true", RowList::Editable, 0, "true"},     // an editable list shows the text
      {8, 2, "yes", RowList::Editable, -1, "yes"},
      {8, 3, "Star", RowList::Editable, 6, "Star"},
      {28, 3, "Tile", RowList::PickOnly, 1, "Tile"},
      {28, 1, "TRUE", RowList::Editable, -1, "TRUE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.action) + " " + c.text);
    const ActionDialog& d = *FindActionDialog(c.action);
    std::vector<std::string> texts(d.rows.size());
    texts[c.row] = c.text;
    const DialogView view = BuildView(d, texts);
    EXPECT_EQ(view.rows[c.row].list, c.list);
    EXPECT_EQ(view.rows[c.row].selected, c.selected);
    EXPECT_EQ(view.rows[c.row].text, c.shown);
  }
}

TEST(DialogRoutine, ShowsTheFormCaptionRowsAndTips) {
  ScriptedUi ui;
  RecordingHost host;
  EXPECT_FALSE(RunActionDialog(6, {"A"}, host, ui));
  const DialogView& v = ui.shown;
  EXPECT_EQ(v.caption, "zqSetTitleLine Свойства");
  EXPECT_EQ(v.formName, "TForm4");
  EXPECT_EQ(v.client.cx, 419);
  ASSERT_EQ(v.rows.size(), 4u);
  EXPECT_EQ(v.rows[0].label, "Rectangle диаграммы:");
  EXPECT_EQ(v.rows[0].pickerTip, "Выбор прямоугольника");
  EXPECT_EQ(v.rows[1].pickerTip, "Выбор переменной");
  EXPECT_TRUE(v.rows[2].font && v.rows[2].picker && !v.rows[2].color);
  EXPECT_EQ(v.rows[2].fontTip, "Выбор шрифта");
  EXPECT_EQ(v.rows[3].words, (std::vector<std::string>{"Left", "Center", "Right"}));
  EXPECT_FALSE(v.rows[3].picker);
  // A colour row without a picker has its button where the picker would be.
  EXPECT_FALSE(RunActionDialog(27, {}, host, ui));
  EXPECT_FALSE(ui.shown.rows[1].picker);
  EXPECT_EQ(ui.shown.rows[1].secondBox, ui.shown.rows[1].pickerBox);
  EXPECT_TRUE(host.asked.empty());
}

TEST(DialogRoutine, UntouchedRowsComeBackByteForByte) {
  ScriptedUi ui;
  RecordingHost host;
  ui.play = [](const DialogView& v, DialogSession& s, std::vector<RowOutcome>& rows) {
    rows = Untouched(v);
    return PressOk(v, s, rows);
  };
  // 0x98 has no character in Windows-1251; "true" opens the pick-only list on "True".
  const std::vector<std::string> given = {"Chart\x98", Cp("Заголовок")};
  EXPECT_EQ(RunActionDialog(34, {"R\x98", "true"}, host, ui),
            (std::vector<std::string>{"R\x98", "true"}));
  EXPECT_EQ(RunActionDialog(6, {given[0], given[1], "Arial|clRed|10||204", "Middle"}, host, ui),
            (std::vector<std::string>{given[0], given[1], "Arial|clRed|10||204", ""}));
  // Missing texts are empty.
  EXPECT_EQ(RunActionDialog(4, {}, host, ui), (std::vector<std::string>{"", ""}));
}

TEST(DialogRoutine, TypedTextsAreWrittenInTheHostCodePageOrStopOk) {
  ScriptedUi ui;
  RecordingHost host;
  std::optional<std::string> refusal;
  std::vector<RowOutcome> typed;
  ui.play = [&](const DialogView&, DialogSession& s, std::vector<RowOutcome>& rows) {
    rows = typed;
    refusal = s.RefuseOk(rows);
    return refusal ? DialogResult::Cancel : DialogResult::Ok;
  };
  typed = {{"Ряд", true}, {"Продажи", true}};
  EXPECT_EQ(RunActionDialog(4, {"a", "b"}, host, ui),
            (std::vector<std::string>{Cp("Ряд"), Cp("Продажи")}));
  EXPECT_FALSE(refusal);
  // "ü" has no Windows-1251 byte and "ё" no look-alike stand-in: no '?', no 'u'.
  typed = {{"a", false}, {"Müller", true}};
  EXPECT_FALSE(RunActionDialog(4, {"a", "b"}, host, ui));
  ASSERT_TRUE(refusal);
  EXPECT_NE(refusal->find("«Имя графика:»"), std::string::npos) << *refusal;
  EXPECT_NE(refusal->find("«ü»"), std::string::npos) << *refusal;
  // A pick-only list chosen by the author gives its word.
  typed = {{"a", false}, {"False", true}};
  EXPECT_EQ(RunActionDialog(43, {"a", "true"}, host, ui), (std::vector<std::string>{"a", "False"}));
}

TEST(DialogRoutine, ButtonsAskTheHostAndThePlatformDialogs) {
  ScriptedUi ui;
  RecordingHost host;
  struct Press {
    size_t row;
    RowButton button;
    std::string text;
  };
  std::vector<Press> presses;
  std::vector<std::optional<std::string>> answers;
  ui.play = [&](const DialogView& v, DialogSession& s, std::vector<RowOutcome>& rows) {
    rows = Untouched(v);
    answers.clear();
    for (const Press& p : presses) {
      answers.push_back(s.Press(p.row, p.button, p.text));
      if (answers.back()) rows[p.row] = {*answers.back(), false};
    }
    return PressOk(v, s, rows);
  };

  // Pickers send 8 for a rectangle row and 14 otherwise, with the row's own bytes.
  host.answer = Cp("Прямоугольник7");
  presses = {{0, RowButton::Picker, "R\xD1\x8F"}, {1, RowButton::Picker, "x"}};
  const std::vector<std::string> result =
      *RunActionDialog(4, {"R\xFF", "x"}, host, ui);  // \xFF is "я"
  EXPECT_EQ(host.asked, (std::vector<std::pair<int32_t, std::string>>{{8, "R\xFF"}, {14, "x"}}));
  EXPECT_EQ(result, (std::vector<std::string>{Cp("Прямоугольник7"), Cp("Прямоугольник7")}));
  EXPECT_EQ(answers[0], "Прямоугольник7");

  // A host answering false keeps the row.
  host.answer.reset();
  host.asked.clear();
  presses = {{1, RowButton::Picker, "x"}};
  EXPECT_EQ(RunActionDialog(4, {"a", "x"}, host, ui), (std::vector<std::string>{"a", "x"}));
  EXPECT_EQ(host.asked.size(), 1u);

  // Colour and font buttons write their texts; a cancelled platform dialog keeps the row.
  ui.color = 0xFFFFFF;
  FontChoice arial;
  arial.font.face = "Arial";
  arial.font.weight = 700;
  arial.font.italic = true;
  arial.font.charset = 204;
  arial.pointSize = 10;
  arial.color = 0;
  ui.font = arial;
  presses = {{2, RowButton::Font, ""}, {1, RowButton::Color, "keep"}};
  EXPECT_EQ(RunActionDialog(6, {"a", "b", "", ""}, host, ui),
            (std::vector<std::string>{"a", "b", "Arial|clBlack|10|fsBold fsItalic |204", ""}));
  EXPECT_FALSE(answers[1]);  // a text row has no colour button
  presses = {{2, RowButton::Color, ""}};
  EXPECT_EQ(RunActionDialog(11, {"a", "b", "1,2,3"}, host, ui),
            (std::vector<std::string>{"a", "b", "255,255,255"}));
  ui.color.reset();
  EXPECT_EQ(RunActionDialog(11, {"a", "b", "1,2,3"}, host, ui),
            (std::vector<std::string>{"a", "b", "1,2,3"}));

  // Colours without a name are written in hexadecimal; all four style words in order.
  arial.color = 0x123456;
  arial.font.weight = 400;
  arial.font.italic = false;
  arial.font.underline = arial.font.strikeOut = true;
  EXPECT_EQ(FontText(arial), "Arial|$00123456|10|fsUnderline fsStrikeOut |204");
  arial.font.weight = 700;
  arial.font.italic = true;
  EXPECT_EQ(FontText(arial), "Arial|$00123456|10|fsBold fsItalic fsUnderline fsStrikeOut |204");

  // A face the host's code page cannot hold stops "OK" though the author typed nothing.
  arial.font.face = "Ω";
  ui.font = arial;
  presses = {{2, RowButton::Font, ""}};
  EXPECT_FALSE(RunActionDialog(23, {"a", "b", "c"}, host, ui));
  EXPECT_EQ(host.asked.size(), 1u);  // no picker was pressed since
}

TEST(DialogRoutine, NothingComesBackWithoutOk) {
  ScriptedUi ui;
  RecordingHost host;
  ui.play = [](const DialogView& v, DialogSession&, std::vector<RowOutcome>& rows) {
    rows = Untouched(v);
    rows[1] = {"typed", true};
    return DialogResult::Cancel;
  };
  EXPECT_FALSE(RunActionDialog(4, {"a", "b"}, host, ui));
  ui.play = [](const DialogView&, DialogSession&, std::vector<RowOutcome>&) {
    return DialogResult::Unavailable;
  };
  EXPECT_FALSE(RunActionDialog(4, {"a", "b"}, host, ui));
  EXPECT_FALSE(RunActionDialog(0, {}, host, ui));
  EXPECT_FALSE(RunActionDialog(45, {}, host, ui));
}

}  // namespace
