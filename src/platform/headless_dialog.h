// The property dialogs on a platform without a window system: the plug-in shows each dialog
// to a handler that its host installs, as data, and the handler fills the rows and presses
// the buttons. Plain C layout: the host is another module. Texts are UTF-8; rows count from 1.
#pragma once

#include "platform/abi.h"

extern "C" {

struct ZqDialogRow {
  zq::Int32 number;
  const char* label;
  const char* kind;   // "rectangle", "text", "text, no picker", "colour", ... "choice"
  zq::Int32 list;     // 0 an edit box, 1 an editable list, 2 a list that takes only its words
  zq::Int32 buttons;  // 1 picker, 2 colour button, 4 font button
  zq::Int32 wordCount;
  const char* const* words;
  const char* format;  // the parameter's text format, with a sentence for authors
  const char* formatHelp;
  const char* example;
  const char* gloss;  // the label in English
};

// Buttons as `press` takes them.
enum : zq::Int32 { kZqPicker = 1, kZqColorButton = 2, kZqFontButton = 3 };

struct ZqDialog {
  zq::Int32 action;
  const char* form;
  const char* caption;
  const char* actionName;
  const char* description;  // lines separated by '\n'
  zq::Int32 rowCount;
  const ZqDialogRow* rows;
  void* session;
  // The row's current text (valid until the next call), or null for no such row.
  const char* (*text)(void* session, zq::Int32 row);
  // Types into an edit box or an editable list; false for a pick-only list or no such row.
  zq::Bool32 (*setText)(void* session, zq::Int32 row, const char* text);
  // Picks a word of a row's list; false when the row has no list or the list no such word.
  zq::Bool32 (*choose)(void* session, zq::Int32 row, const char* word);
  // Presses a button of the row; false when the row has no such button.
  zq::Bool32 (*press)(void* session, zq::Int32 row, zq::Int32 button);
};

struct ZqFontAnswer {
  char face[64];  // zero-terminated
  zq::Int32 pointSize;
  zq::Int32 bold, italic, underline, strikeOut;
  zq::Int32 charset;
  zq::Int32 color;  // 0x00BBGGRR
};

struct ZqDialogHandler {
  // Shows a dialog: answers 1 for "OK", anything else for "Отмена". After a refused "OK" the
  // plug-in calls `message` and then `run` again, as the dialog stays open.
  zq::Int32 (*run)(void* context, const ZqDialog* dialog);
  // The colour and font buttons' dialogs: false for a cancel. May be null (always cancelled).
  zq::Bool32 (*pickColor)(void* context, zq::Int32* color);
  zq::Bool32 (*pickFont)(void* context, ZqFontAnswer* font);
  void (*message)(void* context, const char* text);  // may be null
};

}  // extern "C"
