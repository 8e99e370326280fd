// The BMP reader.
#include "engine/drawing/bmp_reader.h"
#include "fuzz/decode_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zq::fuzz::CheckDecoded(zq::DecodeBmp, data, size);
  return 0;
}
