// A deflate coder made for the filtered rows of a chart picture, several times faster than
// zlib's fastest level at about its size: a chart's rows are mostly runs once filtered, and
// what repeats repeats within a row (dotted grid lines, the cells of a grid), so each byte is
// coded as a literal or as part of a copy from earlier in its row: 1, 3 or 6 bytes back (runs
// of a byte, a pixel, two pixels) or from where its next four bytes were last seen. Each block
// gets Huffman codes made for its symbols. The result is a zlib stream, as PNG wants it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zq::platform {

class RowDeflater {
 public:
  // Rows of `rowBytes` bytes each; the stream is appended to `out`.
  RowDeflater(size_t rowBytes, std::vector<uint8_t>& out);
  // Where the next row is to be written.
  uint8_t* NextRow() { return row_.data(); }
  // Codes the row written at NextRow().
  void AddRow();
  // Ends the stream. No row may follow.
  void Finish();

 private:
  void Literal(uint8_t byte);
  void Copy(size_t length, size_t distance);
  void WriteBlock(bool last);
  void Put(uint32_t bits, int count);

  size_t rowBytes_;
  std::vector<uint8_t>& out_;
  // The row, and room for reading a word past its end.
  std::vector<uint8_t> row_;
  uint32_t rowNumber_ = 0;
  // The last place in the row where each hash of four bytes was seen.
  static constexpr int kHashBits = 12;
  struct HashEntry {
    uint32_t row = 0, at = 0;
  };
  std::vector<HashEntry> hash_ = std::vector<HashEntry>(size_t(1) << kHashBits);
  // The current block's symbols: a literal byte, or a copy's length and distance above bit 8.
  std::vector<uint32_t> symbols_;
  uint32_t literalFrequency_[286] = {};
  uint32_t distanceFrequency_[30] = {};
  uint64_t bits_ = 0;
  int bitCount_ = 0;
  uint32_t adler_ = 1;
};

// Huffman code lengths of at most `limit` bits for `count` symbols of the given frequencies
// (0 for unused symbols, which get no code). Where the best code is too deep, the frequencies
// are flattened until it fits. At least two symbols get a code, so that every code is complete.
void HuffmanCodeLengths(const uint32_t* frequency, size_t count, int limit, uint8_t* lengths);

}  // namespace zq::platform
