#include "platform/row_deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using zq::platform::RowDeflater;

// Codes `rows` rows of `rowBytes` bytes that `fill(row, y)` writes, and reads the stream back
// with zlib: the bytes must come back as they went in.
void ExpectRoundTrip(size_t rowBytes, size_t rows,
                     const std::function<void(uint8_t*, size_t)>& fill) {
  std::vector<uint8_t> stream = {'x', 'y'}, plain;
  RowDeflater deflater(rowBytes, stream);
  for (size_t y = 0; y < rows; ++y) {
    uint8_t* row = deflater.NextRow();
    fill(row, y);
    plain.insert(plain.end(), row, row + rowBytes);
    deflater.AddRow();
  }
  deflater.Finish();
  ASSERT_EQ(std::string(stream.begin(), stream.begin() + 2), "xy") << "appended after the start";
  std::vector<uint8_t> back(plain.size() + 1);
  uLongf size = back.size();
  ASSERT_EQ(uncompress(back.data(), &size, stream.data() + 2, uLong(stream.size() - 2)), Z_OK);
  back.resize(size);
  EXPECT_TRUE(back == plain);
}

TEST(RowDeflater, RowsComeBackByteForByte) {
  std::mt19937 random(11);
  // Bytes whose frequencies halve from one value to the next: the best code for them is far
  // deeper than deflate's 15 bits.
  auto skewed = [&random] {
    uint8_t value = 0;
    while (value < 40 && random() % 2) ++value;
    return value;
  };
  const struct {
    const char* what;
    size_t rowBytes, rows;
    std::function<void(uint8_t*, size_t)> fill;
  } cases[] = {
      {"one byte a row", 1, 50, [](uint8_t* row, size_t y) { row[0] = uint8_t(y / 7); }},
      {"rows shorter than a pixel pair", 5, 40,
       [](uint8_t* row, size_t y) {
         for (size_t i = 0; i < 5; ++i) row[i] = uint8_t(i == y % 5 ? 9 : 0);
       }},
      {"runs of bytes, pixels and pixel pairs", 601, 30,
       [](uint8_t* row, size_t y) {
         for (size_t i = 0; i < 601; ++i)
           row[i] = i < 200 ? 0 : i < 400 ? uint8_t(i % 3 * 80) : uint8_t((i / 3 + y) % 2 * 255);
       }},
      {"noise", 1000, 40,
       [&random](uint8_t* row, size_t) {
         for (size_t i = 0; i < 1000; ++i) row[i] = uint8_t(random());
       }},
      {"skewed bytes, several blocks", 4000, 40,
       [&](uint8_t* row, size_t) {
         for (size_t i = 0; i < 4000; ++i) row[i] = skewed();
       }},
      // A row's second half repeats its first from beyond the 32K window.
      {"repeats out of reach", 80002, 3,
       [&random](uint8_t* row, size_t) {
         for (size_t i = 0; i < 40001; ++i) row[i] = row[i + 40001] = uint8_t(random());
       }},
      {"no rows", 10, 0, [](uint8_t*, size_t) {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRoundTrip(c.rowBytes, c.rows, c.fill);
  }
}

// Codes of the lengths given are complete (every bit string starts a code), no longer than
// the limit, and a more frequent symbol never has the longer code.
TEST(RowDeflater, CodeLengthsFitTheirLimitAndAreComplete) {
  std::vector<uint32_t> fibonacci = {1, 1};
  while (fibonacci.size() < 30) fibonacci.push_back(fibonacci.end()[-1] + fibonacci.end()[-2]);
  const struct {
    const char* what;
    std::vector<uint32_t> frequency;
    int limit;
  } cases[] = {
      // The best code for these is 29 bits deep.
      {"Fibonacci frequencies", fibonacci, 15},
      {"code length codes", {0, 5, 1, 90, 3, 3, 0, 0, 7, 1, 0, 0, 0, 0, 0, 0, 40, 2, 1}, 7},
      {"one symbol used", {0, 0, 8, 0}, 15},
      {"none used", {0, 0, 0}, 15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> lengths(c.frequency.size(), 99);
    zq::platform::HuffmanCodeLengths(c.frequency.data(), c.frequency.size(), c.limit,
                                     lengths.data());
    double kraft = 0;
    for (size_t s = 0; s < lengths.size(); ++s) {
      EXPECT_LE(lengths[s], c.limit);
      if (c.frequency[s] > 0) {
        EXPECT_GT(lengths[s], 0);
      }
      if (lengths[s] > 0) kraft += std::ldexp(1.0, -lengths[s]);
      for (size_t t = 0; t < lengths.size(); ++t) {
        if (c.frequency[s] > c.frequency[t] && c.frequency[t] > 0) {
          EXPECT_LE(lengths[s], lengths[t]);
        }
      }
    }
    EXPECT_EQ(kraft, 1.0);
  }
}

}  // namespace
