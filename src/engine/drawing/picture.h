// A picture loaded from a file (the chart's background picture).
#pragma once

#include <cstddef>  // platform/image.h uses size_t
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "platform/image.h"

namespace zq {

// Decoders refuse anything larger before they allocate: a side over kMaxPictureSide pixels or
// more than kMaxPicturePixels in all (256 MiB of 32-bit pixels).
inline constexpr int64_t kMaxPictureSide = 32768;
inline constexpr int64_t kMaxPicturePixels = int64_t(64) << 20;

// Throws ChartException unless width x height is a picture size the decoders accept.
void CheckPictureSize(int64_t width, int64_t height);

class TPicture {
 public:
  using ChangeHandler = std::function<void()>;

  TPicture() = default;
  // The owner's change handler is not part of the picture: copy pictures with Assign.
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  int32_t Width() const { return image_.width; }
  int32_t Height() const { return image_.height; }
  bool Empty() const { return image_.Empty(); }
  const platform::Image& GetImage() const { return image_; }

  // Decodes the file, chosen by its extension without letter case: "bmp", "jpg", "jpeg" and
  // whatever the platform decodes. Throws ChartException on any failure, leaving the current
  // picture as it was.
  void LoadFromFile(const std::string& path);

  void Assign(const TPicture& source);
  void SetImage(platform::Image image);
  void Clear();

  // Called after every change of the picture.
  void SetOnChange(ChangeHandler handler) { on_change_ = std::move(handler); }

 private:
  void Changed();

  platform::Image image_;
  ChangeHandler on_change_;
};

// The extension of the file name in path (without the dot, letters as written), or "" when the
// name has none.
std::string PictureFileExtension(const std::string& path);

}  // namespace zq
