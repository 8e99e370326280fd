#include "platform/row_deflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace zq::platform {

namespace {

static_assert(std::endian::native == std::endian::little);

constexpr size_t kMaxCopy = 258, kWindow = 32768, kBlockSymbols = 1 << 15;
constexpr size_t kMinCopy = 3;
// A copy this long from the distance that served last is taken without trying the others.
constexpr size_t kGoodCopy = 32;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

// The length code (0-28) of each copy length 3-258.
constexpr std::array<uint8_t, 259> kLengthCode = [] {
  std::array<uint8_t, 259> codes{};
  uint8_t code = 0;
  for (size_t length = 3; length <= kMaxCopy; ++length) {
    while (code < 28 && kLengthBase[code + 1] <= length) ++code;
    codes[length] = code;
  }
  return codes;
}();

// Distance code (0-29) of a distance 1-32768, with its count of extra bits and their value.
struct DistanceCode {
  uint32_t code, extraBits, extra;
};
DistanceCode CodeOfDistance(size_t distance) {
  const auto d = uint32_t(distance - 1);
  if (d < 4) return {d, 0, 0};
  const auto top = uint32_t(std::bit_width(d) - 1);  // d's highest bit, at least 2
  const uint32_t extraBits = top - 1, code = 2 * top + ((d >> extraBits) & 1);
  return {code, extraBits, d & ((1u << extraBits) - 1)};
}

// The length of the common start of `a` and `b`, at most `limit`. Reads up to 8 bytes past
// `limit` (the rows keep room for that): most tries fail in their first bytes, and those are
// told without a branch.
size_t CommonLength(const uint8_t* a, const uint8_t* b, size_t limit) {
  uint64_t x, y;
  std::memcpy(&x, a, 8);
  std::memcpy(&y, b, 8);
  const uint64_t diff = x ^ y;
  size_t n = diff ? size_t(std::countr_zero(diff)) / 8 : 8;
  if (n == 8) {
    while (n < limit) {
      std::memcpy(&x, a + n, 8);
      std::memcpy(&y, b + n, 8);
      if (x != y) {
        n += size_t(std::countr_zero(x ^ y)) / 8;
        break;
      }
      n += 8;
    }
  }
  return std::min(n, limit);
}

// The extra bits that follow the code of a distance 1-32768.
int DistanceExtraBits(size_t distance) {
  return std::max(int(std::bit_width(distance - 1)) - 2, 0);
}

// The canonical codes of the given lengths, bit-reversed as deflate sends them.
void CanonicalCodes(const uint8_t* lengths, size_t count, uint16_t* codes) {
  uint32_t perLength[16] = {}, next[16] = {};
  for (size_t s = 0; s < count; ++s) ++perLength[lengths[s]];
  perLength[0] = 0;
  for (int bits = 1; bits < 16; ++bits) next[bits] = (next[bits - 1] + perLength[bits - 1]) << 1;
  for (size_t s = 0; s < count; ++s) {
    const int bits = lengths[s];
    if (bits == 0) continue;
    uint32_t code = next[bits]++, reversed = 0;
    for (int i = 0; i < bits; ++i, code >>= 1) reversed = (reversed << 1) | (code & 1);
    codes[s] = uint16_t(reversed);
  }
}

// zlib's checksum of the data, 16 bytes at a time in columns that compilers turn into vector
// instructions: the sum of each column, and the sum of those sums before each block, give the
// checksum's weighted sum at the end of a run of blocks short enough not to overflow.
uint32_t Adler32(uint32_t adler, const uint8_t* p, size_t n) {
  constexpr uint32_t kBase = 65521;
  constexpr size_t kMostBlocks = 5552 / 16;
  uint64_t a = adler & 0xFFFF, b = adler >> 16;
  while (n >= 16) {
    const size_t blocks = std::min(n / 16, kMostBlocks);
    uint32_t column[16] = {}, before[16] = {};
    for (size_t j = 0; j < blocks; ++j, p += 16) {
      for (int k = 0; k < 16; ++k) {
        before[k] += column[k];
        column[k] += p[k];
      }
    }
    n -= blocks * 16;
    uint64_t sum = 0, weighted = 0, earlier = 0;
    for (int k = 0; k < 16; ++k) {
      sum += column[k];
      weighted += uint64_t(16 - k) * column[k];
      earlier += before[k];
    }
    b = (b + 16 * (blocks * a + earlier) + weighted) % kBase;
    a = (a + sum) % kBase;
  }
  for (; n > 0; --n, ++p) {
    a += *p;
    b += a;
  }
  return uint32_t(b % kBase) << 16 | uint32_t(a % kBase);
}

}  // namespace

