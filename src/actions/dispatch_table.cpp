#include <array>
#include <exception>

#include "actions/handlers.h"

namespace zq::actions {

namespace {

struct Entry {
  Handler handler;
  // The result when a failure interrupts the handler (false for every action: the wall
  // actions report their failures, the others always answer false).
  bool resultOnFailure;
};

constexpr std::array<Entry, 44> kHandlers = {{
    {CreateLineChart, true},  // 1: always true
    {DeleteLineChart, false},  {CreateSeriesLine, false}, {DeleteSeriesLine, false},
    {DeleteDotSeries, false},  {SetTitleLine, false},     {SetFootLine, false},
    {SeriesDot3DStyle, false}, {SeriesDotColor, false},   {SeriesNumberColor, false},
    {SeriesAllColor, false},   {SeriesArrayColor, false}, {SeriesLineWidth, false},
    {SeriesLineBrush, false},  {SeriesLineBorder, false}, {SeriesLineStairs, false},
    {ChartBackWall, false},    {ChartBottomWall, false},  {ChartLeftWall, false},
    {ChartWallSize, false},    {AxisStyle, false},        {SeriesMarkStyle, false},
    {SeriesMarksFont, false},  {ArrowStyle, false},       {ArrowWidth, false},
    {GradientFone, false},     {ColorFone, false},        {ChartImageInside, false},
    {LineLegend, false},       {LineLegendStyle, false},  {LineLegendFont, false},
    {ShadowLegend, false},     {ResizeChart, false},      {LineChartView3D, false},
    {LineChartView2D, false},  {Elevation3D, false},      {Perspective3D, false},
    {Rotation3D, false},       {ChartHorizOffset, false}, {ChartVertOffset, false},
    {ChartTilt, false},        {ChartZoom, false},        {LineView3DWalls, false},
    {LineChartRoll, false},
}};

}  // namespace

bool RunAction(int32_t number, const std::vector<std::string>& args, HostServices& host) {
  if (number < 1 || number > int32_t(kHandlers.size())) return false;
  const Entry& entry = kHandlers[size_t(number - 1)];
  try {
    return entry.handler(args, host);
  } catch (...) {
    // Every failure ends the handler silently; what it applied stays.
    return entry.resultOnFailure;
  }
}

void EndAllCharts() {
  charts::ChartRegistry::Instance().FreeAll();
}

}  // namespace zq::actions
