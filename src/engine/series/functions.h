// The function kinds that fill a series from others: per period of one source, or point by
// point across several sources. Add sums, High and Low take the extremes, Average the mean;
// Subtract, Multiply and Divide always work across sources, from the first one on.
#pragma once

#include <cstdint>
#include <span>

#include "engine/series/series.h"

namespace zq {

class TAddZidFunction : public TZidFunction {
 public:
  double Calculate(TChartSeries& source, int32_t first, int32_t last) override;
  double CalculateMany(std::span<TChartSeries* const> sources, int32_t index) override;
};

class THighZidFunction : public TZidFunction {
 public:
  double Calculate(TChartSeries& source, int32_t first, int32_t last) override;
  double CalculateMany(std::span<TChartSeries* const> sources, int32_t index) override;
};

class TLowZidFunction : public TZidFunction {
 public:
  double Calculate(TChartSeries& source, int32_t first, int32_t last) override;
  double CalculateMany(std::span<TChartSeries* const> sources, int32_t index) override;
};

// 0 for no points.
class TAverageZidFunction : public TZidFunction {
 public:
  double Calculate(TChartSeries& source, int32_t first, int32_t last) override;
  double CalculateMany(std::span<TChartSeries* const> sources, int32_t index) override;
};

// Functions that only combine the same point of their sources.
class TManySeriesZidFunction : public TZidFunction {
 protected:
  bool CombinesSeries() const override { return true; }
};

class TSubtractZidFunction : public TManySeriesZidFunction {
 public:
  double CalculateMany(std::span<TChartSeries* const> sources, int32_t index) override;
};

class TMultiplyZidFunction : public TManySeriesZidFunction {
 public:
  double CalculateMany(std::span<TChartSeries* const> sources, int32_t index) override;
};

// A divisor of 0 leaves the quotient as it was.
class TDivideZidFunction : public TManySeriesZidFunction {
 public:
  double CalculateMany(std::span<TChartSeries* const> sources, int32_t index) override;
};

}  // namespace zq
