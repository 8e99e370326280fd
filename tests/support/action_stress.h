// Random action sequences for the stress runs, the same on every platform: which action comes
// next and with what parameter texts (well-formed, malformed and extreme mixed). The driver
// runs the steps through the plug-in, owns the windows and decides when time passes; it may
// draw its own decisions from the same seeded stream through Pick and Chance.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace zq::testing {

// One registration as the plug-in made it through AddActionProc (number 0 is a separator).
struct ActionRegistration {
  int32_t number = 0;
  int32_t parameterCount = 0;
};

struct ActionStep {
  int32_t number = 0;
  std::vector<std::string> args;  // UTF-8; the driver converts them to the host's code page
};

class ActionStress {
 public:
  // `rectangles` are the names the host knows; `pictures` are picture paths of every kind
  // (good, pretending, missing, ...) for the picture action.
  ActionStress(const std::vector<ActionRegistration>& registrations, uint32_t seed,
               std::vector<std::string> rectangles, std::vector<std::string> pictures);

  // The next action with its parameters: mostly registered actions, now and then a number
  // nobody registered.
  ActionStep Next();

  // Parameters for one action over one rectangle name.
  std::vector<std::string> Arguments(int32_t number, const std::string& rectangle);

  // A rectangle name: mostly a known one, sometimes a near miss or a missing one.
  std::string RectangleName();

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }

  // Only creation, deletion and the four wall actions may answer true, and creation always
  // does (a missing rectangle included).
  static bool ResultAllowed(int32_t number, bool result) {
    const bool mayBeTrue = number == 1 || number == 2 || (number >= 17 && number <= 20);
    return (mayBeTrue || !result) && (number != 1 || result);
  }

  // Texts of every kind: each parameter of each action is tried with all of them.
  static const std::vector<std::string>& TextPool();

 private:
  std::string Number();
  std::vector<std::string> SeriesArguments(const std::string& rectangle);
  const std::string& FromPool() { return TextPool()[size_t(Pick(int(TextPool().size())))]; }

  std::vector<ActionRegistration> actions_;  // the registered ones, separators left out
  int32_t highestNumber_ = 0;
  std::mt19937 rng_;
  std::vector<std::string> rectangles_;
  std::vector<std::string> oddRectangles_;
  std::vector<std::string> pictures_;
  std::vector<std::string> seriesNames_;
};

// A 24-bit BMP file of 3 x 2 pixels, and the bytes of a file that only pretends to be a JPEG.
std::string SmallBmpBytes();
std::string FakeJpegBytes();

}  // namespace zq::testing
