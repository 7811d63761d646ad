#pragma once

#include <cmath>
#include <cstdint>

// A small random source of the band conditions and the fist: the same seed
// gives the same numbers on every machine and library (the standard's
// distributions may differ between libraries, which would change a
// written practice).
namespace practice {

class TBandRandom {
public:
  explicit TBandRandom(uint64_t Seed) : FState(Seed) {}

  // splitmix64.
  uint64_t NextU64() {
    uint64_t Z = (FState += 0x9E3779B97F4A7C15ULL);
    Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
    return Z ^ (Z >> 31);
  }
  // In [0, 1), 53 bits.
  double Uniform() { return static_cast<double>(NextU64() >> 11) * 0x1.0p-53; }
  double Uniform(double Low, double High) { return Low + (High - Low) * Uniform(); }
  // In Low .. High, both included.
  int32_t Between(int32_t Low, int32_t High) {
    return Low + static_cast<int32_t>(NextU64() % static_cast<uint64_t>(High - Low + 1));
  }
  // Standard normal (Box-Muller, the second value kept for the next call).
  double Gauss() {
    if (FHaveSpare) {
      FHaveSpare = false;
      return FSpare;
    }
    const double U1 = 1.0 - Uniform(); // (0, 1]: the logarithm stays finite
    const double U2 = Uniform();
    const double R = std::sqrt(-2.0 * std::log(U1));
    constexpr double TwoPi = 6.283185307179586476925;
    FSpare = R * std::sin(TwoPi * U2);
    FHaveSpare = true;
    return R * std::cos(TwoPi * U2);
  }

private:
  uint64_t FState;
  double FSpare = 0;
  bool FHaveSpare = false;
};

} // namespace practice
