// The action handlers, one per action number. Each answers the action's Boolean result; a
// failure inside ends it where it happens (the dispatcher catches it) with what was applied
// kept.
#pragma once

#include "actions/handler_support.h"

namespace zq::actions {

using Handler = bool (*)(const Args& args, HostServices& host);

// Chart windows (1, 2).
bool CreateLineChart(const Args& args, HostServices& host);
bool DeleteLineChart(const Args& args, HostServices& host);

// Series (3-5, 8-16).
bool CreateSeriesLine(const Args& args, HostServices& host);
bool DeleteSeriesLine(const Args& args, HostServices& host);
bool DeleteDotSeries(const Args& args, HostServices& host);
bool SeriesDot3DStyle(const Args& args, HostServices& host);
bool SeriesDotColor(const Args& args, HostServices& host);
bool SeriesNumberColor(const Args& args, HostServices& host);
bool SeriesAllColor(const Args& args, HostServices& host);
bool SeriesArrayColor(const Args& args, HostServices& host);
bool SeriesLineWidth(const Args& args, HostServices& host);
bool SeriesLineBrush(const Args& args, HostServices& host);
bool SeriesLineBorder(const Args& args, HostServices& host);
bool SeriesLineStairs(const Args& args, HostServices& host);

// Titles, walls, background (6, 7, 17-20, 26-28).
bool SetTitleLine(const Args& args, HostServices& host);
bool SetFootLine(const Args& args, HostServices& host);
bool ChartBackWall(const Args& args, HostServices& host);
bool ChartBottomWall(const Args& args, HostServices& host);
bool ChartLeftWall(const Args& args, HostServices& host);
bool ChartWallSize(const Args& args, HostServices& host);
bool GradientFone(const Args& args, HostServices& host);
bool ColorFone(const Args& args, HostServices& host);
bool ChartImageInside(const Args& args, HostServices& host);

// Axes, marks, legend (21-25, 29-33).
bool AxisStyle(const Args& args, HostServices& host);
bool SeriesMarkStyle(const Args& args, HostServices& host);
bool SeriesMarksFont(const Args& args, HostServices& host);
bool ArrowStyle(const Args& args, HostServices& host);
bool ArrowWidth(const Args& args, HostServices& host);
bool LineLegend(const Args& args, HostServices& host);
bool LineLegendStyle(const Args& args, HostServices& host);
bool LineLegendFont(const Args& args, HostServices& host);
bool ShadowLegend(const Args& args, HostServices& host);
bool ResizeChart(const Args& args, HostServices& host);

// View and motion (34-44).
bool LineChartView3D(const Args& args, HostServices& host);
bool LineChartView2D(const Args& args, HostServices& host);
bool Elevation3D(const Args& args, HostServices& host);
bool Perspective3D(const Args& args, HostServices& host);
bool Rotation3D(const Args& args, HostServices& host);
bool ChartHorizOffset(const Args& args, HostServices& host);
bool ChartVertOffset(const Args& args, HostServices& host);
bool ChartTilt(const Args& args, HostServices& host);
bool ChartZoom(const Args& args, HostServices& host);
bool LineView3DWalls(const Args& args, HostServices& host);
bool LineChartRoll(const Args& args, HostServices& host);

}  // namespace zq::actions
