// The dialogs of the headless platform: the host's dialog handler stands in for the author.
#include <cstring>
#include <vector>

#include "platform/dialog_ui.h"
#include "platform/headless_dialog.h"

namespace zq::platform {

namespace {

using zq::Bool32;
using zq::Int32;

// A handler that keeps pressing a refused "OK" would hold the dialog open for ever.
constexpr int kRefusalsBeforeCancel = 16;

struct RowState {
  std::string text;
  int32_t selected = -1;
  std::string baseline;
  int32_t baselineSelected = -1;
};

// One open dialog: the rows as the handler changes them.
class HeadlessSession {
 public:
  HeadlessSession(const DialogView& view, DialogSession& session) : view_(view), session_(session) {
    for (const DialogRowView& r : view.rows) {
      RowState s;
      s.text = s.baseline = r.text;
      s.selected = s.baselineSelected = r.selected;
      rows_.push_back(std::move(s));
    }
  }

  const DialogRowView* Row(Int32 row) const {
    return row >= 1 && size_t(row) <= view_.rows.size() ? &view_.rows[size_t(row) - 1] : nullptr;
  }

  const char* Text(Int32 row) {
    if (!Row(row)) return nullptr;
    scratch_ = rows_[size_t(row) - 1].text;
    return scratch_.c_str();
  }

  bool SetText(Int32 row, const char* text) {
    const DialogRowView* r = Row(row);
    if (!r || text == nullptr || r->list == RowList::PickOnly) return false;
    RowState& s = rows_[size_t(row) - 1];
    s.text = text;
    s.selected = -1;
    for (size_t i = 0; i < r->words.size(); ++i)
      if (r->words[i] == s.text) s.selected = int32_t(i);
    return true;
  }

  bool Choose(Int32 row, const char* word) {
    const DialogRowView* r = Row(row);
    if (!r || word == nullptr || r->list == RowList::None) return false;
    for (size_t i = 0; i < r->words.size(); ++i) {
      if (r->words[i] != word) continue;
      RowState& s = rows_[size_t(row) - 1];
      s.selected = int32_t(i);
      s.text = r->words[i];
      return true;
    }
    return false;
  }

  bool Press(Int32 row, Int32 button) {
    const DialogRowView* r = Row(row);
    if (!r) return false;
    RowButton which;
    if (button == kZqPicker && r->picker) {
      which = RowButton::Picker;
    } else if (button == kZqColorButton && r->color) {
      which = RowButton::Color;
    } else if (button == kZqFontButton && r->font) {
      which = RowButton::Font;
    } else {
      return false;
    }
    RowState& s = rows_[size_t(row) - 1];
    if (std::optional<std::string> text = session_.Press(size_t(row) - 1, which, s.text))
      s.text = s.baseline = *text;
    return true;
  }

  std::vector<RowOutcome> Outcomes() const {
    std::vector<RowOutcome> out;
    for (size_t i = 0; i < rows_.size(); ++i) {
      const RowState& s = rows_[i];
      if (view_.rows[i].list == RowList::PickOnly)
        out.push_back({s.selected >= 0 ? s.text : std::string(), s.selected != s.baselineSelected});
      else
        out.push_back({s.text, s.text != s.baseline});
    }
    return out;
  }

 private:
  const DialogView& view_;
  DialogSession& session_;
  std::vector<RowState> rows_;
  std::string scratch_;
};

// The operations the handler calls: nothing may escape into the host's code.
template <typename F>
Bool32 Guard(F&& f) {
  try {
    return f() ? kTrue : kFalse;
  } catch (...) {
    return kFalse;
  }
}

const char* OpText(void* s, Int32 row) {
  try {
    return static_cast<HeadlessSession*>(s)->Text(row);
  } catch (...) {
    return nullptr;
  }
}
Bool32 OpSetText(void* s, Int32 row, const char* text) {
  return Guard([&] { return static_cast<HeadlessSession*>(s)->SetText(row, text); });
}
Bool32 OpChoose(void* s, Int32 row, const char* word) {
  return Guard([&] { return static_cast<HeadlessSession*>(s)->Choose(row, word); });
}
Bool32 OpPress(void* s, Int32 row, Int32 button) {
  return Guard([&] { return static_cast<HeadlessSession*>(s)->Press(row, button); });
}

class HandlerDialogs final : public DialogUi {
 public:
  void Install(const ZqDialogHandler* handler, void* context) {
    installed_ = handler != nullptr && handler->run != nullptr;
    handler_ = installed_ ? *handler : ZqDialogHandler{};
    context_ = context;
  }

