#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cwchar>

#include "platform/dialog_ui.h"
#include "platform/win32/property_dialog.h"
#include "platform/win32/wide.h"

namespace zq::platform {

namespace {

class CommonDialogs final : public DialogUi {
 public:
  std::optional<Rgb> PickColor(Rgb initial) override {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = GetActiveWindow();
    cc.rgbResult = initial & 0xFFFFFF;
    cc.lpCustColors = customColors_;
    cc.Flags = CC_RGBINIT | CC_ANYCOLOR;
    if (!ChooseColorW(&cc)) return std::nullopt;
    return Rgb(cc.rgbResult & 0xFFFFFF);
  }

  std::optional<FontChoice> PickFont(const FontChoice& initial) override {
    LOGFONTW lf{};
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    lf.lfHeight = initial.pointSize > 0 ? -MulDiv(initial.pointSize, dpi, 72) : initial.font.height;
    lf.lfWeight = initial.font.weight;
    lf.lfItalic = initial.font.italic;
    lf.lfUnderline = initial.font.underline;
    lf.lfStrikeOut = initial.font.strikeOut;
    lf.lfCharSet = initial.font.charset;
    std::wstring face = win32::Widen(initial.font.face);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);

    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = GetActiveWindow();
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    cf.rgbColors = initial.color & 0xFFFFFF;
    if (!ChooseFontW(&cf)) return std::nullopt;

    FontChoice result = initial;
    result.font.face = win32::Narrow(lf.lfFaceName);
    result.font.height = lf.lfHeight;
    result.font.weight = lf.lfWeight;
    result.font.italic = lf.lfItalic != 0;
    result.font.underline = lf.lfUnderline != 0;
    result.font.strikeOut = lf.lfStrikeOut != 0;
    result.font.charset = lf.lfCharSet;
    result.color = cf.rgbColors & 0xFFFFFF;
    result.pointSize = cf.iPointSize > 0 ? (cf.iPointSize + 5) / 10
                                         : std::max(1, MulDiv(std::abs(lf.lfHeight), 72, dpi));
    return result;
  }

  DialogResult RunPropertyDialog(const DialogView& view, DialogSession& session,
                                 std::vector<RowOutcome>& rows) override {
    return win32::RunPropertyDialog(view, session, rows);
  }

 private:
  COLORREF customColors_[16] = {};
};

}  // namespace

DialogUi& GetDialogUi() {
  static CommonDialogs dialogs;
  return dialogs;
}

}  // namespace zq::platform
