// A dashboard built with the chart engine library: bars side by side, stacked and lying
// horizontally, a pie with an exploded slice and an "other" slice, a fast line of many points
// with its moving average, and bars stacked to 100 %. Each chart is saved as a PNG file, and
// all six together as dashboard.png.
//
//   c++ -std=c++20 dashboard.cpp $(pkg-config --cflags --libs zqchartengine) -o dashboard
//   ./dashboard OUTPUT_FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "zqchartengine.h"

namespace {

constexpr int kWidth = 483;
constexpr int kHeight = 293;

// A white chart with a title, numbers written the English way.
std::unique_ptr<zq::TChart> NewChart(const std::string& title) {
  auto chart = std::make_unique<zq::TChart>();
  chart->SetSize(kWidth, kHeight);
  chart->SetColor(zq::clWhite);
  chart->SetBevelOuter(zq::TPanelBevel::bvNone);
  chart->SetLocale(zq::platform::LocaleByName("en-US"));
  chart->Title().SetText({title});
  return chart;
}

zq::TBarSeries& AddBars(zq::TChart& chart, const char* title, zq::TColor color,
                        const std::vector<double>& values) {
  auto& bars = chart.AddSeries<zq::TBarSeries>();
  bars.SetTitle(title);
  bars.SetSeriesColor(color);
  const char* quarters[] = {"Q1", "Q2", "Q3", "Q4"};
  for (size_t i = 0; i < values.size(); ++i) bars.AddPointXY(double(i), values[i], quarters[i % 4]);
  bars.Marks().SetStyle(zq::TSeriesMarksStyle::smsValue);
  return bars;
}

std::unique_ptr<zq::TChart> SideBySide() {
  auto chart = NewChart("Sales by quarter");
  AddBars(*chart, "North", zq::clRed, {12, 18, 15, 22});
  AddBars(*chart, "South", zq::clGreen, {8, 14, 19, 11});
  AddBars(*chart, "West", zq::clBlue, {10, 9, 13, 17});
  return chart;
}

std::unique_ptr<zq::TChart> Stacked() {
  auto chart = NewChart("Stacked, flat");
  chart->SetView3D(false);
  AddBars(*chart, "North", zq::clRed, {12, 18, 15, 22}).Marks().SetVisible(false);
  AddBars(*chart, "South", zq::clGreen, {8, 14, 19, 11}).Marks().SetVisible(false);
  auto& west = AddBars(*chart, "West", zq::clBlue, {10, 9, 13, 17});
  west.SetMultiBar(zq::TMultiBar::mbStacked);
  return chart;
}

std::unique_ptr<zq::TChart> Horizontal() {
  auto chart = NewChart("Change against plan");
  chart->SetView3D(false);
  chart->Legend().SetVisible(false);
  auto& bars = chart->AddSeries<zq::THorizBarSeries>();
  bars.SetBarStyle(zq::TBarStyle::bsRectGradient);
  const char* teams[] = {"Tools", "Paint", "Garden", "Books", "Toys"};
  const double change[] = {12, -7, 4, -2, 9};
  const zq::TColor colors[] = {zq::clRed, zq::clGreen, zq::clOlive, zq::clBlue, zq::clPurple};
  for (int i = 0; i < 5; ++i) bars.AddPointXY(change[i], i, teams[i], colors[i]);
  bars.Marks().SetStyle(zq::TSeriesMarksStyle::smsValue);
  return chart;
}

std::unique_ptr<zq::TChart> Pie() {
  auto chart = NewChart("Where the money goes");
  auto& pie = chart->AddSeries<zq::TPieSeries>();
  const char* items[] = {"Rent", "Food", "Travel", "Books", "Tea", "Stamps"};
  const double amounts[] = {40, 25, 18, 10, 2, 1.5};
  for (int i = 0; i < 6; ++i) pie.AddPointValue(amounts[i], items[i]);
  pie.SetExplodedSlice(1, 20);
  pie.OtherSlice().SetStyle(zq::TPieOtherStyle::poBelowPercent);
  pie.OtherSlice().SetValue(5);
  pie.SetRotationAngle(20);
  return chart;
}

std::unique_ptr<zq::TChart> FastLine() {
  auto chart = NewChart("20000 readings and their mean of 500");
  chart->SetView3D(false);
  auto& line = chart->AddSeries<zq::TFastLineSeries>();
  line.SetTitle("Readings");
  line.SetSeriesColor(zq::clTeal);
  // A reproducible random walk.
  uint32_t seed = 12345;
  double value = 50;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    value += (double(seed >> 8) / double(1u << 24) - 0.5) * 2;
    line.AddPointXY(i, value);
  }
  auto& mean = chart->AddSeries<zq::TLineSeries>();
  mean.SetTitle("Mean");
  mean.SetSeriesColor(zq::clRed);
  mean.LinePen().SetWidth(2);
  auto average = std::make_unique<zq::TAverageZidFunction>();
  average->SetPeriod(500);
  mean.SetFunction(std::move(average));
  mean.SetDataSource(&line);
  chart->Legend().SetAlignment(zq::TLegendAlignment::laBottom);
  return chart;
}

