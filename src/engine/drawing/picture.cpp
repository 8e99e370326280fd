#include "engine/drawing/picture.h"

#include <cstdio>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "engine/drawing/bmp_reader.h"
#include "engine/drawing/errors.h"
#include "engine/drawing/jpeg_reader.h"
#include "platform/file.h"
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

// Reads until the end rather than trusting the size that seeking reports: a folder "opens" on
// some systems and reports a nonsense size, but never reads.
std::vector<uint8_t> ReadFile(const std::string& path) {
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> owner(platform::OpenFileForReading(path));
  std::FILE* file = owner.get();
  if (file == nullptr) throw ChartException("Cannot open picture file: " + path);
  std::vector<uint8_t> data;
  long hint = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) hint = std::ftell(file);
  std::rewind(file);
  if (hint > 0 && hint <= kMaxFileSize) data.reserve(size_t(hint));
  uint8_t chunk[65536];
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, file);
    if (std::ferror(file) != 0) throw ChartException("Cannot read picture file: " + path);
    // Once the file reads, the size it reported can be believed.
    if (hint > kMaxFileSize || data.size() + n > size_t(kMaxFileSize)) {
      throw ChartException("Picture file is too large: " + path);
    }
    data.insert(data.end(), chunk, chunk + n);
    if (n < sizeof chunk) break;
  }
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
