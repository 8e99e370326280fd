#include "common/picture_file.h"

#include "common/host_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/png_file.h"

namespace zq::host {

namespace {

void Put32Le(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + size_t(i)] = uint8_t(v >> (8 * i));
}

std::string LowerExtension(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const platform::Image& image) {
  if (image.Empty()) return {};
  const uint32_t rowBytes = (uint32_t(image.width) * 3 + 3) & ~3u;
  const uint32_t dataBytes = rowBytes * uint32_t(image.height);
  std::vector<uint8_t> file(54 + size_t(dataBytes), 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32Le(file, 2, 54 + dataBytes);
  Put32Le(file, 10, 54);
  Put32Le(file, 14, 40);
  Put32Le(file, 18, uint32_t(image.width));
  Put32Le(file, 22, uint32_t(image.height));  // bottom-up rows
  file[26] = 1;                               // planes
  file[28] = 24;                              // bits per pixel
  Put32Le(file, 34, dataBytes);
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* row = file.data() + 54 + size_t(image.height - 1 - y) * rowBytes;
    for (int32_t x = 0; x < image.width; ++x) {
      uint32_t p = image.At(x, y);
      row[3 * x] = uint8_t(p);
      row[3 * x + 1] = uint8_t(p >> 8);
      row[3 * x + 2] = uint8_t(p >> 16);
    }
  }
  return file;
}

bool WritePicture(const platform::Image& image, const std::string& path, std::string& error) {
  const std::string ext = LowerExtension(path);
  std::vector<uint8_t> bytes;
  if (ext == "bmp") {
    bytes = EncodeBmp24(image);
  } else if (ext == "png") {
    bytes = platform::EncodePng(image);
  } else {
    error = "pictures are saved as .png or .bmp files";
    return false;
  }
  if (bytes.empty()) {
    error = "the chart window has no picture";
    return false;
  }
  std::FILE* f = OpenHostFile(path, "wb");
  if (f == nullptr) {
    error = "cannot create the file";
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) error = "cannot write the file";
  return ok;
}

}  // namespace zq::host
