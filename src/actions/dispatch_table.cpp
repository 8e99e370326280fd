#include <array>
#include <exception>

#include "actions/handlers.h"
#include "actions/reasons.h"
#include "engine/drawing/errors.h"

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

// A host that answers a callback by running an action, whose callback runs another, and so
// on: deeper than this the plug-in refuses instead of running out of stack.
constexpr int kMaxDepth = 4;
int g_depth = 0;

class DepthGuard {
 public:
  DepthGuard() { ++g_depth; }
  ~DepthGuard() { --g_depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

}  // namespace

bool RunAction(int32_t number, const std::vector<std::string>& args, HostServices& host) {
  ReasonScope reason;
  if (number < 1 || number > int32_t(kHandlers.size())) {
    StopReason("there is no action number " + std::to_string(number));
    return false;
  }
  const Entry& entry = kHandlers[size_t(number - 1)];
  if (g_depth >= kMaxDepth) {
    StopReason("not run: the host's callbacks ran actions " + std::to_string(kMaxDepth) +
               " calls deep");
    return entry.resultOnFailure;
  }
  DepthGuard depth;
  try {
    return entry.handler(args, host);
  } catch (const ChartException& e) {
    // The engine refuses a value it was given; the property keeps the old one.
    reason.Failed(std::string("a value out of range: ") + e.what());
  } catch (const std::exception& e) {
    // Every failure ends the handler; what it applied stays. The author learns why.
    reason.Failed(e.what());
  } catch (...) {
    reason.Failed("the action failed");
  }
  return entry.resultOnFailure;
}

void EndAllCharts() {
  charts::ChartRegistry::Instance().FreeAll();
}

}  // namespace zq::actions
