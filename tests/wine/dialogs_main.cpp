// Drives the DLL's real property dialogs as an author and as screen readers see them: the
// program calls nbEditAction, and a second thread finds the dialog by its caption and works
// it through the standard control messages only (WM_GETTEXT/WM_SETTEXT, CB_ messages,
// BM_CLICK), also inside the colour and font dialogs. Every dialog is checked against the
// table it is made from.
//   zq_wine_dialogs --plugin DLL [--pictures DIR]
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/dib_capture.h"
#include "common/picture_file.h"
#include "common/plugin_host.h"
#include "dialogs/dialog_routine.h"
#include "platform/win32/property_dialog_ids.h"
#include "platform/win32/wide.h"

namespace {

using zq::platform::win32::Narrow;
using zq::platform::win32::RowControlId;
using zq::platform::win32::RowPart;
using zq::platform::win32::Widen;

int g_passed = 0;
int g_failed = 0;
std::mutex g_lock;

void Check(bool ok, const std::string& what) {
  std::lock_guard<std::mutex> hold(g_lock);
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    std::printf("FAIL: %s\n", what.c_str());
  }
}

void CheckEqual(const std::string& got, const std::string& want, const std::string& what) {
  Check(got == want, what + ": \"" + got + "\", expected \"" + want + "\"");
}

// What the host answers to the pickers, and what it was asked.
struct PickerLog {
  std::mutex lock;
  std::optional<std::string> answer;  // UTF-8; nothing answers false
  std::vector<std::string> calls;     // "8 \"old\" -> \"new\""
};
PickerLog g_picker;

std::string Text(HWND hwnd) {
  const LRESULT n = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(size_t(n) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd, WM_GETTEXT, WPARAM(n + 1), LPARAM(text.data()));
  text.resize(size_t(got));
  return Narrow(text);
}

void SetText(HWND hwnd, const std::string& utf8) {
  SendMessageW(hwnd, WM_SETTEXT, 0, LPARAM(Widen(utf8).c_str()));
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 63);
  return name;
}

std::vector<std::string> Words(HWND combo) {
  std::vector<std::string> words;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT n = SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(i), 0);
    std::wstring word(size_t(n) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(word.data()));
    word.resize(size_t(n));
    words.push_back(Narrow(word));
  }
  return words;
}

struct FindWindowOf {
  const std::function<bool(HWND)>* match;
  HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM p) {
  auto* find = reinterpret_cast<FindWindowOf*>(p);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
  if (ClassOf(hwnd) != L"#32770" || !(*find->match)(hwnd)) return TRUE;
  find->found = hwnd;
  return FALSE;
}

// A visible top-level dialog of this process that `match` accepts.
HWND WaitWindow(const std::function<bool(HWND)>& match, int milliseconds = 10000) {
  for (int waited = 0; waited < milliseconds; waited += 20) {
    FindWindowOf find{&match};
    EnumWindows(&FindDialog, LPARAM(&find));
    if (find.found) return find.found;
    Sleep(20);
  }
  return nullptr;
}

HWND WaitOwned(HWND owner) {
  return WaitWindow([owner](HWND h) { return GetWindow(h, GW_OWNER) == owner; });
}

// The open property dialog as the test sees it.
struct Dialog {
  HWND hwnd = nullptr;
  HWND Item(int row, RowPart part) const { return GetDlgItem(hwnd, RowControlId(row, part)); }
  HWND Field(int row) const { return Item(row, RowPart::Field); }
  void Set(int row, const std::string& text) const { SetText(Field(row), text); }
  void Choose(int row, const std::string& word) const {
    const LRESULT i =
        SendMessageW(Field(row), CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(Widen(word).c_str()));
    SendMessageW(Field(row), CB_SETCURSEL, WPARAM(i), 0);
  }
  // Pickers call the host from the dialog's thread: the click returns when they are done.
  void Pick(int row, std::optional<std::string> answer) const {
    {
      std::lock_guard<std::mutex> hold(g_picker.lock);
      g_picker.answer = std::move(answer);
    }
    SendMessageW(Item(row, RowPart::Picker), BM_CLICK, 0, 0);
  }
  void Ok() const { PostMessageW(GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0); }
  void Cancel() const { PostMessageW(GetDlgItem(hwnd, IDCANCEL), BM_CLICK, 0, 0); }
};

