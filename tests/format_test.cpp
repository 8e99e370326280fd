#include "engine/data/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/drawing/errors.h"

namespace zq {
namespace {

const platform::LocaleSettings kEn = platform::LocaleByName("en-US");
const platform::LocaleSettings kRu = platform::LocaleByName("ru-RU");
const std::string kNbsp = "\xC2\xA0";

std::string En(const char* format, double value) {
  return FormatFloat(format, value, kEn);
}

// ---- numbers ----------------------------------------------------------------------------

TEST(FormatFloat, DefaultValueFormatUsesTheLocaleSeparators) {
  EXPECT_EQ(FormatFloat(kDefaultValueFormat, 1234.5, kEn), "1,234.5");
  EXPECT_EQ(FormatFloat(kDefaultValueFormat, 1234.5, kRu), "1" + kNbsp + "234,5");
  EXPECT_EQ(FormatFloat(kDefaultValueFormat, 1234567.891, kRu),
            "1" + kNbsp + "234" + kNbsp + "567,891");
  EXPECT_EQ(En(kDefaultValueFormat, 0), "0");
  EXPECT_EQ(En(kDefaultValueFormat, 12), "12");
  EXPECT_EQ(En(kDefaultValueFormat, 999.9996), "1,000");  // no separator without a fraction
  EXPECT_EQ(En(kDefaultValueFormat, 0.0004), "0");
  EXPECT_EQ(En(kDefaultValueFormat, -1234.5), "-1,234.5");
  EXPECT_EQ(En(kDefaultValueFormat, -0.0004), "0");  // rounds to zero: no sign
  EXPECT_EQ(En(kDefaultValueFormat, 123456789), "123,456,789");
}

TEST(FormatFloat, PercentSignIsPlainTextAndDoesNotScale) {
  // Percentages arrive multiplied by 100; an all-zero series shows 100.
  EXPECT_EQ(FormatFloat(kDefaultPercentFormat, 100, kEn), "100 %");
  EXPECT_EQ(FormatFloat(kDefaultPercentFormat, 12.345, kEn), "12.35 %");
  EXPECT_EQ(FormatFloat(kDefaultPercentFormat, 12.345, kRu), "12,35 %");
  EXPECT_EQ(FormatFloat(kDefaultPercentFormat, 0, kEn), "0 %");
  EXPECT_EQ(FormatFloat(kDefaultPercentFormat, 0.5, kEn), "0.5 %");
  EXPECT_EQ(FormatFloat(kDefaultPercentFormat, 1234, kEn), "1234 %");
}

TEST(FormatFloat, RoundsHalfAwayFromZeroOnTheShownDigits) {
  EXPECT_EQ(En("0.00", 2.345), "2.35");
  EXPECT_EQ(En("0.00", -2.345), "-2.35");
  EXPECT_EQ(En("0.00", 1.005), "1.01");
  EXPECT_EQ(En("0", 2.5), "3");
  EXPECT_EQ(En("0", -2.5), "-3");
  EXPECT_EQ(En("0", 0.5), "1");
  EXPECT_EQ(En("0", 0.49), "0");
  EXPECT_EQ(En("0.0", 0.25), "0.3");
  EXPECT_EQ(En("0.0", 9.96), "10.0");
  EXPECT_EQ(En("0.##", 0.1 + 0.2), "0.3");
  EXPECT_EQ(En("0", 0.05), "0");
  EXPECT_EQ(En("0", 9007199254740992.0), "9007199254740992");
}

TEST(FormatFloat, ZeroAndHashPlaceholders) {
  EXPECT_EQ(En("000", 5), "005");
  EXPECT_EQ(En("0.000", 1.5), "1.500");
  EXPECT_EQ(En("0.0##", 1.5), "1.5");
  EXPECT_EQ(En("0.0##", 1.23456), "1.235");
  EXPECT_EQ(En("#.##", 0.5), ".5");
  EXPECT_EQ(En("#", 0), "");
  EXPECT_EQ(En("#0#", 5), "05");  // the leftmost 0 fixes the least integer digits
  EXPECT_EQ(En("0", 12345), "12345");
  EXPECT_EQ(En("#,0", 1234567), "1,234,567");
  EXPECT_EQ(En(".00", 12.5), "12.50");         // integer digits go before the point anyway
  EXPECT_EQ(En("0.00.0", 1.25), "1.250");      // later points are ignored
  EXPECT_EQ(En("0.0,0", 1234.5), "1,234.50");  // a comma anywhere turns grouping on
}

TEST(FormatFloat, LiteralsKeepTheirPlace) {
  EXPECT_EQ(En("'$'#,##0.00", 1234.5), "$1,234.50");
  EXPECT_EQ(En("'$'#,##0.00", -5), "-$5.00");
  EXPECT_EQ(En("\"#0.\"0", 3), "#0.3");
  EXPECT_EQ(En("000-0000", 5551234), "555-1234");
  EXPECT_EQ(En("0 'kg'", 3.4), "3 kg");
  EXPECT_EQ(En("0'", 3), "3");  // unterminated quote: the rest is text
  EXPECT_EQ(FormatFloat("0.0 \xE2\x82\xAC", 2.25, kRu), "2,3 \xE2\x82\xAC");  // UTF-8 text
}

TEST(FormatFloat, SectionsForPositiveNegativeAndZero) {
  const char* f = "0.0;(0.0);'zero'";
  EXPECT_EQ(En(f, 5), "5.0");
  EXPECT_EQ(En(f, -5), "(5.0)");
  EXPECT_EQ(En(f, 0), "zero");
  EXPECT_EQ(En(f, 0.01), "zero");  // rounds to zero
  EXPECT_EQ(En(f, -0.01), "zero");
  EXPECT_EQ(En(f, -0.0), "zero");
  // Two sections: the first also serves zero.
  EXPECT_EQ(En("0.0;'neg' 0", 0), "0.0");
  EXPECT_EQ(En("0.0;'neg' 0", -2), "neg 2");
  // Empty sections fall back to the positive one (with a minus for negatives).
  EXPECT_EQ(En("0.0;;'z'", -5), "-5.0");
  EXPECT_EQ(En("0.0;;'z'", 0), "z");
  EXPECT_EQ(En("0.0;'n';", 0), "0.0");
  EXPECT_EQ(En("';'0", 1), ";1");  // a quoted semicolon is text
}

TEST(FormatFloat, ScientificNotation) {
  EXPECT_EQ(En("0.###E+0", 1234.5), "1.235E+3");
  EXPECT_EQ(En("0.###E+0", 0.00012345), "1.235E-4");
  EXPECT_EQ(En("0.###E+0", 1), "1E+0");
  EXPECT_EQ(En("0.###E+0", 0), "0E+0");
  EXPECT_EQ(En("0.###E+0", -1234.5), "-1.235E+3");
  EXPECT_EQ(En("0.00E-00", 1234.5), "1.23E03");
  EXPECT_EQ(En("0.00E-00", 0.0012345), "1.23E-03");
  EXPECT_EQ(En("0.00e+0000", 5e100), "5.00e+0100");
  EXPECT_EQ(En("00.0E+0", 1234.5), "12.3E+2");
  EXPECT_EQ(En("0.0E+0", 9.96), "1.0E+1");
  EXPECT_EQ(FormatFloat("0.0E+0", 1e20, kRu), "1,0E+20");
  EXPECT_EQ(En("0.0E+0", 1e-300), "1.0E-300");
  EXPECT_EQ(En("0E", 5), "5E");  // an E without a sign is text
}

TEST(FormatFloat, GeneralFormatForEmptyPicturesAndHugeValues) {
  EXPECT_EQ(En("", 1234.5), "1234.5");
  EXPECT_EQ(FormatFloat("", 1234.5, kRu), "1234,5");
  EXPECT_EQ(En(";0", -2), "-2");
  EXPECT_EQ(En("#,##0", 1e20), "1E20");  // more than 18 integer digits
  EXPECT_EQ(En("#,##0", -1.5e25), "-1.5E25");
  EXPECT_EQ(En("#,##0", 1e17), "100,000,000,000,000,000");  // 18 digits still fit
  EXPECT_EQ(En("0", std::numeric_limits<double>::max()), "1.79769313486232E308");
  EXPECT_EQ(En("0", std::numeric_limits<double>::denorm_min()), "0");
}

TEST(FormatFloat, NonFiniteValues) {
  EXPECT_EQ(En(kDefaultValueFormat, std::nan("")), "NAN");
  EXPECT_EQ(En(kDefaultValueFormat, std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(En(kDefaultValueFormat, -std::numeric_limits<double>::infinity()), "-INF");
}

TEST(FloatToStr, FifteenSignificantDigits) {
  EXPECT_EQ(FloatToStr(0, kEn), "0");
  EXPECT_EQ(FloatToStr(-2.5, kEn), "-2.5");
  EXPECT_EQ(FloatToStr(0.1 + 0.2, kEn), "0.3");
  EXPECT_EQ(FloatToStr(1.0 / 3.0, kRu), "0,333333333333333");
  EXPECT_EQ(FloatToStr(0.00001, kEn), "0.00001");
  EXPECT_EQ(FloatToStr(1e-7, kEn), "1E-7");
  EXPECT_EQ(FloatToStr(1.5e20, kEn), "1.5E20");
  EXPECT_EQ(FloatToStr(123456789012345.0, kEn), "123456789012345");
  EXPECT_EQ(FloatToStr(1234567890123456.0, kEn), "1.23456789012346E15");
}

// ---- date-time encoding -----------------------------------------------------------------

TEST(DateTime, EncodesDaysSinceTheOrigin) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), kMinDateTime);
  EXPECT_EQ(EncodeDate(9999, 12, 31), std::floor(kMaxDateTime));
  EXPECT_EQ(EncodeDate(2024, 2, 29), 45351.0);
  EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / 86400000.0);
}

