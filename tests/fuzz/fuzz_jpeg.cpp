// The JPEG reader (libjpeg with an error manager that answers instead of exiting).
#include "engine/drawing/jpeg_reader.h"
#include "fuzz/decode_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zq::fuzz::CheckDecoded(zq::DecodeJpeg, data, size);
  return 0;
}
