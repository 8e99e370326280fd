// Number and date-time formatting with the regional settings; the date-time encoding (days since
// 1899-12-30, fraction = time of day) and the calendar steps the axes use for their labels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/locale.h"

namespace zq {

// Default number formats of series values, percentages and axis labels.
inline constexpr const char* kDefaultValueFormat = "#,##0.###";
inline constexpr const char* kDefaultPercentFormat = "##0.## %";

// Formats a number with a picture of the "#,##0.###" family:
//   0 and #   digit placeholders (0 always prints, # only when the value has a digit there);
//   .         the first one places the decimal separator (the locale's), later ones are ignored;
//   ,         anywhere in the section: group the integer digits with the locale's separator;
//   E+ E- e+ e-  scientific notation, followed by up to four 0s for the exponent's least digits;
//   'x' "x"   literal text; every other character is copied as is (a % sign too: it does not
//             scale the value, percentages arrive already multiplied by 100);
//   ;         up to three sections: positive; negative; zero. An empty or missing negative
//             section means the positive one with a leading minus, an empty or missing zero
//             section the positive one. A value that rounds to zero takes the zero section.
// Rounding is to the placeholders after the point, halves away from zero, on the value's
// 15 significant digits (so 2.345 with "0.00" gives 2.35). An empty format or an empty positive
// section, and more than 18 integer digits without scientific notation, give FloatToStr's text.
std::string FormatFloat(std::string_view format, double value,
                        const platform::LocaleSettings& locale);

// General format: up to 15 significant digits, fixed notation unless the value has more than 15
// integer digits or is below 0.00001 ("1.5E20", "1E-7"); "NAN", "INF", "-INF".
std::string FloatToStr(double value, const platform::LocaleSettings& locale);

// ---- date-time --------------------------------------------------------------------------
// Days since 1899-12-30; the fraction is the time of day. Before that day the integer part counts
// back and the fraction still counts forward from midnight: -1.25 is 1899-12-29 06:00.
using TDateTime = double;

inline constexpr TDateTime kMinDateTime = -693593.0;         // 0001-01-01 00:00
inline constexpr TDateTime kMaxDateTime = 2958465.99999999;  // 9999-12-31 23:59:59.999

inline constexpr const char* kInvalidDateEncode = "Invalid argument to date encode";
inline constexpr const char* kInvalidTimeEncode = "Invalid argument to time encode";

inline constexpr double kHoursPerDay = 24.0;
inline constexpr double kMinutesPerDay = 24.0 * 60.0;
inline constexpr double kSecondsPerDay = 24.0 * 60.0 * 60.0;
inline constexpr double kMSecsPerDay = 24.0 * 60.0 * 60.0 * 1000.0;

bool IsLeapYear(int32_t year);
// 0 for a month outside 1..12.
int32_t DaysInMonth(int32_t year, int32_t month);

// Year 1..9999, month 1..12, day within the month; false (result untouched) otherwise.
bool TryEncodeDate(int32_t year, int32_t month, int32_t day, TDateTime& result);
// As TryEncodeDate, raising ChartException(kInvalidDateEncode) for an invalid date.
TDateTime EncodeDate(int32_t year, int32_t month, int32_t day);

// Hour 0..23, minute and second 0..59, millisecond 0..999.
bool TryEncodeTime(int32_t hour, int32_t minute, int32_t second, int32_t msec, TDateTime& result);
TDateTime EncodeTime(int32_t hour, int32_t minute, int32_t second, int32_t msec);

// A whole-day date plus a time of day in 0..1, honouring the encoding before 1899-12-30.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

// True when the value is a number whose date lies in 0001-01-01 .. 9999-12-31.
bool IsValidDateTime(TDateTime value);

// The calendar date; the time is rounded to the millisecond first, so 0.9999999999 is the next
// day. False, and zeros, for a value outside the valid range.
bool DecodeDate(TDateTime value, int32_t& year, int32_t& month, int32_t& day);
// The time of day, rounded to the millisecond; zeros for a value that is not a number.
void DecodeTime(TDateTime value, int32_t& hour, int32_t& minute, int32_t& second, int32_t& msec);
// 1 = Sunday .. 7 = Saturday; 0 for an invalid value.
int32_t DayOfWeek(TDateTime value);

// Formats a date-time; the letters are case-insensitive:
//   c       short date, then a blank and the long time unless the time is midnight
//   d dd    day;  ddd dddd  short / long day name;  ddddd (and longer) the short date format
//   m mm    month (minutes right after an h or hh);  mmm mmmm  short / long month name
//   yy yyyy year;  h hh  hour;  n nn  minute;  s ss  second;  z zzz  milliseconds
//   t tt    short / long time format;  am/pm a/p  the letters as written;  ampm  the locale's
//           AM/PM strings (each switches the preceding h to the 12-hour clock)
//   /  :    the locale's date and time separators;  'x' "x"  literal text
// An empty format means "c". An invalid value gives an empty text.
std::string FormatDateTime(std::string_view format, TDateTime value,
                           const platform::LocaleSettings& locale);

// The locale's long time format without its seconds ("h:mm:ss AMPM" -> "h:mm AMPM").
std::string ShortTimeFormat(const platform::LocaleSettings& locale);

// ---- calendar steps ---------------------------------------------------------------------
// They keep the time of day. Outside the valid date range (or when the result would leave it)
// they step by the fixed lengths of the axis' step table instead (half month 15 days, month 30,
// year 365), so a stepping loop always moves and never faults.

// Adds months, clamping the day to the target month's length (Jan 31 + 1 month = Feb 28/29).
TDateTime IncMonth(TDateTime value, int32_t months);
// Adds years (Feb 29 + 1 year = Feb 28).
TDateTime IncYear(TDateTime value, int32_t years);
// One half month on the 1st/15th grid. Forward: before the 15th to the 15th, else to the 1st of
// the next month. Back: after the 15th to the 15th, the 2nd..15th to the 1st, the 1st to the 15th
// of the previous month.
TDateTime IncHalfMonth(TDateTime value, bool forward);
// Day 1 of the month `months` away (crossing years).
TDateTime IncMonthToFirst(TDateTime value, int32_t months);

// Rounding down on the calendar, to midnight of the same day. Invalid values are unchanged.
TDateTime StartOfTheDay(TDateTime value);
TDateTime StartOfTheHalfMonth(TDateTime value);  // the 1st or the 15th
TDateTime StartOfTheMonth(TDateTime value);
TDateTime StartOfTheYear(TDateTime value);

}  // namespace zq
