// Saving pictures as PNG, SVG or PDF, and reading PNG back (for comparing with references).
#pragma once

#include <optional>
#include <string>

#include "platform/cairo/cairo_surface.h"
#include "platform/image.h"

namespace zq::platform {

enum class ImageFormat { Png, Svg, Pdf };

// The format named by a file's extension (".png", ".svg", ".pdf", any letter case).
std::optional<ImageFormat> ImageFormatOf(const std::string& path);

// Each returns false when the file cannot be written. SVG and PDF hold the raster as one
// embedded image on a page of the same size in points.
bool SavePng(const Image& image, const std::string& path);
bool SaveSvg(const Image& image, const std::string& path);
bool SavePdf(const Image& image, const std::string& path);
bool SaveImage(const Image& image, const std::string& path, ImageFormat format);

bool SavePng(CairoSurface& surface, const std::string& path);
bool SaveImage(CairoSurface& surface, const std::string& path, ImageFormat format);

// A PNG file as an opaque image (alpha composed over white); nullopt when it cannot be read.
std::optional<Image> LoadPng(const std::string& path);

}  // namespace zq::platform
