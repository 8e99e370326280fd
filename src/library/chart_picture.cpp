#include "zqchartengine.h"

#include "platform/cairo/image_output.h"
#include "platform/surface.h"

namespace zq {

platform::Image ChartPicture(TCustomChart& chart) {
  std::unique_ptr<platform::Surface> surface =
      platform::CreateMemorySurface(chart.Width(), chart.Height());
  if (!surface) return {};
  chart.Paint(*surface, chart.ClientRect());
  return surface->Snapshot();
}

bool SavePicture(const platform::Image& picture, const std::string& path) {
  const std::optional<platform::ImageFormat> format = platform::ImageFormatOf(path);
  if (!format || picture.Empty()) return false;
  return platform::SaveImage(picture, path, *format);
}

bool SaveChartPicture(TCustomChart& chart, const std::string& path) {
  return SavePicture(ChartPicture(chart), path);
}

}  // namespace zq
