// A TChart in a pretend window: it paints into a recording surface (without back buffer, so
// every call is seen) and counts the invalidations and immediate refreshes the chart asks for.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/chart/chart.h"
#include "platform/record/recording_surface.h"

namespace zq::testing {

// The chart of a chart window as the window creates it.
inline void ApplyChartWindowSettings(TCustomChart& chart) {
  chart.SetBevelWidth(0);
  chart.SetColor(clWhite);
  chart.SetMarginTop(3);
  chart.SetMarginBottom(3);
  chart.SetChart3DPercent(20);
  TView3DOptions& view = chart.View3DOptions();
  view.SetElevation(357);
  view.SetPerspective(34);
  view.SetRotation(320);
  view.SetOrthogonal(false);
  chart.BackWall().Brush().SetColor(clWhite);
  chart.LeftWall().Brush().SetColor(clWhite);
  chart.Title().Brush().SetColor(clWhite);
  chart.Title().Brush().SetStyle(TBrushStyle::bsClear);
  chart.Title().SetColor(clWhite);
  chart.Title().SetText({""});
  chart.Foot().SetText({""});
  TChartFont font = chart.Foot().Font();
  font.SetName("Arial");
  font.SetHeight(-11);
  font.SetColor(clBlack);
  font.SetStyle({});
  chart.Foot().SetFont(font);
}

class ChartWindowFixture {
 public:
  explicit ChartWindowFixture(int32_t width = 483, int32_t height = 293) : surface(width, height) {
    chart.SetUseBackBuffer(false);
    chart.SetWindowLink({[this] { ++invalidations; },
                         [this] {
                           ++refreshes;
                           if (onRefresh) onRefresh();
                         }});
    chart.SetSize(width, height);
  }

  // One window paint; the recording holds just this paint.
  void Paint() {
    surface.ClearOps();
    chart.Paint(surface, chart.ClientRect());
    ++paints;
  }

  TChart chart;
  platform::RecordingSurface surface;
  int invalidations = 0;
  int refreshes = 0;
  int paints = 0;
  std::function<void()> onRefresh;
};

}  // namespace zq::testing
