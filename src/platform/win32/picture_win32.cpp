#include <windows.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/picture.h"
#include "platform/win32/gdi_surface.h"
#include "platform/win32/wide.h"

namespace zq::platform {

namespace {

constexpr int32_t kMaxSide = 16384;
constexpr int64_t kMaxPixels = int64_t(1) << 24;
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr int kScreenDpi = 96;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw std::runtime_error(what + ": \"" + path + "\"");
}

uint16_t Word(const std::vector<uint8_t>& b, size_t at) {
  return uint16_t(b[at] | b[at + 1] << 8);
}
int16_t Short(const std::vector<uint8_t>& b, size_t at) {
  return int16_t(Word(b, at));
}
uint32_t Dword(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(Word(b, at)) | uint32_t(Word(b, at + 2)) << 16;
}

std::vector<uint8_t> ReadWholeFile(const std::wstring& wpath, const std::string& path) {
  HANDLE file = CreateFileW(wpath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot open picture file", path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart > (64 << 20)) {
    CloseHandle(file);
    Fail("picture file is too large", path);
  }
  std::vector<uint8_t> bytes(size_t(size.QuadPart));
  DWORD read = 0;
  BOOL ok = bytes.empty() || ::ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
  CloseHandle(file);
  if (!ok || read != bytes.size()) Fail("cannot read picture file", path);
  return bytes;
}

void CheckSize(int32_t width, int32_t height, const std::string& path) {
  if (width <= 0 || height <= 0) Fail("picture has no size", path);
  if (width > kMaxSide || height > kMaxSide || int64_t(width) * height > kMaxPixels)
    Fail("picture is too large (" + std::to_string(width) + " x " + std::to_string(height) + ")",
         path);
}

// Pictures become opaque images: whatever the picture leaves transparent shows white.
template <class Paint>
Image Render(int32_t width, int32_t height, Paint paint) {
  win32::GdiSurface surface(width, height);
  paint(surface.Dc(), RECT{0, 0, width, height});
  return surface.Snapshot();
}

Image LoadIconFile(const std::wstring& wpath, const std::string& path) {
  // 0 x 0 without LR_DEFAULTSIZE: the icon's own size.
  HICON icon =
      static_cast<HICON>(LoadImageW(nullptr, wpath.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
  if (!icon) Fail("not an icon file", path);
  ICONINFO info{};
  BITMAP bm{};
  int32_t width = 0, height = 0;
  if (GetIconInfo(icon, &info)) {
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof(bm), &bm)) {
      width = bm.bmWidth;
      height = bm.bmHeight;
    } else if (info.hbmMask && GetObjectW(info.hbmMask, sizeof(bm), &bm)) {
      width = bm.bmWidth;
      height = bm.bmHeight / 2;  // a monochrome icon stacks its AND and XOR masks
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  try {
    CheckSize(width, height, path);
    Image image = Render(width, height, [&](HDC dc, RECT r) {
      DrawIconEx(dc, 0, 0, icon, r.right, r.bottom, 0, nullptr, DI_NORMAL);
    });
    DestroyIcon(icon);
    return image;
  } catch (...) {
    DestroyIcon(icon);
    throw;
  }
}

Image PlayAndDelete(HENHMETAFILE emf, int32_t width, int32_t height, const std::string& path) {
  try {
    CheckSize(width, height, path);
    Image image = Render(width, height, [&](HDC dc, RECT r) { PlayEnhMetaFile(dc, emf, &r); });
    DeleteEnhMetaFile(emf);
    return image;
  } catch (...) {
    DeleteEnhMetaFile(emf);
    throw;
  }
}

// A Windows metafile carries no size of its own: only one with the placeable header (key,
// bounding box in units of 1/inch, checksum over the first ten words) can be shown.
Image LoadWmf(const std::wstring& wpath, const std::string& path) {
  std::vector<uint8_t> b = ReadWholeFile(wpath, path);
  if (b.size() < kPlaceableSize + 18 || Dword(b, 0) != kPlaceableKey)
    Fail("not a placeable Windows metafile", path);
  uint16_t sum = 0;
  for (size_t i = 0; i < 10; ++i) sum ^= Word(b, i * 2);
  if (sum != Word(b, 20)) Fail("metafile header checksum is wrong", path);
  int32_t left = Short(b, 6), top = Short(b, 8), right = Short(b, 10), bottom = Short(b, 12);
  int32_t inch = Word(b, 14);
  uint16_t type = Word(b, kPlaceableSize), headerWords = Word(b, kPlaceableSize + 2);
  if (inch == 0 || (type != 1 && type != 2) || headerWords != 9)
    Fail("not a valid Windows metafile", path);
  int32_t spanX = std::abs(right - left), spanY = std::abs(bottom - top);
  int32_t width = MulDiv(spanX, kScreenDpi, inch);
  int32_t height = MulDiv(spanY, kScreenDpi, inch);
  CheckSize(width, height, path);
  METAFILEPICT pict{MM_ANISOTROPIC, MulDiv(spanX, 2540, inch), MulDiv(spanY, 2540, inch), nullptr};
  HENHMETAFILE emf = SetWinMetaFileBits(UINT(b.size() - kPlaceableSize), b.data() + kPlaceableSize,
                                        nullptr, &pict);
  if (!emf) Fail("cannot decode Windows metafile", path);
  return PlayAndDelete(emf, width, height, path);
}

Image LoadEmf(const std::wstring& wpath, const std::string& path) {
  std::vector<uint8_t> b = ReadWholeFile(wpath, path);
  if (b.size() < sizeof(ENHMETAHEADER) || Dword(b, 0) != EMR_HEADER ||
      Dword(b, 40) != ENHMETA_SIGNATURE)
    Fail("not an enhanced metafile", path);
  HENHMETAFILE emf = SetEnhMetaFileBits(UINT(b.size()), b.data());
  if (!emf) Fail("cannot decode enhanced metafile", path);
  ENHMETAHEADER header{};
  GetEnhMetaFileHeader(emf, sizeof(header), &header);
  // The frame is in hundredths of a millimetre; without one, the bounds are device pixels.
  const RECTL& frame = header.rclFrame;
  int32_t width = MulDiv(frame.right - frame.left, kScreenDpi, 2540);
  int32_t height = MulDiv(frame.bottom - frame.top, kScreenDpi, 2540);
  if (width <= 0 || height <= 0) {
    width = header.rclBounds.right - header.rclBounds.left + 1;
    height = header.rclBounds.bottom - header.rclBounds.top + 1;
  }
  return PlayAndDelete(emf, width, height, path);
}

}  // namespace

bool PlatformPictureSupports(const std::string& extension) {
  std::string e = Lower(extension);
  return e == "ico" || e == "wmf" || e == "emf";
}

Image LoadPlatformPicture(const std::string& path, const std::string& extension) {
  std::string e = Lower(extension);
  if (!PlatformPictureSupports(e)) Fail("unsupported picture format \"" + extension + "\"", path);
  std::wstring wpath = win32::Widen(path);
  DWORD attributes = GetFileAttributesW(wpath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    Fail("cannot open picture file", path);
  if (e == "ico") return LoadIconFile(wpath, path);
  if (e == "wmf") return LoadWmf(wpath, path);
  return LoadEmf(wpath, path);
}

}  // namespace zq::platform