TEST(DateTime, InvalidEncodingRaisesAndTryReportsFalse) {
  TDateTime t = 7;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, t));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, t));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, t));
  EXPECT_FALSE(TryEncodeDate(2023, 13, 1, t));
  EXPECT_FALSE(TryEncodeDate(2023, 4, 31, t));
  EXPECT_FALSE(TryEncodeDate(2023, 4, 0, t));
  EXPECT_EQ(t, 7);
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, t));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, t));
  EXPECT_FALSE(TryEncodeTime(0, 0, -1, 0, t));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, t));
  EXPECT_EQ(t, 7);
  try {
    EncodeDate(1900, 2, 29);
    FAIL() << "no exception";
  } catch (const ChartException& e) {
    EXPECT_STREQ(e.what(), "Invalid argument to date encode");
  }
  try {
    EncodeTime(25, 0, 0, 0);
    FAIL() << "no exception";
  } catch (const ChartException& e) {
    EXPECT_STREQ(e.what(), "Invalid argument to time encode");
  }
}

TEST(DateTime, DecodesBeforeTheOriginWithTheTimeCountingForward) {
  int32_t y, m, d, h, n, s, ms;
  ASSERT_TRUE(DecodeDate(-1.25, y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
  DecodeTime(-1.25, h, n, s, ms);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0)), -1.25);
  EXPECT_EQ(ComposeDateTime(EncodeDate(1900, 1, 1), EncodeTime(6, 0, 0, 0)), 2.25);
}