void SetDialogItemText(HWND dialog, int id, const std::string& text) {
  SetText(GetDlgItem(dialog, id), text);
}

// The colour dialog: red, green and blue in its edit boxes, then "OK".
void ChooseColorInDialog(HWND owner, int row, uint8_t r, uint8_t g, uint8_t b) {
  PostMessageW(GetDlgItem(owner, RowControlId(row, RowPart::Color)), BM_CLICK, 0, 0);
  HWND picker = WaitOwned(owner);
  Check(picker != nullptr, "the colour button opens the colour dialog");
  if (!picker) return;
  SetDialogItemText(picker, 706, std::to_string(r));
  SetDialogItemText(picker, 707, std::to_string(g));
  SetDialogItemText(picker, 708, std::to_string(b));
  PostMessageW(GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
  for (int i = 0; i < 250 && IsWindow(picker); ++i) Sleep(20);
}

// Selects the list item whose data is `data` and tells the dialog, as a click would.
void SelectByData(HWND dialog, int id, LPARAM data) {
  HWND combo = GetDlgItem(dialog, id);
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (SendMessageW(combo, CB_GETITEMDATA, WPARAM(i), 0) != data) continue;
    SendMessageW(combo, CB_SETCURSEL, WPARAM(i), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), LPARAM(combo));
    return;
  }
  Check(false, "font dialog list " + std::to_string(id) + " has item " + std::to_string(data));
}

// The font dialog: face, style, size, script and colour, then "OK".
void ChooseFontInDialog(HWND owner, int row, const std::string& face, int size, bool bold,
                        bool italic, int charset) {
  PostMessageW(GetDlgItem(owner, RowControlId(row, RowPart::Font)), BM_CLICK, 0, 0);
  HWND picker = WaitOwned(owner);
  Check(picker != nullptr, "the font button opens the font dialog");
  if (!picker) return;
  HWND faces = GetDlgItem(picker, 0x470);
  const LRESULT at =
      SendMessageW(faces, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(Widen(face).c_str()));
  Check(at >= 0, "the font dialog lists " + face);
  SendMessageW(faces, CB_SETCURSEL, WPARAM(at), 0);
  SendMessageW(picker, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), LPARAM(faces));
  SelectByData(picker, 0x471, MAKELONG(bold ? FW_BOLD : FW_NORMAL, italic ? 1 : 0));
  SelectByData(picker, 0x474, charset);
  SelectByData(picker, 0x473, 0);  // black
  HWND sizes = GetDlgItem(picker, 0x472);
  const LRESULT s =
      SendMessageW(sizes, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(std::to_wstring(size).c_str()));
  SendMessageW(sizes, CB_SETCURSEL, WPARAM(s), 0);
  SendMessageW(picker, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE), LPARAM(sizes));
  PostMessageW(GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
  for (int i = 0; i < 250 && IsWindow(picker); ++i) Sleep(20);
}

