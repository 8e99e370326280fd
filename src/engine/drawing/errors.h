// The engine's exceptions.
#pragma once

#include <stdexcept>
#include <string>

namespace zq {

class ChartException : public std::runtime_error {
 public:
  explicit ChartException(const std::string& message) : std::runtime_error(message) {}
};

class AxisException : public ChartException {
 public:
  using ChartException::ChartException;
};

class LegendException : public ChartException {
 public:
  using ChartException::ChartException;
};

// printf-style formatting of the engine's resource messages ("... between %d and %d").
std::string FormatMessage(const char* format, ...);

}  // namespace zq