void HuffmanCodeLengths(const uint32_t* frequency, size_t count, int limit, uint8_t* lengths) {
  std::vector<uint32_t> weight(frequency, frequency + count);
  size_t used = size_t(std::count_if(weight.begin(), weight.end(), [](uint32_t w) { return w; }));
  for (size_t s = 0; used < 2 && s < count; ++s)
    if (weight[s] == 0) weight[s] = 1, ++used;
  struct Node {
    uint64_t weight;
    uint32_t symbol;
  };
  std::vector<Node> leaves;
  std::vector<uint64_t> inner;
  std::vector<uint32_t> parent, depth;
  for (;;) {
    leaves.clear();
    for (size_t s = 0; s < count; ++s)
      if (weight[s]) leaves.push_back({weight[s], uint32_t(s)});
    // Flattened weights tie where frequencies differed: the rarer symbol goes first, deeper.
    std::sort(leaves.begin(), leaves.end(), [frequency](const Node& a, const Node& b) {
      return a.weight != b.weight ? a.weight < b.weight : frequency[a.symbol] < frequency[b.symbol];
    });
    // Two queues: the sorted leaves and the inner nodes, which are made in order of weight.
    // Nodes are numbered leaves first, then inner nodes.
    const size_t n = leaves.size();
    inner.assign(n - 1, 0);
    parent.assign(2 * n - 1, 0);
    size_t nextLeaf = 0, nextInner = 0;
    auto take = [&](size_t made) {
      if (nextLeaf < n && (nextInner >= made || leaves[nextLeaf].weight <= inner[nextInner])) {
        const size_t leaf = nextLeaf++;
        return std::pair{leaves[leaf].weight, leaf};
      }
      const size_t node = nextInner++;
      return std::pair{inner[node], n + node};
    };
    for (size_t made = 0; made < n - 1; ++made) {
      const auto [wa, a] = take(made);
      const auto [wb, b] = take(made);
      inner[made] = wa + wb;
      parent[a] = parent[b] = uint32_t(n + made);
    }
    depth.assign(2 * n - 1, 0);
    int deepest = 0;
    for (size_t node = 2 * n - 2; node-- > 0;) {
      depth[node] = depth[parent[node]] + 1;
      deepest = std::max(deepest, int(depth[node]));
    }
    if (deepest <= limit) {
      std::fill(lengths, lengths + count, uint8_t(0));
      for (size_t i = 0; i < n; ++i) lengths[leaves[i].symbol] = uint8_t(depth[i]);
      return;
    }
    for (uint32_t& w : weight)
      if (w) w = (w >> 1) | 1;
  }
}

RowDeflater::RowDeflater(size_t rowBytes, std::vector<uint8_t>& out)
    : rowBytes_(rowBytes), out_(out), row_(rowBytes + 8) {
  symbols_.reserve(kBlockSymbols);
  out_.push_back(0x78);  // deflate with a 32K window
  out_.push_back(0x01);  // the fastest level; the header's check
}

void RowDeflater::Literal(uint8_t byte) {
  symbols_.push_back(byte);
  ++literalFrequency_[byte];
}