// What a dialog shows, checked against its table: caption, labels, kinds, words, tips, and
// the texts it opens with.
void CheckAgainstTable(const Dialog& d, const zq::platform::DialogView& want) {
  CheckEqual(Text(d.hwnd), want.caption, "caption");
  RECT client{};
  GetClientRect(d.hwnd, &client);
  Check(client.right == want.client.cx && client.bottom == want.client.cy,
        want.caption + ": client size " + std::to_string(client.right) + "x" +
            std::to_string(client.bottom));
  CheckEqual(Text(GetDlgItem(d.hwnd, zq::platform::win32::kActionNameId)), want.actionName,
             "action name");
  std::string description = want.description;
  for (size_t at = 0; (at = description.find('\n', at)) != std::string::npos; at += 2)
    description.replace(at, 1, "\r\n");
  CheckEqual(Text(GetDlgItem(d.hwnd, zq::platform::win32::kDescriptionId)), description,
             "description");
  CheckEqual(Text(GetDlgItem(d.hwnd, IDOK)), "OK", "OK button");
  CheckEqual(Text(GetDlgItem(d.hwnd, IDCANCEL)), "Отмена", "Отмена button");
  for (const auto& row : want.rows) {
    const std::string where = want.actionName + " row " + std::to_string(row.number);
    CheckEqual(Text(d.Item(row.number, RowPart::Label)), row.label, where + " label");
    HWND field = d.Field(row.number);
    const bool list = row.list != zq::platform::RowList::None;
    Check(field && ClassOf(field) == (list ? L"ComboBox" : L"Edit"), where + " field class");
    if (list) {
      Check(Words(field) == row.words, where + " words");
      const bool pickOnly = (GetWindowLongW(field, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
      Check(pickOnly == (row.list == zq::platform::RowList::PickOnly), where + " pick-only");
      Check(SendMessageW(field, CB_GETCURSEL, 0, 0) == row.selected || !pickOnly,
            where + " opens with word " + std::to_string(row.selected));
    }
    CheckEqual(Text(field), row.text, where + " text");
    HWND picker = d.Item(row.number, RowPart::Picker);
    HWND color = d.Item(row.number, RowPart::Color);
    HWND font = d.Item(row.number, RowPart::Font);
    Check((picker != nullptr) == row.picker, where + " picker");
    Check((color != nullptr) == row.color, where + " colour button");
    Check((font != nullptr) == row.font, where + " font button");
    if (picker) CheckEqual(Text(picker), row.pickerTip, where + " picker name");
    if (color) CheckEqual(Text(color), row.colorTip, where + " colour button name");
    if (font) CheckEqual(Text(font), row.fontTip, where + " font button name");
  }
}

// A copy of what the screen shows of a window, frame and caption included.
void Capture(HWND hwnd, const std::string& path) {
  RedrawWindow(hwnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(300);
  RECT r{};
  GetWindowRect(hwnd, &r);
  zq::platform::Image image;
  const bool copied =
      zq::host::CaptureIntoDib(r.right - r.left, r.bottom - r.top, image, [&](HDC dc) {
        HDC screen = GetDC(nullptr);
        const bool ok =
            BitBlt(dc, 0, 0, image.width, image.height, screen, r.left, r.top, SRCCOPY) != 0;
        ReleaseDC(nullptr, screen);
        return ok;
      });
  Check(copied, "screen copy of " + path);
  std::string error;
  Check(zq::host::WritePicture(image, path, error), "picture " + path + " " + error);
}

struct Scenario {
  const char* what;
  int action;
  std::vector<std::string> given;  // UTF-8; the host holds them in its code page
  std::function<void(const Dialog&)> drive;
  bool ok;
  std::vector<std::string> want;  // the parameters afterwards (UTF-8)
  std::vector<std::string> calls;
  const char* picture = nullptr;  // a file name in the pictures folder
};

std::string g_pictures;
zq::host::PluginHost* g_host = nullptr;

void RunScenario(const Scenario& s) {
  const zq::dialogs::ActionDialog& table = *zq::dialogs::FindActionDialog(s.action);
  std::vector<char*> variables(table.rows.size(), nullptr);
  std::vector<std::string> given(table.rows.size());
  for (size_t i = 0; i < s.given.size(); ++i) {
    given[i] = s.given[i];
    variables[i] =
        zq::host::PluginLibrary::AllocateText(zq::host::PluginLibrary::ToHostText(s.given[i]));
  }
  {
    std::lock_guard<std::mutex> hold(g_picker.lock);
    g_picker.calls.clear();
  }
  const zq::platform::DialogView want = zq::dialogs::BuildView(table, given);
  std::thread driver([&] {
    Dialog d;
    d.hwnd = WaitWindow([&](HWND h) { return Text(h) == want.caption; });
    Check(d.hwnd != nullptr, std::string(s.what) + ": dialog \"" + want.caption + "\" shows");
    if (!d.hwnd) return;
    CheckAgainstTable(d, want);
    s.drive(d);
  });
  const bool ok = g_host->Exports().editAction(s.action, variables.data()) != 0;
  driver.join();
  Check(ok == s.ok, std::string(s.what) + ": nbEditAction answers " + (ok ? "true" : "false"));
  const std::vector<std::string>& want_after = s.want.empty() ? given : s.want;
  for (size_t i = 0; i < variables.size(); ++i) {
    const std::string got =
        variables[i] ? zq::host::PluginLibrary::FromHostText(variables[i]) : std::string();
    CheckEqual(got, want_after[i], std::string(s.what) + ": parameter " + std::to_string(i + 1));
    zq::host::PluginLibrary::FreeText(variables[i]);
  }
  std::lock_guard<std::mutex> hold(g_picker.lock);
  Check(g_picker.calls == s.calls, std::string(s.what) + ": picker calls");
  for (const std::string& c : g_picker.calls) std::printf("  %s: %s\n", s.what, c.c_str());
}

void WithPicture(const Dialog& d, const char* name) {
  if (!g_pictures.empty() && name) Capture(d.hwnd, g_pictures + "\\" + name);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::string plugin = "zqLineChart.dll";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--plugin") == 0) plugin = argv[i + 1];
    if (std::strcmp(argv[i], "--pictures") == 0) g_pictures = argv[i + 1];
  }
  try {
    zq::host::PluginHost host(plugin);
    g_host = &host;
    host.Register();
    host.SetPickerAnswer([](zq::Int32 code, const std::string& text) {
      std::lock_guard<std::mutex> hold(g_picker.lock);
      std::optional<std::string> answer = g_picker.answer;
      g_picker.calls.push_back(std::to_string(code) + " \"" +
                               zq::host::PluginLibrary::FromHostText(text) + "\" -> " +
                               (answer ? "\"" + *answer + "\"" : std::string("false")));
      if (answer) answer = zq::host::PluginLibrary::ToHostText(*answer);
      return answer;
    });

    const std::vector<Scenario> scenarios = {
        {"rectangle picker",
         1,
         {"Chart1"},
         [](const Dialog& d) {
           WithPicture(d, "dialog-form1.png");
           d.Pick(1, "Прямоугольник7");
           CheckEqual(Text(d.Field(1)), "Прямоугольник7", "picked rectangle shows");
           d.Ok();
         },
         true,
         {"Прямоугольник7"},
         {"8 \"Chart1\" -> \"Прямоугольник7\""},
         nullptr},
        {"variable picker answering false, typing",
         4,
         {"Chart1", "S"},
         [](const Dialog& d) {
           WithPicture(d, "dialog-editform1.png");
           d.Set(2, "Продажи 2024");
           d.Pick(2, std::nullopt);
           CheckEqual(Text(d.Field(2)), "Продажи 2024", "a refused picker keeps the row");
           d.Ok();
         },
         true,
         {"Chart1", "Продажи 2024"},
         {"14 \"Продажи 2024\" -> false"}},
        {"colour button without picker",
         27,
         {"Chart1", "1,2,3"},
         [](const Dialog& d) {
           ChooseColorInDialog(d.hwnd, 2, 255, 255, 255);
           d.Ok();
         },
         true,
         {"Chart1", "255,255,255"},
         {}},
        {"font button",
         31,
         {"Chart1"},
         [](const Dialog& d) {
           ChooseFontInDialog(d.hwnd, 2, "Arial", 10, true, true, 204);
           d.Ok();
         },
         true,
         {"Chart1", "Arial|clBlack|10|fsBold fsItalic |204"},
         {}},
        {"pick-only list opens on the stored word; untouched rows come back as they were",
         34,
         {"Chart\xC2\x98", "true"},
         [](const Dialog& d) { d.Ok(); },
         true,
         {},
         {}},
        {"Отмена after typing",
         11,
         {"Chart1", "S", "1,2,3"},
         [](const Dialog& d) {
           WithPicture(d, "dialog-form3.png");
           d.Set(2, "другой");
           d.Set(3, "4,5,6");
           d.Cancel();
         },
         false,
         {},
         {}},
        {"editable list and a text row without picker",
         30,
         {"Chart1", "Plain", "10"},
         [](const Dialog& d) {
           d.Choose(2, "XValue");
           d.Set(3, "20");
           d.Ok();
         },
         true,
         {"Chart1", "XValue", "20"},
         {}},
        {"title: stored texts, font picker, another word",
         6,
         {"Chart1", "Заголовок", "Arial|clRed|10||204", "Center"},
         [](const Dialog& d) {
           WithPicture(d, "dialog-form4.png");
           d.Pick(3, "ШрифтЗаголовка");
           d.Choose(4, "Right");
           d.Ok();
         },
         true,
         {"Chart1", "Заголовок", "ШрифтЗаголовка", "Right"},
         {"14 \"Arial|clRed|10||204\" -> \"ШрифтЗаголовка\""}},
        {"pick-only list without its word opens empty",
         28,
         {"Chart1", "maybe", "C:\\back.jpg", "Middle"},
         [](const Dialog& d) { d.Ok(); },
         true,
         {"Chart1", "maybe", "C:\\back.jpg", ""},
         {}},
        {"five rows: colour picker and lists",
         26,
         {"Chart1", "True", "", "", "TopBottom"},
         [](const Dialog& d) {
           WithPicture(d, "dialog-form5.png");
           d.Pick(3, "Цвет1");
           ChooseColorInDialog(d.hwnd, 4, 0, 128, 255);
           d.Choose(5, "FromCenter");
           d.Set(2, "false");
           d.Ok();
         },
         true,
         {"Chart1", "false", "Цвет1", "0,128,255", "FromCenter"},
         {"14 \"\" -> \"Цвет1\""}},
        {"six rows typed",
         3,
         {},
         [](const Dialog& d) {
           WithPicture(d, "dialog-form6.png");
           const char* texts[] = {"Chart1", "Продажи", "1|2|3", "5|6|7", "Янв|Фев|Мар", "255,0,0"};
           for (int row = 1; row <= 6; ++row) d.Set(row, texts[row - 1]);
           d.Ok();
         },
         true,
         {"Chart1", "Продажи", "1|2|3", "5|6|7", "Янв|Фев|Мар", "255,0,0"},
         {}},
        {"six rows: editable lists keep other words",
         8,
         {"Chart1", "S", "true", "Star", "", "no"},
         [](const Dialog& d) {
           d.Choose(4, "Diamond");
           d.Pick(2, "Серия");
           d.Ok();
         },
         true,
         {"Chart1", "Серия", "true", "Diamond", "", "no"},
         {"14 \"S\" -> \"Серия\""}},
        {"a character the code page cannot hold stops OK",
         4,
         {"Chart1", "S"},
         [](const Dialog& d) {
           d.Set(2, "Müller");
           d.Ok();
           HWND box = WaitOwned(d.hwnd);
           Check(box != nullptr, "a message box stops OK");
           if (box) {
             std::string said;
             for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
               if (ClassOf(c) == L"Static") said += Text(c);
             Check(said.find("«ü»") != std::string::npos &&
                       said.find("«Имя графика:»") != std::string::npos,
                   "the message names the row and the character: " + said);
             PostMessageW(box, WM_COMMAND, IDOK, 0);
             for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
           }
           Check(IsWindowVisible(d.hwnd) != 0, "the dialog stays open");
           d.Set(2, "Muller");
           d.Ok();
         },
         true,
         {"Chart1", "Muller"},
         {}},
    };
    for (const Scenario& s : scenarios) {
      const DWORD start = GetTickCount();
      RunScenario(s);
      std::printf("%s (%d): %lu ms\n", s.what, s.action, GetTickCount() - start);
    }

    // Without InterfaceAccessProc the pickers do nothing; the dialog still works.
    host.Register(false);
    RunScenario({"no InterfaceAccessProc",
                 2,
                 {"Chart1"},
                 [](const Dialog& d) {
                   d.Pick(1, "Другой");
                   d.Ok();
                 },
                 true,
                 {"Chart1"},
                 {}});
  } catch (const std::exception& e) {
    std::printf("exception: %s\n", e.what());
    return 1;
  }
  std::printf("dialogs: %d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
