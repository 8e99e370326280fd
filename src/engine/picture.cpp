#include "engine/picture.h"

#include <cstdio>
#include <new>
#include <stdexcept>
#include <vector>

#include "engine/bmp_reader.h"
#include "engine/errors.h"
#include "engine/jpeg_reader.h"
#include "platform/picture.h"

namespace zq {

namespace {

// No picture we accept needs a bigger file: a BMP at the largest size is 256 MiB of pixels.
constexpr long kMaxFileSize = 512L << 20;

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return text;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw ChartException("Cannot open picture file: " + path);
  std::vector<uint8_t> data;
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  bool ok = size >= 0 && size <= kMaxFileSize && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    data.resize(size_t(size));
    ok = std::fread(data.data(), 1, data.size(), file) == data.size() && !std::ferror(file);
  }
  std::fclose(file);
  if (size > kMaxFileSize) throw ChartException("Picture file is too large: " + path);
  if (!ok) throw ChartException("Cannot read picture file: " + path);
  return data;
}

}  // namespace

void CheckPictureSize(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
      width * height > kMaxPicturePixels) {
    throw ChartException("picture size " + std::to_string(width) + " x " + std::to_string(height) +
                         " is out of range (at most " + std::to_string(kMaxPictureSide) +
                         " pixels a side and " + std::to_string(kMaxPicturePixels) + " pixels)");
  }
}

std::string PictureFileExtension(const std::string& path) {
  const size_t name = path.find_last_of("/\\");
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (name != std::string::npos && dot < name)) return "";
  return path.substr(dot + 1);
}

void TPicture::LoadFromFile(const std::string& path) {
  const std::string written = PictureFileExtension(path);
  if (written.empty()) throw ChartException("Picture file name has no extension: " + path);
  const std::string extension = Lower(written);
  const bool bmp = extension == "bmp";
  const bool jpeg = extension == "jpg" || extension == "jpeg";
  const bool platform = !bmp && !jpeg && platform::PlatformPictureSupports(extension);
  if (!bmp && !jpeg && !platform) throw ChartException("Unknown picture extension: " + written);

  platform::Image decoded;
  if (platform) {
    try {
      decoded = platform::LoadPlatformPicture(path, extension);
    } catch (const ChartException&) {
      throw;
    } catch (const std::exception& e) {
      throw ChartException(e.what());
    }
  } else {
    try {
      const std::vector<uint8_t> data = ReadFile(path);
      try {
        decoded = bmp ? DecodeBmp(data) : DecodeJpeg(data);
      } catch (const ChartException& e) {
        throw ChartException(std::string(bmp ? "Corrupt BMP file: " : "Corrupt JPEG file: ") +
                             path + ": " + e.what());
      }
    } catch (const std::bad_alloc&) {
      throw ChartException("Not enough memory for picture file: " + path);
    }
  }
  if (decoded.Empty()) throw ChartException("Picture file holds no picture: " + path);
  image_ = std::move(decoded);
  Changed();
}

void TPicture::Assign(const TPicture& source) {
  if (&source == this) return;
  image_ = source.image_;
  Changed();
}

void TPicture::SetImage(platform::Image image) {
  image_ = std::move(image);
  Changed();
}

void TPicture::Clear() {
  if (image_.Empty() && image_.pixels.empty()) return;
  image_ = platform::Image();
  Changed();
}

void TPicture::Changed() {
  if (on_change_) on_change_();
}

}  // namespace zq