  std::optional<Rgb> PickColor(Rgb) override {
    Int32 color = 0;
    if (!installed_ || !handler_.pickColor || !handler_.pickColor(context_, &color))
      return std::nullopt;
    return Rgb(color) & 0xFFFFFF;
  }

  std::optional<FontChoice> PickFont(const FontChoice& initial) override {
    ZqFontAnswer answer{};
    if (!installed_ || !handler_.pickFont || !handler_.pickFont(context_, &answer))
      return std::nullopt;
    FontChoice choice = initial;
    choice.font.face.assign(answer.face, strnlen(answer.face, sizeof answer.face));
    choice.pointSize = answer.pointSize;
    choice.font.height = -(answer.pointSize * 96 + 36) / 72;
    choice.font.weight = answer.bold ? 700 : 400;
    choice.font.italic = answer.italic != 0;
    choice.font.underline = answer.underline != 0;
    choice.font.strikeOut = answer.strikeOut != 0;
    choice.font.charset = uint8_t(answer.charset);
    choice.color = Rgb(answer.color) & 0xFFFFFF;
    return choice;
  }

  DialogResult RunPropertyDialog(const DialogView& view, DialogSession& session,
                                 std::vector<RowOutcome>& rows) override {
    if (!installed_) return DialogResult::Unavailable;
    // The handler may install another handler while it runs: keep this one's copy.
    const ZqDialogHandler handler = handler_;
    void* const context = context_;

    std::vector<std::vector<const char*>> words;
    std::vector<ZqDialogRow> cRows;
    for (const DialogRowView& r : view.rows) {
      std::vector<const char*>& w = words.emplace_back();
      for (const std::string& word : r.words) w.push_back(word.c_str());
    }
    for (size_t i = 0; i < view.rows.size(); ++i) {
      const DialogRowView& r = view.rows[i];
      cRows.push_back({r.number, r.label.c_str(), r.kind.c_str(), Int32(r.list),
                       (r.picker ? 1 : 0) | (r.color ? 2 : 0) | (r.font ? 4 : 0),
                       Int32(r.words.size()), words[i].data(), r.format.c_str(),
                       r.formatHelp.c_str(), r.example.c_str(), r.gloss.c_str()});
    }
    HeadlessSession state(view, session);
    const ZqDialog dialog{view.action,
                          view.formName.c_str(),
                          view.caption.c_str(),
                          view.actionName.c_str(),
                          view.description.c_str(),
                          Int32(cRows.size()),
                          cRows.data(),
                          &state,
                          &OpText,
                          &OpSetText,
                          &OpChoose,
                          &OpPress};
    for (int attempt = 0; attempt < kRefusalsBeforeCancel; ++attempt) {
      if (handler.run(context, &dialog) != 1) return DialogResult::Cancel;
      std::vector<RowOutcome> outcomes = state.Outcomes();
      std::optional<std::string> refusal = session.RefuseOk(outcomes);
      if (!refusal) {
        rows = std::move(outcomes);
        return DialogResult::Ok;
      }
      if (handler.message) handler.message(context, refusal->c_str());
    }
    return DialogResult::Cancel;
  }

 private:
  bool installed_ = false;
  ZqDialogHandler handler_{};
  void* context_ = nullptr;
};

HandlerDialogs& Dialogs() {
  static HandlerDialogs dialogs;
  return dialogs;
}

}  // namespace

DialogUi& GetDialogUi() {
  return Dialogs();
}

}  // namespace zq::platform

// Installs the host's dialog handler (copied; null removes it). Without one, every property
// dialog answers that it cannot be shown.
ZQ_EXPORT void zqHostSetDialogHandler(const ZqDialogHandler* handler, void* context) {
  try {
    zq::platform::Dialogs().Install(handler, context);
  } catch (...) {
  }
}
