#include "platform/locale.h"

namespace zq::platform {

namespace {

LocaleSettings English() {
  LocaleSettings s;
  s.decimalSeparator = '.';
  s.thousandSeparator = ",";
  s.dateSeparator = '/';
  s.timeSeparator = ':';
  s.shortDateFormat = "M/d/yyyy";
  s.longTimeFormat = "h:mm:ss AMPM";
  s.timeAMString = "AM";
  s.timePMString = "PM";
  const char* shortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* longMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                "July",    "August",   "September", "October", "November", "December"};
  const char* shortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  const char* longDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};
  for (int i = 0; i < 12; ++i) {
    s.shortMonthNames[i] = shortMonths[i];
    s.longMonthNames[i] = longMonths[i];
  }
  for (int i = 0; i < 7; ++i) {
    s.shortDayNames[i] = shortDays[i];
    s.longDayNames[i] = longDays[i];
  }
  return s;
}

LocaleSettings Russian() {
  LocaleSettings s;
  s.decimalSeparator = ',';
  s.thousandSeparator = "\xC2\xA0";  // no-break space, as Windows uses
  s.dateSeparator = '.';
  s.timeSeparator = ':';
  s.shortDateFormat = "dd.MM.yyyy";
  s.longTimeFormat = "H:mm:ss";
  s.timeAMString = "";
  s.timePMString = "";
  const char* shortMonths[12] = {"янв", "фев", "мар", "апр", "май", "июн",
                                 "июл", "авг", "сен", "окт", "ноя", "дек"};
  const char* longMonths[12] = {"Январь", "Февраль",  "Март",    "Апрель", "Май",     "Июнь",
                                "Июль",   "Август",   "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
  const char* shortDays[7] = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
  const char* longDays[7] = {"воскресенье", "понедельник", "вторник", "среда",
                             "четверг",     "пятница",     "суббота"};
  for (int i = 0; i < 12; ++i) {
    s.shortMonthNames[i] = shortMonths[i];
    s.longMonthNames[i] = longMonths[i];
  }
  for (int i = 0; i < 7; ++i) {
    s.shortDayNames[i] = shortDays[i];
    s.longDayNames[i] = longDays[i];
  }
  return s;
}

}  // namespace

LocaleSettings LocaleByName(const std::string& name) {
  std::string n;
  for (char c : name) n += (c == '_') ? '-' : char(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (n.rfind("ru", 0) == 0) return Russian();
  return English();
}

}  // namespace zq::platform
