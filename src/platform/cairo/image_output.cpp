#include "platform/cairo/image_output.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/png_file.h"

namespace zq::platform {

namespace {

// An RGB24 copy of an image (Cairo wants its own stride).
cairo_surface_t* ToCairo(const Image& image) {
  const int32_t w = image.Empty() ? 0 : image.width, h = image.Empty() ? 0 : image.height;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return s;
  cairo_surface_flush(s);
  auto* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int32_t y = 0; y < h; ++y)
    std::memcpy(data + size_t(y) * size_t(stride), &image.pixels[size_t(y) * size_t(w)],
                size_t(w) * 4);
  cairo_surface_mark_dirty(s);
  return s;
}

// Through the hosts' own PNG writer: quicker than Cairo's, with a file not much larger.
bool WritePng(cairo_surface_t* s, const std::string& path) {
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return false;
  cairo_surface_flush(s);
  const auto* data = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s));
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  const std::vector<uint8_t> bytes =
      EncodePng(data, w, h, size_t(cairo_image_surface_get_stride(s)) / 4);
  if (bytes.empty()) return false;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

// Paints the raster 1:1 onto a vector page and finishes the file.
bool WriteVector(cairo_surface_t* raster, cairo_surface_t* page) {
  bool ok = cairo_surface_status(raster) == CAIRO_STATUS_SUCCESS &&
            cairo_surface_status(page) == CAIRO_STATUS_SUCCESS;
  if (ok) {
    cairo_t* cr = cairo_create(page);
    cairo_set_source_surface(cr, raster, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_finish(page);
    ok = ok && cairo_surface_status(page) == CAIRO_STATUS_SUCCESS;
  }
  cairo_surface_destroy(page);
  return ok;
}

bool WriteAny(cairo_surface_t* s, const std::string& path, ImageFormat format) {
  const double w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  switch (format) {
    case ImageFormat::Png:
      return WritePng(s, path);
    case ImageFormat::Svg:
      return WriteVector(s, cairo_svg_surface_create(path.c_str(), w, h));
    case ImageFormat::Pdf:
      return WriteVector(s, cairo_pdf_surface_create(path.c_str(), w, h));
  }
  return false;
}

}  // namespace

std::optional<ImageFormat> ImageFormatOf(const std::string& path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  if (ext == "png") return ImageFormat::Png;
  if (ext == "svg") return ImageFormat::Svg;
  if (ext == "pdf") return ImageFormat::Pdf;
  return std::nullopt;
}

bool SaveImage(const Image& image, const std::string& path, ImageFormat format) {
  cairo_surface_t* s = ToCairo(image);
  const bool ok = WriteAny(s, path, format);
  cairo_surface_destroy(s);
  return ok;
}

bool SavePng(const Image& image, const std::string& path) {
  return SaveImage(image, path, ImageFormat::Png);
}
bool SaveSvg(const Image& image, const std::string& path) {
  return SaveImage(image, path, ImageFormat::Svg);
}
bool SavePdf(const Image& image, const std::string& path) {
  return SaveImage(image, path, ImageFormat::Pdf);
}

bool SaveImage(CairoSurface& surface, const std::string& path, ImageFormat format) {
  return WriteAny(surface.CairoHandle(), path, format);
}

bool SavePng(CairoSurface& surface, const std::string& path) {
  return SaveImage(surface, path, ImageFormat::Png);
}

std::optional<Image> LoadPng(const std::string& path) {
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(png);
    return std::nullopt;
  }
  const int w = cairo_image_surface_get_width(png), h = cairo_image_surface_get_height(png);
  cairo_surface_t* flat = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(flat);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_surface(cr, png, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(flat);
  Image img;
  img.width = w;
  img.height = h;
  img.pixels.resize(size_t(w) * size_t(h));
  const auto* data = cairo_image_surface_get_data(flat);
  const int stride = cairo_image_surface_get_stride(flat);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
    for (int x = 0; x < w; ++x)
      img.pixels[size_t(y) * size_t(w) + size_t(x)] = row[x] | 0xFF000000u;
  }
  cairo_surface_destroy(flat);
  cairo_surface_destroy(png);
  return img;
}

}  // namespace zq::platform