TEST(DateTime, TimeRoundsToTheMillisecondAndCarriesIntoTheDate) {
  int32_t y, m, d, h, n, s, ms;
  ASSERT_TRUE(DecodeDate(0.9999999999, y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991231);
  DecodeTime(0.9999999999, h, n, s, ms);
  EXPECT_EQ(h + n + s + ms, 0);
  ASSERT_TRUE(DecodeDate(-0.9999999999, y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
  const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
  DecodeTime(t, h, n, s, ms);
  EXPECT_EQ(h, 14);
  EXPECT_EQ(n, 7);
  EXPECT_EQ(s, 9);
  EXPECT_EQ(ms, 45);
}

TEST(DateTime, EncodeDecodeRoundTripOverTheWholeRange) {
  for (int32_t year : {1, 2, 99, 100, 400, 1600, 1899, 1900, 1970, 2000, 2024, 2100, 9999}) {
    for (int32_t month = 1; month <= 12; ++month) {
      for (int32_t day : {1, 15, DaysInMonth(year, month)}) {
        int32_t y, m, d;
        TDateTime t = EncodeDate(year, month, day);
        ASSERT_TRUE(DecodeDate(t, y, m, d));
        EXPECT_EQ(y, year);
        EXPECT_EQ(m, month);
        EXPECT_EQ(d, day);
        ASSERT_TRUE(DecodeDate(ComposeDateTime(t, 0.5), y, m, d));
        EXPECT_EQ(d, day);
      }
    }
  }
  int32_t y = 0, m = 0, d = 0;
  for (TDateTime t = kMinDateTime; t < kMaxDateTime; t += 997) {  // consecutive days agree
    ASSERT_TRUE(DecodeDate(t, y, m, d));
    EXPECT_EQ(EncodeDate(y, m, d), t);
  }
}

TEST(DateTime, DayOfWeekIsOneForSunday) {
  EXPECT_EQ(DayOfWeek(0), 7);  // 1899-12-30, a Saturday
  EXPECT_EQ(DayOfWeek(1), 1);
  EXPECT_EQ(DayOfWeek(-1), 6);
  EXPECT_EQ(DayOfWeek(-1.25), 6);
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);  // Monday
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);     // Monday, proleptic
}

TEST(DateTime, OutOfRangeAndNonFiniteValuesAreRefusedQuietly) {
  const double huge[] = {1e300,
                         -1e300,
                         kMaxDateTime + 1,
                         kMinDateTime - 1,
                         std::nan(""),
                         std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity(),
                         1e16};
  for (double v : huge) {
    int32_t y = 1, m = 1, d = 1, h = 1, n = 1, s = 1, ms = 1;
    EXPECT_FALSE(IsValidDateTime(v)) << v;
    EXPECT_FALSE(DecodeDate(v, y, m, d)) << v;
    EXPECT_EQ(y + m + d, 0);
    DecodeTime(v, h, n, s, ms);
    if (!std::isfinite(v) || std::fabs(v) > 1e15) {
      EXPECT_EQ(h + n + s + ms, 0);  // no time of day to speak of
    }
    EXPECT_EQ(DayOfWeek(v), 0);
    EXPECT_EQ(FormatDateTime("c", v, kEn), "");
    EXPECT_EQ(FormatDateTime("hh:nn", v, kEn), "");
    // Calendar operations leave the value or step by fixed lengths; they never fault.
    if (std::isnan(v)) {
      EXPECT_TRUE(std::isnan(IncMonth(v, 1)));
      EXPECT_TRUE(std::isnan(StartOfTheMonth(v)));
    } else {
      EXPECT_EQ(StartOfTheDay(v), v);
      EXPECT_EQ(StartOfTheHalfMonth(v), v);
      EXPECT_EQ(StartOfTheMonth(v), v);
      EXPECT_EQ(StartOfTheYear(v), v);
      EXPECT_EQ(IncMonth(v, 2), v + 60);
      EXPECT_EQ(IncYear(v, -1), v - 365);
      EXPECT_EQ(IncHalfMonth(v, true), v + 15);
      EXPECT_EQ(IncMonthToFirst(v, -1), v - 30);
    }
  }
  // Leaving the calendar at its ends also steps by the fixed lengths, so loops keep moving.
  const TDateTime last = EncodeDate(9999, 12, 20);
  EXPECT_EQ(IncMonth(last, 1), last + 30);
  EXPECT_EQ(IncHalfMonth(last, true), last + 15);
  EXPECT_EQ(IncYear(EncodeDate(1, 6, 1), -1), EncodeDate(1, 6, 1) - 365);
  EXPECT_EQ(IncHalfMonth(EncodeDate(1, 1, 1), false), EncodeDate(1, 1, 1) - 15);
  EXPECT_TRUE(IsValidDateTime(kMaxDateTime));
  EXPECT_TRUE(IsValidDateTime(kMinDateTime));
  // Just outside the calendar the time of day still decodes.
  int32_t h, n, s, ms;
  DecodeTime(kMaxDateTime + 1, h, n, s, ms);
  EXPECT_EQ(h * 10000 + n * 100 + s, 235959);
}

// ---- FormatDateTime ---------------------------------------------------------------------

class FormatDateTimeTest : public ::testing::Test {
 protected:
  // Tuesday 2024-03-05 14:07:09.045
  const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
  std::string En(const char* f, TDateTime v) { return FormatDateTime(f, v, kEn); }
  std::string En(const char* f) { return FormatDateTime(f, t, kEn); }
  std::string Ru(const char* f) { return FormatDateTime(f, t, kRu); }
};

TEST_F(FormatDateTimeTest, ShortDateAndLongTimeOfTheLocale) {
  EXPECT_EQ(En("c"), "3/5/2024 2:07:09 PM");
  EXPECT_EQ(Ru("c"), "05.03.2024 14:07:09");
  EXPECT_EQ(En("", t), "3/5/2024 2:07:09 PM");             // empty means c
  EXPECT_EQ(En("c", EncodeDate(2024, 3, 5)), "3/5/2024");  // midnight: no time
  EXPECT_EQ(En("ddddd"), "3/5/2024");
  EXPECT_EQ(Ru("ddddd"), "05.03.2024");
  EXPECT_EQ(En("t"), "2:07 PM");
  EXPECT_EQ(Ru("t"), "14:07");
  EXPECT_EQ(En("tt"), "2:07:09 PM");
  EXPECT_EQ(Ru("tt"), "14:07:09");
  EXPECT_EQ(ShortTimeFormat(kEn), "h:mm AMPM");
  EXPECT_EQ(ShortTimeFormat(kRu), "H:mm");
}

TEST_F(FormatDateTimeTest, DateSpecifiers) {
  EXPECT_EQ(En("d dd ddd dddd"), "5 05 Tue Tuesday");
  EXPECT_EQ(Ru("ddd dddd"), "Вт вторник");
  EXPECT_EQ(En("m mm mmm mmmm"), "3 03 Mar March");
  EXPECT_EQ(Ru("mmm mmmm"), "мар Март");
  EXPECT_EQ(En("yy yyyy"), "24 2024");
  EXPECT_EQ(En("yyyy", EncodeDate(5, 1, 1)), "0005");
  EXPECT_EQ(En("yy", EncodeDate(2005, 1, 1)), "05");
  EXPECT_EQ(En("m/d/yy"), "3/5/24");
  EXPECT_EQ(Ru("dd/mm/yyyy"), "05.03.2024");  // / is the locale's date separator
  EXPECT_EQ(En("DD.MM.YYYY"), "05.03.2024");  // letters in either case
  EXPECT_EQ(En("dddd, mmmm d, yyyy"), "Tuesday, March 5, 2024");
}

TEST_F(FormatDateTimeTest, TimeSpecifiers) {
  EXPECT_EQ(En("h hh n nn s ss"), "14 14 7 07 9 09");
  EXPECT_EQ(En("hh:nn:ss.zzz"), "14:07:09.045");
  EXPECT_EQ(En("z"), "45");
  EXPECT_EQ(En("hh:mm"), "14:07");        // m after h is the minute
  EXPECT_EQ(En("h 'x' m"), "14 x 7");     // quoted text does not break the pair
  EXPECT_EQ(En("hh:mm:mm"), "14:07:03");  // only the first m after h
  EXPECT_EQ(En("h:nn am/pm"), "2:07 pm");
  EXPECT_EQ(En("h:nn AM/PM"), "2:07 PM");
  EXPECT_EQ(En("h:nn a/p"), "2:07 p");
  EXPECT_EQ(En("h:nn A/P"), "2:07 P");
  EXPECT_EQ(En("h:nn ampm"), "2:07 PM");
  EXPECT_EQ(En("h am/pm", EncodeDate(2024, 3, 5)), "12 am");
  EXPECT_EQ(En("h am/pm", EncodeTime(12, 30, 0, 0)), "12 pm");
  EXPECT_EQ(En("am/pm h"), "pm 2");        // a marker before the hour counts too
  EXPECT_EQ(En("h 'am/pm'"), "14 am/pm");  // quoted markers do not
  EXPECT_EQ(En("h:nn ampm", EncodeTime(9, 5, 0, 0)), "9:05 AM");
  EXPECT_EQ(Ru("h:nn ampm"), "2:07 ");  // 12-hour clock, but the locale has no markers
  EXPECT_EQ(En("h:nn:ss", 0.5 + 1.0 / 86400000.0 * 0.4), "12:00:00");
}

TEST_F(FormatDateTimeTest, LiteralsAndOtherCharacters) {
  EXPECT_EQ(En("'Date:' yyyy"), "Date: 2024");
  EXPECT_EQ(En("\"d\" d"), "d 5");
  EXPECT_EQ(En("yyyy-mm-dd"), "2024-03-05");
  EXPECT_EQ(En("yyyy 'unterminated"), "2024 unterminated");
  EXPECT_EQ(En("aaa aaaa"), "Tue Tuesday");
  EXPECT_EQ(En("x q"), "x q");
  EXPECT_EQ(Ru("d mmmm yyyy \xD0\xB3."), "5 Март 2024 г.");
}

TEST_F(FormatDateTimeTest, DatesBeforeTheOrigin) {
  EXPECT_EQ(En("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
  EXPECT_EQ(En("yyyy-mm-dd", kMinDateTime), "0001-01-01");
  EXPECT_EQ(En("yyyy-mm-dd hh:nn:ss.zzz", kMaxDateTime), "9999-12-31 23:59:59.999");
}

// ---- calendar steps ---------------------------------------------------------------------

TDateTime D(int32_t y, int32_t m, int32_t d) {
  return EncodeDate(y, m, d);
}

TEST(CalendarSteps, IncMonthClampsTheDayAndKeepsTheTime) {
  EXPECT_EQ(IncMonth(D(2024, 1, 31), 1), D(2024, 2, 29));
  EXPECT_EQ(IncMonth(D(2023, 1, 31), 1), D(2023, 2, 28));
  EXPECT_EQ(IncMonth(D(2024, 3, 31), -1), D(2024, 2, 29));
  EXPECT_EQ(IncMonth(D(2023, 12, 15), 1), D(2024, 1, 15));
  EXPECT_EQ(IncMonth(D(2024, 1, 15), -13), D(2022, 12, 15));
  EXPECT_EQ(IncMonth(D(2024, 1, 15), 0), D(2024, 1, 15));
  EXPECT_EQ(IncMonth(D(2024, 1, 31) + 0.25, 1), D(2024, 2, 29) + 0.25);
  // Before the origin the time still counts forward from midnight.
  EXPECT_EQ(IncMonth(ComposeDateTime(D(1899, 12, 15), 0.25), 1), D(1900, 1, 15) + 0.25);
  EXPECT_EQ(IncMonth(D(1900, 1, 15) + 0.25, -1), ComposeDateTime(D(1899, 12, 15), 0.25));
}

TEST(CalendarSteps, IncYear) {
  EXPECT_EQ(IncYear(D(2024, 2, 29), 1), D(2025, 2, 28));
  EXPECT_EQ(IncYear(D(2024, 2, 29), 4), D(2028, 2, 29));
  EXPECT_EQ(IncYear(D(2024, 7, 1), -125), D(1899, 7, 1));
}

TEST(CalendarSteps, HalfMonthsMoveOnTheFirstAndFifteenth) {
  EXPECT_EQ(IncHalfMonth(D(2024, 3, 1), true), D(2024, 3, 15));
  EXPECT_EQ(IncHalfMonth(D(2024, 3, 10), true), D(2024, 3, 15));
  EXPECT_EQ(IncHalfMonth(D(2024, 3, 15), true), D(2024, 4, 1));
  EXPECT_EQ(IncHalfMonth(D(2024, 3, 20), true), D(2024, 4, 1));
  EXPECT_EQ(IncHalfMonth(D(2024, 12, 20), true), D(2025, 1, 1));
  EXPECT_EQ(IncHalfMonth(D(2024, 3, 20), false), D(2024, 3, 15));
  EXPECT_EQ(IncHalfMonth(D(2024, 3, 15), false), D(2024, 3, 1));
  EXPECT_EQ(IncHalfMonth(D(2024, 3, 2), false), D(2024, 3, 1));
  EXPECT_EQ(IncHalfMonth(D(2024, 3, 1), false), D(2024, 2, 15));
  EXPECT_EQ(IncHalfMonth(D(2024, 1, 1), false), D(2023, 12, 15));
}

TEST(CalendarSteps, MonthStepsGoToTheFirstDay) {
  EXPECT_EQ(IncMonthToFirst(D(2024, 1, 20), 1), D(2024, 2, 1));
  EXPECT_EQ(IncMonthToFirst(D(2024, 1, 20), -1), D(2023, 12, 1));
  EXPECT_EQ(IncMonthToFirst(D(2024, 1, 1), 12), D(2025, 1, 1));
  EXPECT_EQ(IncMonthToFirst(D(2024, 11, 30), 6), D(2025, 5, 1));
  EXPECT_EQ(IncMonthToFirst(D(2024, 3, 1), -26), D(2022, 1, 1));
}

TEST(CalendarSteps, RoundingDown) {
  EXPECT_EQ(StartOfTheDay(D(2024, 3, 5) + 0.75), D(2024, 3, 5));
  EXPECT_EQ(StartOfTheDay(-1.25), -1.0);
  EXPECT_EQ(StartOfTheDay(D(2024, 3, 5) + 0.9999999999), D(2024, 3, 6));
  EXPECT_EQ(StartOfTheHalfMonth(D(2024, 3, 20) + 0.5), D(2024, 3, 15));
  EXPECT_EQ(StartOfTheHalfMonth(D(2024, 3, 15)), D(2024, 3, 15));
  EXPECT_EQ(StartOfTheHalfMonth(D(2024, 3, 14)), D(2024, 3, 1));
  EXPECT_EQ(StartOfTheMonth(D(2024, 3, 31) + 0.5), D(2024, 3, 1));
  EXPECT_EQ(StartOfTheYear(D(2024, 12, 31) + 0.5), D(2024, 1, 1));
  EXPECT_EQ(StartOfTheYear(-1.25), D(1899, 1, 1));
}

TEST(CalendarSteps, MonthLengths) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2024, 0), 0);
  EXPECT_EQ(DaysInMonth(2024, 13), 0);
}

}  // namespace
}  // namespace zq