void RowDeflater::Copy(size_t length, size_t distance) {
  symbols_.push_back(uint32_t(length) << 16 | uint32_t(distance - 1) | 0x8000'0000u);
  ++literalFrequency_[257 + kLengthCode[length]];
  ++distanceFrequency_[CodeOfDistance(distance).code];
}

void RowDeflater::AddRow() {
  const uint8_t* row = row_.data();
  adler_ = Adler32(adler_, row, rowBytes_);
  ++rowNumber_;
  size_t lastDistance = 1;
  for (size_t at = 0; at < rowBytes_;) {
    const size_t limit = std::min(kMaxCopy, rowBytes_ - at);
    size_t best = 0, bestDistance = 0;
    int bestGain = 0;
    // A copy's gain over literals, roughly in bits: the extra bits of its distance are paid in
    // full, its codes are usually short and a literal takes about six bits.
    auto consider = [&](size_t distance) {
      if (distance > at || distance > kWindow) return;
      const size_t n = CommonLength(row + at, row + at - distance, limit);
      const int gain = int(n) * 6 - 10 - DistanceExtraBits(distance);
      if (n >= kMinCopy && gain > bestGain) best = n, bestDistance = distance, bestGain = gain;
    };
    consider(lastDistance);
    uint32_t key = 0;
    std::memcpy(&key, row + at, 4);
    HashEntry& seen = hash_[(key * 2654435761u) >> (32 - kHashBits)];
    if (best < kGoodCopy && best < limit) {
      for (const size_t d : {size_t(1), size_t(3), size_t(6)})
        if (d != lastDistance) consider(d);
      if (seen.row == rowNumber_) consider(at - seen.at);
    }
    seen = {rowNumber_, uint32_t(at)};
    if (best > 0) {
      Copy(best, bestDistance);
      lastDistance = bestDistance;
      at += best;
    } else {
      Literal(row[at]);
      ++at;
    }
  }
  if (symbols_.size() + rowBytes_ > kBlockSymbols) WriteBlock(false);
}

void RowDeflater::Finish() {
  WriteBlock(true);
  for (; bitCount_ > 0; bitCount_ -= 8, bits_ >>= 8) out_.push_back(uint8_t(bits_));
  bitCount_ = 0;
  for (int i = 3; i >= 0; --i) out_.push_back(uint8_t(adler_ >> (8 * i)));
}

void RowDeflater::Put(uint32_t bits, int count) {
  bits_ |= uint64_t(bits) << bitCount_;
  bitCount_ += count;
  if (bitCount_ >= 32) {
    const size_t at = out_.size();
    out_.resize(at + 4);
    const auto word = uint32_t(bits_);
    std::memcpy(out_.data() + at, &word, 4);
    bits_ >>= 32;
    bitCount_ -= 32;
  }
}

void RowDeflater::WriteBlock(bool last) {
  ++literalFrequency_[256];
  uint8_t lengths[286 + 30] = {};
  uint8_t* distanceLengths = lengths + 286;
  HuffmanCodeLengths(literalFrequency_, 286, 15, lengths);
  HuffmanCodeLengths(distanceFrequency_, 30, 15, distanceLengths);
  size_t literals = 286, distances = 30;
  while (literals > 257 && lengths[literals - 1] == 0) --literals;
  while (distances > 1 && distanceLengths[distances - 1] == 0) --distances;
  // The code lengths of both codes in one sequence, runs of zeros and repeats shortened
  // (symbols 16: repeat the last 3-6 times, 17: 3-10 zeros, 18: 11-138 zeros).
  uint8_t sequence[286 + 30];
  std::memcpy(sequence, lengths, literals);
  std::memcpy(sequence + literals, distanceLengths, distances);
  const size_t total = literals + distances;
  struct Item {
    uint8_t symbol, extra;
  };
  std::vector<Item> items;
  uint32_t itemFrequency[19] = {};
  for (size_t i = 0; i < total;) {
    const uint8_t value = sequence[i];
    size_t run = 1;
    while (i + run < total && sequence[i + run] == value) ++run;
    size_t left = run;
    if (value == 0) {
      while (left >= 11) {
        const size_t n = std::min<size_t>(left, 138);
        items.push_back({18, uint8_t(n - 11)});
        left -= n;
      }
      if (left >= 3) items.push_back({17, uint8_t(left - 3)}), left = 0;
    } else {
      items.push_back({value, 0});
      --left;
      while (left >= 3) {
        const size_t n = std::min<size_t>(left, 6);
        items.push_back({16, uint8_t(n - 3)});
        left -= n;
      }
    }
    for (; left > 0; --left) items.push_back({value, 0});
    i += run;
  }
  for (const Item& item : items) ++itemFrequency[item.symbol];
  uint8_t itemLengths[19];
  uint16_t itemCodes[19] = {};
  HuffmanCodeLengths(itemFrequency, 19, 7, itemLengths);
  CanonicalCodes(itemLengths, 19, itemCodes);
  static constexpr uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                         11, 4,  12, 3, 13, 2, 14, 1, 15};
  size_t sent = 19;
  while (sent > 4 && itemLengths[kOrder[sent - 1]] == 0) --sent;

  Put(last ? 1 : 0, 1);
  Put(2, 2);  // Huffman codes of the block's own
  Put(uint32_t(literals - 257), 5);
  Put(uint32_t(distances - 1), 5);
  Put(uint32_t(sent - 4), 4);
  for (size_t i = 0; i < sent; ++i) Put(itemLengths[kOrder[i]], 3);
  static constexpr uint8_t kItemExtra[3] = {2, 3, 7};
  for (const Item& item : items) {
    Put(itemCodes[item.symbol], itemLengths[item.symbol]);
    if (item.symbol >= 16) Put(item.extra, kItemExtra[item.symbol - 16]);
  }

  uint16_t codes[286 + 30] = {};
  uint16_t* distanceCodes = codes + 286;
  CanonicalCodes(lengths, 286, codes);
  CanonicalCodes(distanceLengths, 30, distanceCodes);
  for (const uint32_t symbol : symbols_) {
    if (symbol < 256) {
      Put(codes[symbol], lengths[symbol]);
      continue;
    }
    const size_t length = symbol >> 16 & 0x1FF;
    const uint8_t code = kLengthCode[length];
    Put(codes[257 + code], lengths[257 + code]);
    Put(uint32_t(length - kLengthBase[code]), kLengthExtra[code]);
    const DistanceCode d = CodeOfDistance((symbol & 0xFFFF) + 1);
    Put(distanceCodes[d.code], distanceLengths[d.code]);
    Put(d.extra, int(d.extraBits));
  }
  Put(codes[256], lengths[256]);
  symbols_.clear();
  std::fill(std::begin(literalFrequency_), std::end(literalFrequency_), 0u);
  std::fill(std::begin(distanceFrequency_), std::end(distanceFrequency_), 0u);
}

}  // namespace zq::platform