std::unique_ptr<zq::TChart> Percent() {
  auto chart = NewChart("Shares, stacked to 100 %");
  chart->View3DOptions().SetOrthogonal(true);
  AddBars(*chart, "North", zq::clRed, {12, 18, 15, 22}).SetBarStyle(zq::TBarStyle::bsCilinder);
  AddBars(*chart, "South", zq::clGreen, {8, 14, 19, 11}).SetBarStyle(zq::TBarStyle::bsCilinder);
  auto& west = AddBars(*chart, "West", zq::clBlue, {10, 9, 13, 17});
  west.SetBarStyle(zq::TBarStyle::bsCilinder);
  west.SetMultiBar(zq::TMultiBar::mbStacked100);
  for (zq::TChartSeries* s : chart->SeriesList()) s->Marks().SetVisible(false);
  return chart;
}

// Pictures of the same size side by side, row by row.
zq::platform::Image Grid(const std::vector<zq::platform::Image>& parts, int columns) {
  zq::platform::Image out;
  const int rows = (int(parts.size()) + columns - 1) / columns;
  out.width = kWidth * columns;
  out.height = kHeight * rows;
  out.pixels.assign(size_t(out.width) * size_t(out.height), 0xFFFFFFFFu);
  for (size_t i = 0; i < parts.size(); ++i) {
    const int ox = int(i) % columns * kWidth, oy = int(i) / columns * kHeight;
    for (int y = 0; y < parts[i].height && y < kHeight; ++y)
      for (int x = 0; x < parts[i].width && x < kWidth; ++x)
        out.pixels[size_t(oy + y) * size_t(out.width) + size_t(ox + x)] = parts[i].At(x, y);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  struct Named {
    const char* name;
    std::unique_ptr<zq::TChart> chart;
  };
  Named charts[] = {{"bars", SideBySide()}, {"stacked", Stacked()},   {"horizontal", Horizontal()},
                    {"pie", Pie()},         {"fastline", FastLine()}, {"percent", Percent()}};
  std::vector<zq::platform::Image> pictures;
  int failures = 0;
  for (Named& c : charts) {
    pictures.push_back(zq::ChartPicture(*c.chart));
    const std::string file = (folder / (std::string(c.name) + ".png")).string();
    if (!zq::SavePicture(pictures.back(), file)) {
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
      ++failures;
    }
  }
  const std::string dashboard = (folder / "dashboard.png").string();
  if (!zq::SavePicture(Grid(pictures, 2), dashboard)) {
    std::fprintf(stderr, "cannot write %s\n", dashboard.c_str());
    ++failures;
  }
  if (failures == 0) std::printf("%zu charts and dashboard.png in %s\n", pictures.size(), argv[1]);
  return failures == 0 ? 0 : 1;
}
