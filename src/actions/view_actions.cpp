// The 3D view: on or off, orthogonal, elevation, perspective, rotation, offsets, tilt, zoom,
// walls. Every action answers false; an unreadable number changes nothing.
#include "actions/handlers.h"

namespace zq::actions {

namespace {

template <typename Apply>
bool WithChart(const Args& args, Apply&& apply) {
  if (charts::TVelImageForm* form = FindChart(args)) apply(form->Chart1());
  return false;
}

// Integer parameter 2, stored unchanged: the view accepts any value.
template <typename Setter>
bool SetViewNumber(const Args& args, Setter&& set) {
  return WithChart(args, [&](TChart& chart) { set(chart.View3DOptions(), IntegerAt(args, 1)); });
}

}  // namespace

bool LineChartView3D(const Args& args, HostServices&) {
  return WithChart(args,
                   [&](TChart& chart) { BooleanAt(args, 1, [&](bool v) { chart.SetView3D(v); }); });
}

bool LineChartView2D(const Args& args, HostServices&) {
  return WithChart(args, [&](TChart& chart) {
    BooleanAt(args, 1, [&](bool v) { chart.View3DOptions().SetOrthogonal(v); });
  });
}

bool Elevation3D(const Args& args, HostServices&) {
  return SetViewNumber(args, [](TView3DOptions& v, int32_t n) { v.SetElevation(n); });
}

bool Perspective3D(const Args& args, HostServices&) {
  return SetViewNumber(args, [](TView3DOptions& v, int32_t n) { v.SetPerspective(n); });
}

bool Rotation3D(const Args& args, HostServices&) {
  return SetViewNumber(args, [](TView3DOptions& v, int32_t n) { v.SetRotation(n); });
}

bool ChartHorizOffset(const Args& args, HostServices&) {
  return SetViewNumber(args, [](TView3DOptions& v, int32_t n) { v.SetHorizOffset(n); });
}

bool ChartVertOffset(const Args& args, HostServices&) {
  return SetViewNumber(args, [](TView3DOptions& v, int32_t n) { v.SetVertOffset(n); });
}

bool ChartTilt(const Args& args, HostServices&) {
  return SetViewNumber(args, [](TView3DOptions& v, int32_t n) { v.SetTilt(n); });
}

bool ChartZoom(const Args& args, HostServices&) {
  return SetViewNumber(args, [](TView3DOptions& v, int32_t n) { v.SetZoom(n); });
}

bool LineView3DWalls(const Args& args, HostServices&) {
  return WithChart(
      args, [&](TChart& chart) { BooleanAt(args, 1, [&](bool v) { chart.SetView3DWalls(v); }); });
}

}  // namespace zq::actions
