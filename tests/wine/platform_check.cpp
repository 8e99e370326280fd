// Checks the Windows platform library in a real Win32 runtime: pictures (icons and both kinds
// of metafile, made here), regional settings, host memory and the common dialogs.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialog_ui.h"
#include "platform/host_memory.h"
#include "platform/locale.h"
#include "platform/picture.h"

using namespace zq::platform;

namespace {

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const std::string& what) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    std::printf("FAILED: %s\n", what.c_str());
  }
}

std::string Hex(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "%08X", unsigned(v));
  return b;
}

void SaveBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, uint16_t(v));
  Put16(b, uint16_t(v >> 16));
}

// Loading must fail with a message that contains `expected`.
void CheckFails(const std::string& path, const std::string& ext, const std::string& expected) {
  try {
    LoadPlatformPicture(path, ext);
    Check(false, "loading " + path + " should fail");
  } catch (const std::runtime_error& e) {
    Check(std::string(e.what()).find(expected) != std::string::npos,
          "error for " + path + " says \"" + expected + "\": " + e.what());
  }
}

void CheckLoaded(const std::string& path, const std::string& ext, int w, int h,
                 std::vector<std::pair<POINT, uint32_t>> pixels) {
  try {
    Image img = LoadPlatformPicture(path, ext);
    Check(img.width == w && img.height == h, path + " size: " + std::to_string(img.width) + " x " +
                                                 std::to_string(img.height) + ", expected " +
                                                 std::to_string(w) + " x " + std::to_string(h));
    if (img.width != w || img.height != h) return;
    for (auto& [p, expected] : pixels)
      Check(img.At(p.x, p.y) == expected, path + " pixel (" + std::to_string(p.x) + "," +
                                              std::to_string(p.y) + "): " + Hex(img.At(p.x, p.y)) +
                                              ", expected " + Hex(expected));
  } catch (const std::exception& e) {
    Check(false, "loading " + path + ": " + e.what());
  }
}

