// The property dialogs of the 44 actions as one table: the six forms with their layout, and per
// action its form, rows, word lists and description. Everything that shows, documents or runs
// a dialog reads this table; no action has code of its own.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/geometry.h"

namespace zq::dialogs {

enum class FormKind : uint8_t { Form1, EditForm1, Form3, Form4, Form5, Form6 };

struct FormInfo {
  FormKind kind;
  const char* className;
  int32_t rows;
  platform::Size client;
  bool twoColumns;
};

enum class RowKind : uint8_t {
  Rectangle,       // edit box, rectangle picker
  Text,            // edit box, variable picker
  TextNoPicker,    // edit box only
  Colour,          // edit box, colour button, variable picker
  ColourNoPicker,  // edit box, colour button
  Font,            // edit box, font button, variable picker
  Choice,          // a list of words instead of the edit box
};

// The text format a parameter is read in, for the authors' reference.
enum class Format : uint8_t {
  RectangleName,
  SeriesName,
  Text,
  FileName,
  ValueList,
  LabelList,
  PointRange,
  Integer,
  Boolean,
  Colour,
  Font,
  Keyword,
};

struct FormatInfo {
  Format format;
  const char* name;     // "integer text"
  const char* help;     // one sentence for authors (English)
  const char* example;  // a text in this format
};

struct RowInfo {
  const char* label;  // UTF-8, as the dialog shows it
  RowKind kind;
  Format format;
  const char* gloss;                        // English gloss of the label
  std::span<const std::string_view> words;  // choice rows only, in list order
  const char* example = nullptr;            // an example text; the format's when null
};

struct ActionDialog {
  int32_t action;
  const char* name;
  FormKind form;
  std::span<const RowInfo> rows;
  const char* description;  // UTF-8, lines separated by '\n'
};

constexpr int32_t kRowPitch = 62;  // rows stand 62 pixels apart

const FormInfo& Form(FormKind kind);
std::span<const FormatInfo> Formats();
const FormatInfo& FormatOf(Format format);
std::span<const ActionDialog> ActionDialogs();
// The dialog of an action number, or nullptr outside 1..44.
const ActionDialog* FindActionDialog(int32_t action);

// What a row kind shows.
struct KindInfo {
  const char* name;  // "colour, no picker"
  bool picker;
  bool color;
  bool font;
  bool list;
};
const KindInfo& Kind(RowKind kind);
// The request code the row's picker sends: 8 for a rectangle, 14 for a variable.
int32_t RequestCode(RowKind kind);
// Whether row `row` (0-based) of a form holds a list that takes only its own words.
bool IsPickOnly(FormKind form, size_t row);

// Where the parts of a row and of the form lie, in client pixels.
struct RowPlaces {
  platform::Rect panel, label, field, picker, second;
};
struct FormPlaces {
  platform::Rect name, description, footerLine, footerPicture, footer, ok, cancel;
};
RowPlaces PlaceRow(FormKind form, size_t row);
FormPlaces PlaceForm(FormKind form);

}  // namespace zq::dialogs
