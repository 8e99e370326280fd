// A property dialog: a modal dialog window parented to the active window, laid out in pixels
// from the view, with STATIC labels, EDIT boxes, COMBOBOX lists, BUTTON pickers and tooltips.
// Every text goes through the wide API, so Cyrillic shows whatever the system code page.
#include "platform/win32/property_dialog.h"

#include <windows.h>

#include <commctrl.h>

#include <deque>
#include <exception>
#include <stdexcept>
#include <string>

#include "platform/win32/module.h"
#include "platform/win32/property_dialog_ids.h"
#include "platform/win32/wide.h"

namespace zq::platform::win32 {

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
constexpr int kFontHeight = -12;  // Tahoma, 12 pixels

COLORREF Blend(COLORREF a, COLORREF b, int percentOfB) {
  auto mix = [&](int x, int y) { return (x * (100 - percentOfB) + y * percentOfB) / 100; };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
             mix(GetBValue(a), GetBValue(b)));
}

RECT ToRect(const Rect& r) {
  return RECT{r.left, r.top, r.right, r.bottom};
}

std::wstring WindowText(HWND hwnd) {
  const int n = GetWindowTextLengthW(hwnd);
  std::wstring text(size_t(n) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), n + 1);
  text.resize(size_t(got > 0 ? got : 0));
  return text;
}

// Static text lines break at CR LF.
std::wstring Lines(const std::string& utf8) {
  std::wstring out;
  for (wchar_t c : Widen(utf8)) {
    if (c == L'\n') out += L'\r';
    out += c;
  }
  return out;
}

class GdiObject {
 public:
  explicit GdiObject(HGDIOBJ object = nullptr) : object_(object) {}
  ~GdiObject() {
    if (object_) DeleteObject(object_);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  void Reset(HGDIOBJ object) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }
  HGDIOBJ Get() const { return object_; }

 private:
  HGDIOBJ object_;
};

HFONT MakeFont(const wchar_t* face, int height, int weight, bool italic = false,
               BYTE charset = RUSSIAN_CHARSET) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfCharSet = charset;
  lf.lfQuality = DEFAULT_QUALITY;
  wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectW(&lf);
}

struct RowWindows {
  HWND label = nullptr;
  HWND field = nullptr;
  bool pickOnly = false;
  std::wstring baseline;  // what the field showed when the plug-in last filled it
  int baselineSelection = -1;
};

class DialogWindow {
 public:
  DialogWindow(const DialogView& view, DialogSession& session) : view_(view), session_(session) {}

