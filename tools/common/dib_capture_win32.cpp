#include "common/dib_capture.h"

namespace zq::host {

bool CaptureIntoDib(int32_t width, int32_t height, platform::Image& image,
                    const std::function<bool(HDC)>& draw) {
  image.width = width;
  image.height = height;
  image.pixels.clear();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  bool ok = dc != nullptr && bitmap != nullptr && bits != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    ok = draw(dc);
    GdiFlush();
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    image.pixels.assign(pixels, pixels + size_t(width) * size_t(height));
    for (uint32_t& p : image.pixels) p |= 0xFF000000u;
    SelectObject(dc, old);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (dc != nullptr) DeleteDC(dc);
  return ok;
}

}  // namespace zq::host