void CheckPictures(const std::string& dir) {
  Check(PlatformPictureSupports("ico") && PlatformPictureSupports("WMF") &&
            PlatformPictureSupports("Emf"),
        "ico, wmf and emf are supported, in any letter case");
  Check(!PlatformPictureSupports("bmp") && !PlatformPictureSupports("jpg") &&
            !PlatformPictureSupports(""),
        "bmp, jpg and no extension are not platform pictures");
  CheckFails(dir + "\\missing.emf", "emf", "cannot open");
  CheckFails(dir + "\\missing.emf", "png", "unsupported");

  // An EMF with a 1 x 0.5 inch frame: 96 x 48 pixels, red on the left half.
  const std::string emf = dir + "\\red.emf";
  RECT frame{0, 0, 2540, 1270};
  HDC rec = CreateEnhMetaFileA(nullptr, emf.c_str(), &frame, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  SelectObject(rec, GetStockObject(NULL_PEN));
  SelectObject(rec, red);
  Rectangle(rec, 0, 0, 49, 49);
  DeleteEnhMetaFile(CloseEnhMetaFile(rec));
  CheckLoaded(emf, "EMF", 96, 48, {{{10, 20}, 0xFFFF0000}, {{80, 20}, 0xFFFFFFFF}});

  // A placeable WMF, 100 x 50 units at 100 units per inch: 96 x 48 pixels.
  HDC mrec = CreateMetaFileA(nullptr);
  SetWindowOrgEx(mrec, 0, 0, nullptr);
  SetWindowExtEx(mrec, 100, 50, nullptr);
  SelectObject(mrec, GetStockObject(NULL_PEN));
  SelectObject(mrec, red);
  Rectangle(mrec, 0, 0, 51, 51);
  HMETAFILE hmf = CloseMetaFile(mrec);
  std::vector<uint8_t> body(GetMetaFileBitsEx(hmf, 0, nullptr));
  GetMetaFileBitsEx(hmf, UINT(body.size()), body.data());
  DeleteMetaFile(hmf);
  DeleteObject(red);
  std::vector<uint8_t> wmf;
  Put32(wmf, 0x9AC6CDD7);
  Put16(wmf, 0);
  for (uint16_t v : {0, 0, 100, 50}) Put16(wmf, v);
  Put16(wmf, 100);
  Put32(wmf, 0);
  uint16_t sum = 0;
  for (size_t i = 0; i < 20; i += 2) sum ^= uint16_t(wmf[i] | wmf[i + 1] << 8);
  Put16(wmf, sum);
  std::vector<uint8_t> placeable = wmf;
  placeable.insert(placeable.end(), body.begin(), body.end());
  SaveBytes(dir + "\\red.wmf", placeable);
  CheckLoaded(dir + "\\red.wmf", "wmf", 96, 48, {{{10, 20}, 0xFFFF0000}, {{80, 20}, 0xFFFFFFFF}});
  std::vector<uint8_t> badSum = placeable;
  badSum[20] ^= 1;
  SaveBytes(dir + "\\badsum.wmf", badSum);
  CheckFails(dir + "\\badsum.wmf", "wmf", "checksum");
  SaveBytes(dir + "\\plain.wmf", body);
  CheckFails(dir + "\\plain.wmf", "wmf", "not a placeable");
  SaveBytes(dir + "\\fake.emf", placeable);
  CheckFails(dir + "\\fake.emf", "emf", "not an enhanced metafile");
  std::vector<uint8_t> huge = wmf;
  huge[10] = 0xFF;  // right = 255 units at 1 unit per inch: 24480 pixels wide
  huge[14] = 1;
  huge[15] = 0;
  sum = 0;
  for (size_t i = 0; i < 20; i += 2) sum ^= uint16_t(huge[i] | huge[i + 1] << 8);
  huge[20] = uint8_t(sum);
  huge[21] = uint8_t(sum >> 8);
  huge.insert(huge.end(), body.begin(), body.end());
  SaveBytes(dir + "\\huge.wmf", huge);
  CheckFails(dir + "\\huge.wmf", "wmf", "too large");

  // A 16 x 16 32-bit icon: opaque red on the left, transparent on the right (shows white).
  std::vector<uint8_t> ico;
  const uint32_t imageSize = 40 + 16 * 16 * 4 + 16 * 4;
  Put16(ico, 0);
  Put16(ico, 1);
  Put16(ico, 1);
  ico.insert(ico.end(), {16, 16, 0, 0});
  Put16(ico, 1);
  Put16(ico, 32);
  Put32(ico, imageSize);
  Put32(ico, 22);
  Put32(ico, 40);
  Put32(ico, 16);
  Put32(ico, 32);  // colour and mask stacked
  Put16(ico, 1);
  Put16(ico, 32);
  for (int i = 0; i < 6; ++i) Put32(ico, 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) Put32(ico, x < 8 ? 0xFFFF0000 : 0x00000000);
  for (int y = 0; y < 16; ++y) Put32(ico, 0x000000FF);  // mask bits: right half transparent
  SaveBytes(dir + "\\half.ico", ico);
  CheckLoaded(dir + "\\half.ico", "ico", 16, 16, {{{2, 8}, 0xFFFF0000}, {{12, 8}, 0xFFFFFFFF}});
  SaveBytes(dir + "\\junk.ico", std::vector<uint8_t>(100, 7));
  CheckFails(dir + "\\junk.ico", "ico", "not an icon");
}

void CheckLocale() {
  LocaleSettings s = SystemLocale();
  std::printf(
      "locale: decimal '%c' thousand '%s' date '%c' time '%c' short date \"%s\" "
      "long time \"%s\" AM \"%s\" PM \"%s\"\n",
      s.decimalSeparator, s.thousandSeparator.c_str(), s.dateSeparator, s.timeSeparator,
      s.shortDateFormat.c_str(), s.longTimeFormat.c_str(), s.timeAMString.c_str(),
      s.timePMString.c_str());
  std::printf("locale: months %s..%s / %s..%s, days %s..%s / %s..%s\n",
              s.shortMonthNames[0].c_str(), s.shortMonthNames[11].c_str(),
              s.longMonthNames[0].c_str(), s.longMonthNames[11].c_str(), s.shortDayNames[0].c_str(),
              s.shortDayNames[6].c_str(), s.longDayNames[0].c_str(), s.longDayNames[6].c_str());
  Check(s.decimalSeparator == '.' || s.decimalSeparator == ',', "decimal separator");
  bool named = true;
  for (auto& n : s.longMonthNames) named &= !n.empty();
  for (auto& n : s.shortDayNames) named &= !n.empty();
  Check(named, "month and day names are read");
  LocaleSettings expected =
      LocaleByName(getenv("ZQ_EXPECT_LOCALE") ? getenv("ZQ_EXPECT_LOCALE") : "en-US");
  if (getenv("ZQ_EXPECT_LOCALE")) {
    Check(s.decimalSeparator == expected.decimalSeparator, "decimal separator as expected");
    Check(s.thousandSeparator == expected.thousandSeparator, "thousand separator as expected");
    Check(s.dateSeparator == expected.dateSeparator, "date separator as expected");
    Check(s.shortDateFormat == expected.shortDateFormat, "short date format as expected");
  }
  // Names and time formats vary between Windows versions (and Wine) for other languages.
  if (getenv("ZQ_EXPECT_LOCALE") && std::string(getenv("ZQ_EXPECT_LOCALE")) == "en-US") {
    Check(s.longTimeFormat == expected.longTimeFormat, "long time format as expected");
    Check(s.timeAMString == expected.timeAMString, "AM string as expected");
    Check(s.longMonthNames[0] == expected.longMonthNames[0], "January as expected");
    Check(s.shortDayNames[0] == expected.shortDayNames[0], "Sunday comes first");
    Check(s.longDayNames[1] == expected.longDayNames[1], "then Monday");
  }
  Check(SystemLocale().shortDateFormat == s.shortDateFormat, "settings are read once");
}

void CheckHostMemory() {
  HostMemory& m = GetHostMemory();
  char* p = m.Allocate(12);
  Check(p != nullptr && GlobalSize(p) >= 12, "host memory comes from GlobalAlloc");
  Check(p && (GlobalFlags(p) & GMEM_DISCARDED) == 0, "a fixed block");
  m.Free(p);
  m.Free(nullptr);
}

// Presses OK in the next common dialog that appears, from another thread.
std::thread PressOk(std::atomic<bool>& pressed) {
  return std::thread([&pressed] {
    for (int i = 0; i < 200 && !pressed; ++i) {
      Sleep(50);
      HWND dialog = FindWindowW(L"#32770", nullptr);
      if (dialog && IsWindowVisible(dialog)) {
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        pressed = true;
      }
    }
  });
}

void CheckDialogs() {
  std::atomic<bool> pressed{false};
  std::thread presser = PressOk(pressed);
  std::optional<Rgb> color = GetDialogUi().PickColor(0x345678);
  presser.join();
  Check(pressed && color && *color == 0x345678, "colour dialog: OK returns the colour shown");

  pressed = false;
  presser = PressOk(pressed);
  FontChoice initial;
  // A face that the system has (Wine lists the fontconfig fonts; scripts/setup.sh installs
  // Liberation): the dialog shows another face when it does not know the one it is given.
  initial.font.face = "Liberation Sans";
  initial.font.weight = 700;
  initial.color = 0x0000FF;
  initial.pointSize = 12;
  std::optional<FontChoice> font = GetDialogUi().PickFont(initial);
  presser.join();
  Check(pressed && font.has_value(), "font dialog: OK returns a font");
  if (font) {
    std::printf("font dialog: %s, %d pt, weight %d, colour %06X, height %d\n",
                font->font.face.c_str(), int(font->pointSize), int(font->font.weight),
                unsigned(font->color), int(font->font.height));
    Check(font->font.face == "Liberation Sans" && font->pointSize == 12 &&
              font->font.weight == 700 && font->color == 0x0000FF,
          "font dialog: OK returns the font shown");
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : ".";
  try {
    CheckPictures(dir);
    CheckLocale();
    CheckHostMemory();
    if (!getenv("ZQ_NO_DIALOGS")) CheckDialogs();
  } catch (const std::exception& e) {
    std::printf("exception: %s\n", e.what());
    return 1;
  }
  std::printf("platform_check: %d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
