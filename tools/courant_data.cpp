// Measures the growth per step of both schemes at each Courant number the
// page offers, from the models themselves, for docs/growth.md's section on
// choosing it. One line a stop:
//   nu c programMeasured programSteps textbookMeasured textbookSteps textbookLargest
// nu = sqrt(c), c the double nearest the stop's decimal; a scheme's growth
// per step is exp of the slope of ln(largest |value|) (see `fittedGrowth`)
// over the second half of its run; textbookLargest is the textbook scheme's
// largest |value| over its whole run, which stays near the start's 2 where
// the scheme is bounded.
// Usage: courant_data [FILE]   (no FILE: standard output)
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "linalg/vector_summary.hpp"
#include "wave/textbook_model.hpp"
#include "wave/wave_model.hpp"

namespace {

// c = nu^2 as the page writes it; nu itself only names the stop.
const char* const STIFFNESSES[] = {"0.00005", "0.0025", "0.01",   "0.0625", "0.25",
                                   "0.81",    "1",      "1.0201", "1.21"};

// Long enough at the smallest c for the fastest modes to stand clear of the
// pulse (about 2,000 frames of 51 steps) and then grow a while longer.
constexpr long MAX_STEPS = 400000;
// Stop well before the largest double: the last steps must still be finite.
constexpr double LARGEST_KEPT = 1e200;

struct Run {
  std::vector<double> logLargest;  // ln(largest |value|) after each step, from step 0
  double largest = 0.0;            // over the whole run
};

template <class Wave>
Run run(Wave& wave) {
  Run r;
  for (long n = 0; n <= MAX_STEPS; ++n) {
    if (n > 0) step(wave);
    const double largest = largestMagnitude(wave.current);
    r.logLargest.push_back(std::log(largest));
    r.largest = std::max(r.largest, largest);
    if (largest > LARGEST_KEPT) break;
  }
  return r;
}

// exp of the least-squares slope of the running maximum of ln(largest |value|)
// over the run's second half. A growing mode of complex roots swings through
// zero as it grows; its running maximum follows the peaks, so the fit is not
// pulled down by the dips. A bounded wave's running maximum levels off: slope
// near 0, growth near 1.
double fittedGrowth(const std::vector<double>& logLargest) {
  const std::size_t first = logLargest.size() / 2;
  double peak = -HUGE_VAL;
  double sn = 0.0, sy = 0.0, snn = 0.0, sny = 0.0;
  const double count = static_cast<double>(logLargest.size() - first);
  for (std::size_t i = first; i < logLargest.size(); ++i) {
    peak = std::max(peak, logLargest[i]);
    const double n = static_cast<double>(i - first);
    sn += n;
    sy += peak;
    snn += n * n;
    sny += n * peak;
  }
  return std::exp((count * sny - sn * sy) / (count * snn - sn * sn));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: courant_data [FILE]\n";
    return 2;
  }
  std::ofstream file;
  if (argc == 2) file.open(argv[1]);
  std::ostream& out = argc == 2 ? file : std::cout;
  out.precision(12);
  for (const char* decimal : STIFFNESSES) {
    const double c = std::stod(decimal);
    // Heap: each holds a 201 x 201 matrix.
    const auto program = std::make_unique<WaveState>();
    program->stiffness = c;
    ensureInitialized(*program);
    const auto textbook = std::make_unique<TextbookWave>();
    textbook->stiffness = c;
    start(*textbook);
    const Run p = run(*program), t = run(*textbook);
    out << std::sqrt(c) << ' ' << c << ' ' << fittedGrowth(p.logLargest) << ' ' << p.logLargest.size() - 1
        << ' ' << fittedGrowth(t.logLargest) << ' ' << t.logLargest.size() - 1 << ' ' << t.largest << '\n';
  }
  return out ? 0 : 1;
}
