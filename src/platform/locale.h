// Regional settings: separators and date-time formats, as the user's settings give them.
#pragma once

#include <string>

namespace zq::platform {

struct LocaleSettings {
  char decimalSeparator = '.';
  std::string thousandSeparator = ",";  // UTF-8: may be a non-breaking space
  char dateSeparator = '/';
  char timeSeparator = ':';
  std::string shortDateFormat = "M/d/yyyy";
  std::string longTimeFormat = "h:mm:ss AMPM";
  std::string timeAMString = "AM";
  std::string timePMString = "PM";
  std::string shortMonthNames[12];
  std::string longMonthNames[12];
  std::string shortDayNames[7];  // Sunday first
  std::string longDayNames[7];
};

// Settings of a named locale ("en-US", "ru-RU"); unknown names give "en-US".
LocaleSettings LocaleByName(const std::string& name);

// The settings of the running system: the user's regional settings on Windows; on Linux the
// locale named by ZQ_LOCALE, else LC_ALL / LC_NUMERIC / LANG ("ru_RU.UTF-8" gives ru-RU).
LocaleSettings SystemLocale();

}  // namespace zq::platform
