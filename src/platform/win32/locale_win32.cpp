#include <windows.h>

#include "platform/locale.h"
#include "platform/win32/wide.h"

namespace zq::platform {

namespace {

std::string Info(LCTYPE type, const std::string& fallback) {
  wchar_t buffer[128];
  int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, int(std::size(buffer)));
  if (n <= 1) return fallback;  // n counts the terminating zero
  return win32::Narrow(std::wstring_view(buffer, size_t(n - 1)));
}

// Separators are single characters; one that is not ASCII keeps the default.
char InfoChar(LCTYPE type, char fallback) {
  std::string s = Info(type, std::string(1, fallback));
  if (s.size() == 1 && static_cast<unsigned char>(s[0]) < 0x80) return s[0];
  return fallback;
}

// Windows writes the AM/PM marker as "tt" (or "t"); the engine's formats call it "AMPM".
std::string TimeFormat(const std::string& windows) {
  std::string out;
  for (size_t i = 0; i < windows.size();) {
    if (windows[i] == 't') {
      while (i < windows.size() && windows[i] == 't') ++i;
      out += "AMPM";
    } else if (windows[i] == '\'') {
      // Quoted literal: copied as it stands, quotes included.
      size_t end = windows.find('\'', i + 1);
      if (end == std::string::npos) end = windows.size() - 1;
      out.append(windows, i, end - i + 1);
      i = end + 1;
    } else {
      out += windows[i++];
    }
  }
  return out;
}

LocaleSettings ReadSystemLocale() {
  LocaleSettings s;
  s.decimalSeparator = InfoChar(LOCALE_SDECIMAL, s.decimalSeparator);
  s.thousandSeparator = Info(LOCALE_STHOUSAND, s.thousandSeparator);
  s.dateSeparator = InfoChar(LOCALE_SDATE, s.dateSeparator);
  s.timeSeparator = InfoChar(LOCALE_STIME, s.timeSeparator);
  s.shortDateFormat = Info(LOCALE_SSHORTDATE, s.shortDateFormat);
  s.longTimeFormat = TimeFormat(Info(LOCALE_STIMEFORMAT, "h:mm:ss tt"));
  s.timeAMString = Info(LOCALE_S1159, "");
  s.timePMString = Info(LOCALE_S2359, "");
  LocaleSettings english = LocaleByName("en-US");
  for (int i = 0; i < 12; ++i) {
    s.shortMonthNames[i] = Info(LOCALE_SABBREVMONTHNAME1 + i, english.shortMonthNames[i]);
    s.longMonthNames[i] = Info(LOCALE_SMONTHNAME1 + i, english.longMonthNames[i]);
  }
  // Windows numbers the days from Monday (1) to Sunday (7); ours start on Sunday.
  for (int i = 0; i < 7; ++i) {
    int windowsDay = (i + 6) % 7;
    s.shortDayNames[i] = Info(LOCALE_SABBREVDAYNAME1 + windowsDay, english.shortDayNames[i]);
    s.longDayNames[i] = Info(LOCALE_SDAYNAME1 + windowsDay, english.longDayNames[i]);
  }
  return s;
}

const LocaleSettings& Loaded() {
  static const LocaleSettings settings = ReadSystemLocale();
  return settings;
}

// Numbers follow the settings in force when the plug-in was loaded, so read them at load.
[[maybe_unused]] const bool g_readAtLoad = (Loaded(), true);

}  // namespace

LocaleSettings SystemLocale() {
  return Loaded();
}

}  // namespace zq::platform
