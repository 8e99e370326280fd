#include "common/picture_file.h"

#include "common/host_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace zq::host {

namespace {

void Put32Le(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + size_t(i)] = uint8_t(v >> (8 * i));
}

void Append32Be(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void AppendChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
  Append32Be(out, uint32_t(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Append32Be(out, Crc32(out.data() + start, out.size() - start));
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

std::vector<uint8_t> EncodePng(const platform::Image& image) {
  if (image.Empty()) return {};
  // Filter-less RGB rows, each led by filter byte 0.
  std::vector<uint8_t> raw;
  raw.reserve(size_t(image.height) * (size_t(image.width) * 3 + 1));
  for (int32_t y = 0; y < image.height; ++y) {
    raw.push_back(0);
    for (int32_t x = 0; x < image.width; ++x) {
      uint32_t p = image.At(x, y);
      raw.push_back(uint8_t(p >> 16));
      raw.push_back(uint8_t(p >> 8));
      raw.push_back(uint8_t(p));
    }
  }
  // A zlib stream of stored blocks of at most 65535 bytes, with its Adler-32.
  std::vector<uint8_t> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    const bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(uint8_t(n));
    z.push_back(uint8_t(n >> 8));
    z.push_back(uint8_t(~n));
    z.push_back(uint8_t(~n >> 8));
    z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
    at += n;
  } while (at < raw.size());
  Append32Be(z, (b << 16) | a);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Append32Be(header, uint32_t(image.width));
  Append32Be(header, uint32_t(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no filter, no interlace
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", z);
  AppendChunk(png, "IEND", {});
  return png;
}

bool WritePicture(const platform::Image& image, const std::string& path, std::string& error) {
  const std::string ext = LowerExtension(path);
  std::vector<uint8_t> bytes;
  if (ext == "bmp") {
    bytes = EncodeBmp24(image);
  } else if (ext == "png") {
    bytes = EncodePng(image);
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
