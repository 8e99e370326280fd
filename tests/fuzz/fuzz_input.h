// Turns a fuzzer's bytes into decisions. When the bytes run out every read answers zero or an
// empty text, so that any input, however short, is a complete run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zq::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return used_ >= size_; }

  uint8_t Byte() { return Empty() ? 0 : data_[used_++]; }

  // A value from 0 to n - 1 (n > 0).
  uint32_t Below(uint32_t n) {
    const uint32_t v = n > 256 ? uint32_t(Byte()) << 8 | Byte() : Byte();
    return v % n;
  }

  // A text of at most maxLength bytes, its length read first.
  std::string Text(size_t maxLength) {
    size_t length = Byte();
    if (length > maxLength) length = maxLength;
    if (length > size_ - used_) length = size_ - used_;
    std::string text(reinterpret_cast<const char*>(data_ + used_), length);
    used_ += length;
    return text;
  }

  // Everything not read yet.
  std::string Rest() {
    std::string text(reinterpret_cast<const char*>(data_ + used_), size_ - used_);
    used_ = size_;
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t used_ = 0;
};

// Stops the run when a harness's own check fails, as a sanitizer would for a fault.
void Check(bool condition, const char* what);

}  // namespace zq::fuzz
