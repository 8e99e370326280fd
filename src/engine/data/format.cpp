#include "engine/data/format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/drawing/errors.h"

namespace zq {

namespace {

// ---- numbers ----------------------------------------------------------------------------

// |value| as decimal digits d1 d2 ... (no leading or trailing zeros) and an exponent e such that
// |value| = 0.d1d2... * 10^e. Zero has no digits. Integers below 1e17 are exact; anything else
// is taken at 15 significant digits, so a value that prints as 2.345 rounds as 2.345.
struct Decimal {
  std::string digits;
  int32_t exponent = 0;
};

Decimal ToDecimal(double value) {
  Decimal d;
  double a = std::fabs(value);
  if (a == 0.0 || !std::isfinite(a)) return d;
  char buffer[64];
  if (a < 1e17 && a == std::trunc(a)) {
    int n = std::snprintf(buffer, sizeof buffer, "%.0f", a);
    d.digits.assign(buffer, size_t(n));
    d.exponent = int32_t(d.digits.size());
  } else {
    // "d.dddddddddddddde[+-]xx"
    std::snprintf(buffer, sizeof buffer, "%.14e", a);
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p) {
      if (*p >= '0' && *p <= '9') d.digits += *p;
    }
    d.exponent = (*p == 'e') ? int32_t(std::atoi(p + 1)) + 1 : 1;
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Keeps `keep` leading digits, rounding half away from zero on the next one.
void RoundDigits(Decimal& d, int32_t keep) {
  if (keep >= int32_t(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  bool up = d.digits[size_t(keep)] >= '5';
  d.digits.resize(size_t(keep));
  if (up) {
    int32_t i = keep - 1;
    while (i >= 0 && d.digits[size_t(i)] == '9') {
      d.digits[size_t(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++d.digits[size_t(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// One section of a number picture, scanned.
struct Section {
  std::string_view text;
  int32_t intPlaces = 0;   // placeholders before the decimal point
  int32_t fracPlaces = 0;  // placeholders after it
  int32_t minInt = 0;      // integer digits always printed (from the leftmost 0)
  int32_t minFrac = 0;     // fraction digits always printed (to the rightmost 0)
  bool grouping = false;
  bool scientific = false;
};

Section ScanSection(std::string_view text) {
  Section s;
  s.text = text;
  bool seenPoint = false;
  int32_t firstIntZero = -1;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\'' || c == '"') {
      size_t close = text.find(c, i + 1);
      i = (close == std::string_view::npos) ? text.size() : close;
    } else if (c == '0' || c == '#') {
      if (seenPoint) {
        ++s.fracPlaces;
        if (c == '0') s.minFrac = s.fracPlaces;
      } else {
        if (c == '0' && firstIntZero < 0) firstIntZero = s.intPlaces;
        ++s.intPlaces;
      }
    } else if (c == '.') {
      seenPoint = true;
    } else if (c == ',') {
      s.grouping = true;
    } else if ((c == 'E' || c == 'e') && i + 1 < text.size() &&
               (text[i + 1] == '+' || text[i + 1] == '-')) {
      if (s.scientific) continue;  // a second exponent is plain text
      s.scientific = true;
      i += 2;
      while (i < text.size() && text[i] == '0') ++i;
      --i;
    }
  }
  if (firstIntZero >= 0) s.minInt = s.intPlaces - firstIntZero;
  return s;
}

// Splits at the semicolons outside quotes.
std::vector<std::string_view> SplitSections(std::string_view format) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '\'' || c == '"') {
      size_t close = format.find(c, i + 1);
      if (close == std::string_view::npos) break;
      i = close;
    } else if (c == ';') {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(format.substr(start));
  return sections;
}

// Writes the rounded digits through the picture.
std::string Render(const Section& s, const Decimal& d, bool minus,
                   const platform::LocaleSettings& locale) {
  std::string intDigits;
  std::string fracDigits;
  int32_t exponent = 0;
  if (s.scientific) {
    // All integer places are filled; the exponent moves the point behind them.
    for (int32_t i = 0; i < s.intPlaces; ++i) {
      intDigits += (size_t(i) < d.digits.size()) ? d.digits[size_t(i)] : '0';
    }
    if (size_t(s.intPlaces) < d.digits.size()) fracDigits = d.digits.substr(size_t(s.intPlaces));
    exponent = d.digits.empty() ? 0 : d.exponent - s.intPlaces;
  } else {
    for (int32_t i = 0; i < d.exponent; ++i) {
      intDigits += (size_t(i) < d.digits.size()) ? d.digits[size_t(i)] : '0';
    }
    for (int32_t j = 0; j < s.fracPlaces; ++j) {
      int32_t k = d.exponent + j;
      if (k >= int32_t(d.digits.size())) break;
      fracDigits += (k < 0) ? '0' : d.digits[size_t(k)];
    }
  }
  while (!fracDigits.empty() && fracDigits.back() == '0') fracDigits.pop_back();
  while (int32_t(fracDigits.size()) < s.minFrac) fracDigits += '0';
  if (int32_t(intDigits.size()) < s.minInt) {
    intDigits.insert(0, size_t(s.minInt) - intDigits.size(), '0');
  }

  std::string out;
  if (minus) out += '-';
  const int32_t n = int32_t(intDigits.size());
  auto emitIntDigit = [&](int32_t index) {  // index into intDigits
    out += intDigits[size_t(index)];
    int32_t fromRight = n - index;  // 1 = units
    if (s.grouping && fromRight > 1 && (fromRight - 1) % 3 == 0) out += locale.thousandSeparator;
  };
  bool intDone = false;
  auto emitAllIntDigits = [&]() {
    if (intDone) return;
    for (int32_t i = 0; i < n; ++i) emitIntDigit(i);
    intDone = true;
  };

  int32_t intSeen = 0;
  int32_t fracSeen = 0;
  bool seenPoint = false;
  bool exponentDone = false;
  const std::string_view t = s.text;
  for (size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    if (c == '\'' || c == '"') {
      size_t close = t.find(c, i + 1);
      if (close == std::string_view::npos) close = t.size();
      out.append(t.substr(i + 1, close - i - 1));
      i = close;
    } else if (c == '0' || c == '#') {
      if (!seenPoint) {
        int32_t fromRight = s.intPlaces - intSeen;
        if (intSeen == 0) {
          // Digits beyond the picture's integer places go before its first placeholder.
          for (int32_t k = 0; k < n - s.intPlaces; ++k) emitIntDigit(k);
        }
        if (fromRight <= n) emitIntDigit(n - fromRight);
        ++intSeen;
        if (intSeen == s.intPlaces) intDone = true;
      } else {
        emitAllIntDigits();
        if (size_t(fracSeen) < fracDigits.size()) out += fracDigits[size_t(fracSeen)];
        ++fracSeen;
      }
    } else if (c == '.') {
      if (!seenPoint) {
        seenPoint = true;
        emitAllIntDigits();
        if (!fracDigits.empty()) out += locale.decimalSeparator;
      }
    } else if (c == ',') {
      // only switches grouping on
    } else if ((c == 'E' || c == 'e') && !exponentDone && s.scientific && i + 1 < t.size() &&
               (t[i + 1] == '+' || t[i + 1] == '-')) {
      emitAllIntDigits();
      exponentDone = true;
      char sign = t[i + 1];
      i += 2;
      int32_t zeros = 0;
      while (i < t.size() && t[i] == '0') {
        ++zeros;
        ++i;
      }
      --i;
      if (zeros > 4) zeros = 4;
      out += c;
      if (exponent < 0) {
        out += '-';
      } else if (sign == '+') {
        out += '+';
      }
      std::string e = std::to_string(exponent < 0 ? -int64_t(exponent) : int64_t(exponent));
      if (int32_t(e.size()) < zeros) e.insert(0, size_t(zeros) - e.size(), '0');
      out += e;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string FloatToStr(double value, const platform::LocaleSettings& locale) {
  if (!std::isfinite(value)) return NonFinite(value);
  Decimal d = ToDecimal(value);
  RoundDigits(d, 15);
  if (d.digits.empty()) return "0";
  std::string out;
  if (value < 0) out += '-';
  const int32_t count = int32_t(d.digits.size());
  if (d.exponent > 15 || d.exponent < -4) {
    out += d.digits[0];
    if (count > 1) {
      out += locale.decimalSeparator;
      out.append(d.digits, 1);
    }
    out += 'E';
    out += std::to_string(d.exponent - 1);
    return out;
  }
  if (d.exponent <= 0) {
    out += '0';
    out += locale.decimalSeparator;
    out.append(size_t(-d.exponent), '0');
    out += d.digits;
    return out;
  }
  for (int32_t i = 0; i < d.exponent; ++i) out += (i < count) ? d.digits[size_t(i)] : '0';
  if (count > d.exponent) {
    out += locale.decimalSeparator;
    out.append(d.digits, size_t(d.exponent));
  }
  return out;
}

std::string FormatFloat(std::string_view format, double value,
                        const platform::LocaleSettings& locale) {
  if (!std::isfinite(value)) return NonFinite(value);
  std::vector<std::string_view> sections = SplitSections(format);
  if (sections[0].empty()) return FloatToStr(value, locale);

  auto zeroSection = [&]() -> std::string_view {
    return (sections.size() > 2 && !sections[2].empty()) ? sections[2] : sections[0];
  };
  std::string_view text = sections[0];
  bool minus = false;
  if (value < 0) {
    if (sections.size() > 1 && !sections[1].empty()) {
      text = sections[1];  // the negative section writes its own sign
    } else {
      minus = true;
    }
  } else if (value == 0) {
    text = zeroSection();
  }

  Section s = ScanSection(text);
  Decimal d = ToDecimal(value);
  if (!s.scientific && d.exponent > 18) {
    return FloatToStr(value, locale);
  }
  RoundDigits(d, s.scientific ? std::max<int32_t>(1, s.intPlaces + s.fracPlaces)
                              : d.exponent + s.fracPlaces);
  if (d.digits.empty() && value != 0) {
    // Rounded away to nothing: written as zero, without a sign.
    s = ScanSection(zeroSection());
    minus = false;
  }
  return Render(s, d, minus, locale);
}

// ---- date-time --------------------------------------------------------------------------

namespace {

constexpr int64_t kMSecsPerDayInt = 86400000;
constexpr int64_t kDayOf19700101 = 25569;  // 1970-01-01 in our encoding
constexpr int64_t kFirstDay = -693593;     // 0001-01-01
constexpr int64_t kLastDay = 2958465;      // 9999-12-31

// Days since 1970-01-01 of a proleptic Gregorian date (and back).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int32_t& year, int32_t& month, int32_t& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = int32_t(doy - (153 * mp + 2) / 5 + 1);
  month = int32_t(mp < 10 ? mp + 3 : mp - 9);
  year = int32_t(yoe + era * 400 + (month <= 2));
}

// The whole day and the millisecond of the day, the time rounded first (halves to even).
// False for values too large to hold a day number.
bool SplitDateTime(TDateTime value, int64_t& day, int64_t& msec) {
  if (!std::isfinite(value) || std::fabs(value) > 1e15) return false;
  const double whole = std::trunc(value);
  day = int64_t(whole);
  msec = int64_t(std::nearbyint(std::fabs(value - whole) * kMSecsPerDay));
  if (msec >= kMSecsPerDayInt) {
    msec -= kMSecsPerDayInt;
    day += (value < 0) ? -1 : 1;
  }
  return true;
}

bool SplitValid(TDateTime value, int64_t& day, int64_t& msec) {
  return SplitDateTime(value, day, msec) && day >= kFirstDay && day <= kLastDay;
}

TDateTime JoinDateTime(int64_t day, int64_t msec) {
  return ComposeDateTime(double(day), double(msec) / kMSecsPerDay);
}

// The fixed length of a calendar step, for values the calendar cannot hold.
TDateTime FixedStep(TDateTime value, double days) {
  return std::isfinite(value) ? value + days : value;
}

// y-m-d with the day clamped to the month, at the given millisecond; false outside the range.
bool MakeClamped(int64_t year, int64_t month, int64_t day, int64_t msec, TDateTime& result) {
  if (year < 1 || year > 9999) return false;
  int32_t last = DaysInMonth(int32_t(year), int32_t(month));
  if (day > last) day = last;
  result = JoinDateTime(DaysFromCivil(year, month, day) + kDayOf19700101, msec);
  return true;
}

}  // namespace

bool IsLeapYear(int32_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int32_t DaysInMonth(int32_t year, int32_t month) {
  static const int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return (month == 2 && IsLeapYear(year)) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int32_t year, int32_t month, int32_t day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return false;
  }
  result = double(DaysFromCivil(year, month, day) + kDayOf19700101);
  return true;
}

TDateTime EncodeDate(int32_t year, int32_t month, int32_t day) {
  TDateTime result = 0;
  if (!TryEncodeDate(year, month, day, result)) throw ChartException(kInvalidDateEncode);
  return result;
}

bool TryEncodeTime(int32_t hour, int32_t minute, int32_t second, int32_t msec, TDateTime& result) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
      msec > 999) {
    return false;
  }
  result = double(((int64_t(hour) * 60 + minute) * 60 + second) * 1000 + msec) / kMSecsPerDay;
  return true;
}

TDateTime EncodeTime(int32_t hour, int32_t minute, int32_t second, int32_t msec) {
  TDateTime result = 0;
  if (!TryEncodeTime(hour, minute, second, msec, result)) throw ChartException(kInvalidTimeEncode);
  return result;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  return date < 0 ? date - std::fabs(time) : date + std::fabs(time);
}

bool IsValidDateTime(TDateTime value) {
  int64_t day = 0, msec = 0;
  return SplitValid(value, day, msec);
}

bool DecodeDate(TDateTime value, int32_t& year, int32_t& month, int32_t& day) {
  int64_t days = 0, msec = 0;
  if (!SplitValid(value, days, msec)) {
    year = month = day = 0;
    return false;
  }
  CivilFromDays(days - kDayOf19700101, year, month, day);
  return true;
}

void DecodeTime(TDateTime value, int32_t& hour, int32_t& minute, int32_t& second, int32_t& msec) {
  int64_t day = 0, ms = 0;
  if (!SplitDateTime(value, day, ms)) ms = 0;
  hour = int32_t(ms / 3600000);
  minute = int32_t(ms / 60000 % 60);
  second = int32_t(ms / 1000 % 60);
  msec = int32_t(ms % 1000);
}

int32_t DayOfWeek(TDateTime value) {
  int64_t day = 0, msec = 0;
  if (!SplitValid(value, day, msec)) return 0;
  // 1899-12-30 was a Saturday.
  int64_t r = (day + 6) % 7;
  if (r < 0) r += 7;
  return int32_t(r) + 1;
}

// ---- FormatDateTime ---------------------------------------------------------------------

namespace {

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}
bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (Upper(text[at + i]) != word[i]) return false;
  }
  return true;
}

class DateTimeWriter {
 public:
  DateTimeWriter(TDateTime value, const platform::LocaleSettings& locale) : locale_(locale) {
    DecodeDate(value, year_, month_, day_);
    DecodeTime(value, hour_, minute_, second_, msec_);
    weekDay_ = DayOfWeek(value);
  }

  void Write(std::string_view format, int32_t depth) {
    // Locale formats nest into each other; two levels are all that is meaningful.
    if (depth > 2) return;
    char lastToken = ' ';
    size_t i = 0;
    while (i < format.size()) {
      const char starter = format[i];
      char token = Upper(starter);
      if (IsAsciiLetter(starter)) {
        if (token == 'M' && lastToken == 'H') token = 'N';
        lastToken = token;
      }
      const size_t at = i;
      auto count = [&]() {
        size_t n = 1;
        while (at + n < format.size() && format[at + n] == starter) ++n;
        i = at + n;
        return n;
      };
      switch (token) {
        case 'Y':
          if (count() <= 2) {
            Number(year_ % 100, 2);
          } else {
            Number(year_, 4);
          }
          break;
        case 'M': {
          size_t n = count();
          if (n <= 2) {
            Number(month_, int32_t(n));
          } else if (month_ >= 1) {
            out_ +=
                (n == 3) ? locale_.shortMonthNames[month_ - 1] : locale_.longMonthNames[month_ - 1];
          }
          break;
        }
        case 'D': {
          size_t n = count();
          if (n <= 2) {
            Number(day_, int32_t(n));
          } else if (n <= 4) {
            if (weekDay_ >= 1) {
              out_ += (n == 3) ? locale_.shortDayNames[weekDay_ - 1]
                               : locale_.longDayNames[weekDay_ - 1];
            }
          } else {
            Write(locale_.shortDateFormat, depth + 1);
          }
          break;
        }
        case 'H': {
          size_t n = count();
          if (TwelveHourAhead(format, i)) twelveHour_ = true;
          int32_t h = hour_;
          if (twelveHour_) {
            if (h == 0) {
              h = 12;
            } else if (h > 12) {
              h -= 12;
            }
          }
          Number(h, int32_t(std::min<size_t>(n, 2)));
          break;
        }
        case 'N':
          Number(minute_, int32_t(std::min<size_t>(count(), 2)));
          break;
        case 'S':
          Number(second_, int32_t(std::min<size_t>(count(), 2)));
          break;
        case 'Z':
          Number(msec_, int32_t(std::min<size_t>(count(), 3)));
          break;
        case 'T':
          if (count() == 1) {
            Write(ShortTimeFormat(locale_), depth + 1);
          } else {
            Write(locale_.longTimeFormat, depth + 1);
          }
          break;
        case 'C':
          count();
          Write(locale_.shortDateFormat, depth + 1);
          if (hour_ != 0 || minute_ != 0 || second_ != 0 || msec_ != 0) {
            out_ += ' ';
            Write(locale_.longTimeFormat, depth + 1);
          }
          break;
        case 'A':
          i = at + AmPm(format, at);
          break;
        case '/':
          out_ += locale_.dateSeparator;
          ++i;
          break;
        case ':':
          out_ += locale_.timeSeparator;
          ++i;
          break;
        case '\'':
        case '"': {
          size_t close = format.find(starter, at + 1);
          if (close == std::string_view::npos) close = format.size();
          out_.append(format.substr(at + 1, close - at - 1));
          i = close + 1;
          break;
        }
        default:
          out_ += starter;
          ++i;
          break;
      }
    }
  }

  const std::string& Text() const { return out_; }

 private:
  void Number(int32_t value, int32_t digits) {
    std::string s = std::to_string(value);
    if (int32_t(s.size()) < digits) s.insert(0, size_t(digits) - s.size(), '0');
    out_ += s;
  }

  // The hour is on the 12-hour clock when the next a... or h... after it (outside quotes) is
  // an am/pm marker.
  static bool TwelveHourAhead(std::string_view format, size_t from) {
    char quote = 0;
    for (size_t i = from; i < format.size(); ++i) {
      char c = format[i];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '\'' || c == '"') {
        quote = c;
      } else if (c == 'a' || c == 'A') {
        return StartsWithNoCase(format, i, "AM/PM") || StartsWithNoCase(format, i, "A/P") ||
               StartsWithNoCase(format, i, "AMPM");
      } else if (c == 'h' || c == 'H') {
        return false;
      }
    }
    return false;
  }

  // Writes an am/pm marker at `at` (or a day name for aaa/aaaa, or the letter); returns its
  // length.
  size_t AmPm(std::string_view format, size_t at) {
    const bool pm = hour_ >= 12;
    if (StartsWithNoCase(format, at, "AM/PM")) {
      out_.append(format.substr(pm ? at + 3 : at, 2));
      twelveHour_ = true;
      return 5;
    }
    if (StartsWithNoCase(format, at, "A/P")) {
      out_ += format[pm ? at + 2 : at];
      twelveHour_ = true;
      return 3;
    }
    if (StartsWithNoCase(format, at, "AMPM")) {
      out_ += pm ? locale_.timePMString : locale_.timeAMString;
      twelveHour_ = true;
      return 4;
    }
    if (StartsWithNoCase(format, at, "AAAA")) {
      if (weekDay_ >= 1) out_ += locale_.longDayNames[weekDay_ - 1];
      return 4;
    }
    if (StartsWithNoCase(format, at, "AAA")) {
      if (weekDay_ >= 1) out_ += locale_.shortDayNames[weekDay_ - 1];
      return 3;
    }
    out_ += format[at];
    return 1;
  }

  const platform::LocaleSettings& locale_;
  int32_t year_ = 0, month_ = 0, day_ = 0;
  int32_t hour_ = 0, minute_ = 0, second_ = 0, msec_ = 0;
  int32_t weekDay_ = 0;
  bool twelveHour_ = false;
  std::string out_;
};

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value,
                           const platform::LocaleSettings& locale) {
  if (!IsValidDateTime(value)) return std::string();
  DateTimeWriter writer(value, locale);
  writer.Write(format.empty() ? std::string_view("c") : format, 0);
  return writer.Text();
}

std::string ShortTimeFormat(const platform::LocaleSettings& locale) {
  const std::string& f = locale.longTimeFormat;
  // Cut from the end of the specifier before the seconds to the end of the seconds.
  size_t cutFrom = 0;
  char quote = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == 's' || c == 'S') {
      size_t end = i;
      while (end < f.size() && (f[end] == 's' || f[end] == 'S')) ++end;
      return f.substr(0, cutFrom) + f.substr(end);
    } else if (IsAsciiLetter(c)) {
      cutFrom = i + 1;
    }
  }
  return f;
}

// ---- calendar steps ---------------------------------------------------------------------

namespace {

// Months on, on the same day of the month (clamped to the month's length) or on its first.
TDateTime StepMonths(TDateTime value, int32_t months, bool toFirst) {
  int64_t day = 0, msec = 0;
  if (SplitValid(value, day, msec)) {
    int32_t y = 0, m = 0, d = 0;
    CivilFromDays(day - kDayOf19700101, y, m, d);
    int64_t total = int64_t(y) * 12 + (m - 1) + months;
    int64_t ny = total >= 0 ? total / 12 : -((-total + 11) / 12);
    TDateTime result = 0;
    if (MakeClamped(ny, total - ny * 12 + 1, toFirst ? 1 : d, msec, result)) return result;
  }
  return FixedStep(value, 30.0 * months);
}

}  // namespace

TDateTime IncMonth(TDateTime value, int32_t months) {
  return StepMonths(value, months, false);
}

TDateTime IncYear(TDateTime value, int32_t years) {
  int64_t day = 0, msec = 0;
  if (SplitValid(value, day, msec)) {
    int32_t y = 0, m = 0, d = 0;
    CivilFromDays(day - kDayOf19700101, y, m, d);
    TDateTime result = 0;
    if (MakeClamped(int64_t(y) + years, m, d, msec, result)) return result;
  }
  return FixedStep(value, 365.0 * years);
}

TDateTime IncHalfMonth(TDateTime value, bool forward) {
  int64_t day = 0, msec = 0;
  if (SplitValid(value, day, msec)) {
    int32_t y = 0, m = 0, d = 0;
    CivilFromDays(day - kDayOf19700101, y, m, d);
    int64_t ny = y, nm = m, nd = 1;
    if (forward) {
      if (d < 15) {
        nd = 15;
      } else if (++nm > 12) {
        nm = 1;
        ++ny;
      }
    } else if (d > 15) {
      nd = 15;
    } else if (d == 1) {
      nd = 15;
      if (--nm < 1) {
        nm = 12;
        --ny;
      }
    }
    TDateTime result = 0;
    if (MakeClamped(ny, nm, nd, msec, result)) return result;
  }
  return FixedStep(value, forward ? 15.0 : -15.0);
}

TDateTime IncMonthToFirst(TDateTime value, int32_t months) {
  return StepMonths(value, months, true);
}

TDateTime StartOfTheDay(TDateTime value) {
  int64_t day = 0, msec = 0;
  if (!SplitValid(value, day, msec)) return value;
  return double(day);
}

TDateTime StartOfTheHalfMonth(TDateTime value) {
  int32_t y = 0, m = 0, d = 0;
  if (!DecodeDate(value, y, m, d)) return value;
  return EncodeDate(y, m, d >= 15 ? 15 : 1);
}

TDateTime StartOfTheMonth(TDateTime value) {
  int32_t y = 0, m = 0, d = 0;
  if (!DecodeDate(value, y, m, d)) return value;
  return EncodeDate(y, m, 1);
}

TDateTime StartOfTheYear(TDateTime value) {
  int32_t y = 0, m = 0, d = 0;
  if (!DecodeDate(value, y, m, d)) return value;
  return EncodeDate(y, 1, 1);
}

}  // namespace zq