  static INT_PTR CALLBACK Proc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (message == WM_INITDIALOG) {
      self = reinterpret_cast<DialogWindow*>(lParam);
      SetWindowLongPtrW(dlg, DWLP_USER, lParam);
    }
    if (self == nullptr) return FALSE;
    // Nothing may escape through the window system: a failure closes the dialog and is
    // raised again once the modal loop has ended.
    try {
      return self->Handle(dlg, message, wParam, lParam);
    } catch (...) {
      self->failure_ = std::current_exception();
      EndDialog(dlg, IDABORT);
      return TRUE;
    }
  }

  DialogResult Run(std::vector<RowOutcome>& rows) {
    // An empty template: the window takes its size and controls from the view.
    alignas(4) WORD buffer[16] = {};
    auto* dialogTemplate = reinterpret_cast<DLGTEMPLATE*>(buffer);
    dialogTemplate->style = kDialogStyle;
    const INT_PTR result =
        DialogBoxIndirectParamW(ThisModule(), dialogTemplate, GetActiveWindow(),
                                &DialogWindow::Proc, reinterpret_cast<LPARAM>(this));
    if (failure_) std::rethrow_exception(failure_);
    if (result == -1) return DialogResult::Unavailable;
    if (result != IDOK) return DialogResult::Cancel;
    rows = std::move(outcomes_);
    return DialogResult::Ok;
  }

 private:
  INT_PTR Handle(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        Build(dlg);
        return TRUE;  // the first row takes the focus, its text selected
      case WM_PAINT:
        Paint(dlg);
        return TRUE;
      case WM_CTLCOLORSTATIC: {
        // Only the labels stand on the pictures; other controls keep their own colours.
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        const bool label = id == kActionNameId || id == kDescriptionId || id == kFooterId ||
                           (id > 1000 && (id - 1000) % 10 == int(RowPart::Label));
        if (!label) return FALSE;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(id == kFooterId ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
      }
      case WM_DRAWITEM:
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      case WM_COMMAND:
        return Command(dlg, LOWORD(wParam), HIWORD(wParam));
      case WM_CLOSE:
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
  }

  HWND Control(HWND dlg, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle,
               const Rect& place, int id, HFONT font) {
    HWND hwnd = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                place.left, place.top, place.Width(), place.Height(), dlg,
                                reinterpret_cast<HMENU>(INT_PTR(id)), ThisModule(), nullptr);
    if (hwnd == nullptr) throw std::runtime_error("cannot create a dialog control");
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
  }

  void AddTip(HWND button, const std::string& text) {
    tips_.push_back(Widen(text));
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(button);
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = tips_.back().data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  // A row button: owner-drawn with its picture; its text names it for screen readers.
  void Button(HWND dlg, int row, RowPart part, const Rect& place, const std::string& tip) {
    HWND b = Control(dlg, L"BUTTON", Widen(tip), BS_OWNERDRAW | WS_TABSTOP, 0, place,
                     RowControlId(row, part), font_);
    AddTip(b, tip);
  }

  void Build(HWND dlg) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    font_ = MakeFont(L"Tahoma", kFontHeight, FW_NORMAL);
    // The action's name is Latin: any character set lets the bold face be found.
    bold_ = MakeFont(L"Tahoma", kFontHeight, FW_BOLD, false, DEFAULT_CHARSET);
    small_ = MakeFont(L"Tahoma", kFontHeight + 1, FW_NORMAL);
    glyph_ = MakeFont(L"Times New Roman", -16, FW_BOLD);
    italic_ = MakeFont(L"Times New Roman", -15, FW_NORMAL, true);
    fonts_[0].Reset(font_);
    fonts_[1].Reset(bold_);
    fonts_[2].Reset(glyph_);
    fonts_[3].Reset(italic_);
    fonts_[4].Reset(small_);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    panel_.Reset(CreateSolidBrush(Blend(face, RGB(255, 255, 255), 55)));
    border_.Reset(CreatePen(PS_SOLID, 1, Blend(GetSysColor(COLOR_BTNSHADOW), face, 30)));
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, dlg, nullptr, ThisModule(), nullptr);

    SetWindowTextW(dlg, Widen(view_.caption).c_str());
    RECT frame{0, 0, view_.client.cx, view_.client.cy};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(dlg, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(dlg, GWL_EXSTYLE)));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(dlg, nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOZORDER);

    for (const DialogRowView& row : view_.rows) {
      RowWindows windows;
      windows.label = Control(dlg, L"STATIC", Widen(row.label), SS_LEFT | SS_NOPREFIX, 0,
                              row.labelBox, RowControlId(row.number, RowPart::Label), font_);
      if (row.list == RowList::None) {
        windows.field =
            Control(dlg, L"EDIT", Widen(row.text), ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                    row.field, RowControlId(row.number, RowPart::Field), font_);
        windows.baseline = WindowText(windows.field);
      } else {
        windows.pickOnly = row.list == RowList::PickOnly;
        Rect drop = row.field;
        drop.bottom = drop.top + 240;
        windows.field =
            Control(dlg, L"COMBOBOX", L"",
                    (windows.pickOnly ? CBS_DROPDOWNLIST : CBS_DROPDOWN | CBS_AUTOHSCROLL) |
                        WS_VSCROLL | WS_TABSTOP,
                    0, drop, RowControlId(row.number, RowPart::Field), font_);
        for (const std::string& word : row.words)
          SendMessageW(windows.field, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(Widen(word).c_str()));
        SendMessageW(windows.field, CB_SETCURSEL, WPARAM(row.selected), 0);
        if (!windows.pickOnly) SetWindowTextW(windows.field, Widen(row.text).c_str());
        windows.baselineSelection = int(SendMessageW(windows.field, CB_GETCURSEL, 0, 0));
        windows.baseline = WindowText(windows.field);
      }
      if (row.picker) Button(dlg, row.number, RowPart::Picker, row.pickerBox, row.pickerTip);
      if (row.color) Button(dlg, row.number, RowPart::Color, row.secondBox, row.colorTip);
      if (row.font) Button(dlg, row.number, RowPart::Font, row.secondBox, row.fontTip);
      rows_.push_back(std::move(windows));
    }
    Control(dlg, L"STATIC", Widen(view_.actionName), SS_LEFT | SS_NOPREFIX, 0, view_.nameBox,
            kActionNameId, bold_);
    Control(dlg, L"STATIC", Lines(view_.description), SS_LEFT | SS_NOPREFIX, 0,
            view_.descriptionBox, kDescriptionId, small_);
    Control(dlg, L"STATIC", Lines(view_.footer), SS_LEFT | SS_NOPREFIX, 0, view_.footerBox,
            kFooterId, small_);
    Control(dlg, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, view_.okBox, IDOK, font_);
    Control(dlg, L"BUTTON", L"Отмена", BS_PUSHBUTTON | WS_TABSTOP, 0, view_.cancelBox, IDCANCEL,
            font_);
  }

  void Panel(HDC dc, const Rect& r) {
    HGDIOBJ oldBrush = SelectObject(dc, panel_.Get());
    HGDIOBJ oldPen = SelectObject(dc, border_.Get());
    RoundRect(dc, r.left, r.top, r.right, r.bottom, 6, 6);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  }

  void FillBox(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    RECT r{left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }

  // A small chart: axes, a line and its points.
  void FooterPicture(HDC dc, const Rect& r) {
    FillBox(dc, r.left, r.top, r.right, r.bottom, GetSysColor(COLOR_BTNSHADOW));
    FillBox(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, RGB(255, 255, 255));
    FillBox(dc, r.left + 5, r.top + 4, r.left + 6, r.bottom - 5, RGB(96, 96, 96));
    FillBox(dc, r.left + 5, r.bottom - 6, r.right - 4, r.bottom - 5, RGB(96, 96, 96));
    const POINT line[] = {{r.left + 8, r.bottom - 10},
                          {r.left + 14, r.top + 16},
                          {r.left + 20, r.top + 20},
                          {r.left + 27, r.top + 7}};
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(40, 90, 200));
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, line, 4);
    SelectObject(dc, old);
    DeleteObject(pen);
    for (const POINT& p : line) FillBox(dc, p.x - 2, p.y - 2, p.x + 2, p.y + 2, RGB(220, 50, 40));
  }

  void Paint(HWND dlg) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dlg, &ps);
    for (const DialogRowView& row : view_.rows) Panel(dc, row.panel);
    // The action's name and description on a panel with an accent stripe.
    Rect band{view_.nameBox.left - 8, view_.nameBox.top - 3, view_.nameBox.right + 8,
              view_.descriptionBox.bottom};
    Panel(dc, band);
    FillBox(dc, band.left + 1, band.top + 4, band.left + 4, band.bottom - 4, RGB(40, 90, 200));
    RECT line = ToRect(view_.footerLine);
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    FooterPicture(dc, view_.footerPicture);
    EndPaint(dlg, &ps);
  }

  void Glyph(HDC dc, RowPart part, int id, RECT r) {
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    SetBkMode(dc, TRANSPARENT);
    switch (part) {
      case RowPart::Picker: {
        const int row = (id - 1000) / 10;
        const bool rectangle = row >= 1 && size_t(row) <= view_.rows.size() &&
                               view_.rows[size_t(row) - 1].requestCode == 8;
        if (rectangle) {
          FillBox(dc, cx - 8, cy - 6, cx + 7, cy + 5, RGB(40, 80, 160));
          FillBox(dc, cx - 7, cy - 5, cx + 6, cy + 4, RGB(198, 220, 245));
          FillBox(dc, cx + 2, cy + 1, cx + 9, cy + 8, RGB(40, 80, 160));
          FillBox(dc, cx + 3, cy + 2, cx + 8, cy + 7, RGB(255, 255, 255));
        } else {
          SelectObject(dc, italic_);
          SetTextColor(dc, RGB(40, 80, 160));
          DrawTextW(dc, L"{x}", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        break;
      }
      case RowPart::Color: {
        const COLORREF colors[] = {RGB(220, 40, 40), RGB(240, 200, 0), RGB(40, 170, 60),
                                   RGB(40, 90, 220)};
        for (int i = 0; i < 4; ++i) {
          const int x = cx - 7 + (i % 2) * 8, y = cy - 7 + (i / 2) * 8;
          FillBox(dc, x, y, x + 7, y + 7, RGB(64, 64, 64));
          FillBox(dc, x + 1, y + 1, x + 6, y + 6, colors[i]);
        }
        break;
      }
      case RowPart::Font:
        SelectObject(dc, glyph_);
        SetTextColor(dc, RGB(32, 32, 32));
        r.bottom -= 2;
        DrawTextW(dc, L"A", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        FillBox(dc, cx - 6, r.bottom - 3, cx + 6, r.bottom - 1, RGB(220, 40, 40));
        break;
      default:
        break;
    }
  }

  // Flat buttons: a frame that darkens while pressed and a focus mark.
  void DrawButton(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    FillBox(dc, r.left, r.top, r.right, r.bottom, GetSysColor(COLOR_BTNSHADOW));
    FillBox(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1,
            pressed ? Blend(face, RGB(0, 0, 0), 12) : Blend(face, RGB(255, 255, 255), 40));
    if (pressed) OffsetRect(&r, 1, 1);
    HGDIOBJ old = SelectObject(dc, font_);
    const int id = int(item.CtlID);
    Glyph(dc, RowPart((id - 1000) % 10), id, r);
    SelectObject(dc, old);
    if (item.itemState & ODS_FOCUS) {
      RECT focus = item.rcItem;
      InflateRect(&focus, -3, -3);
      DrawFocusRect(dc, &focus);
    }
  }

  std::vector<RowOutcome> Outcomes() const {
    std::vector<RowOutcome> out;
    for (size_t i = 0; i < rows_.size(); ++i) {
      const RowWindows& w = rows_[i];
      if (w.pickOnly) {
        const int selected = int(SendMessageW(w.field, CB_GETCURSEL, 0, 0));
        const auto& words = view_.rows[i].words;
        out.push_back({selected >= 0 && size_t(selected) < words.size() ? words[size_t(selected)]
                                                                        : std::string(),
                       selected != w.baselineSelection});
      } else {
        const std::wstring text = WindowText(w.field);
        out.push_back({Narrow(text), text != w.baseline});
      }
    }
    return out;
  }

  INT_PTR Command(HWND dlg, int id, int code) {
    if (id == IDOK) {
      std::vector<RowOutcome> outcomes = Outcomes();
      if (std::optional<std::string> refusal = session_.RefuseOk(outcomes)) {
        MessageBoxW(dlg, Widen(*refusal).c_str(), Widen(view_.caption).c_str(),
                    MB_OK | MB_ICONWARNING);
        return TRUE;
      }
      outcomes_ = std::move(outcomes);
      EndDialog(dlg, IDOK);
      return TRUE;
    }
    if (id == IDCANCEL) {
      EndDialog(dlg, IDCANCEL);
      return TRUE;
    }
    if (code != BN_CLICKED || id < 1000) return FALSE;
    const size_t row = size_t((id - 1000) / 10);
    const RowPart part = RowPart((id - 1000) % 10);
    if (row < 1 || row > rows_.size()) return FALSE;
    RowButton button;
    switch (part) {
      case RowPart::Picker:
        button = RowButton::Picker;
        break;
      case RowPart::Color:
        button = RowButton::Color;
        break;
      case RowPart::Font:
        button = RowButton::Font;
        break;
      default:
        return FALSE;
    }
    RowWindows& w = rows_[row - 1];
    if (std::optional<std::string> text =
            session_.Press(row - 1, button, Narrow(WindowText(w.field)))) {
      SetWindowTextW(w.field, Widen(*text).c_str());
      w.baseline = WindowText(w.field);
    }
    return TRUE;
  }

  const DialogView& view_;
  DialogSession& session_;
  std::vector<RowWindows> rows_;
  std::vector<RowOutcome> outcomes_;
  std::deque<std::wstring> tips_;  // tooltips keep pointers to their texts
  HWND tooltip_ = nullptr;
  HFONT font_ = nullptr, bold_ = nullptr, glyph_ = nullptr, italic_ = nullptr, small_ = nullptr;
  GdiObject fonts_[5];
  GdiObject panel_, border_;
  std::exception_ptr failure_;
};

}  // namespace

DialogResult RunPropertyDialog(const DialogView& view, DialogSession& session,
                               std::vector<RowOutcome>& rows) {
  DialogWindow window(view, session);
  return window.Run(rows);
}

}  // namespace zq::platform::win32
