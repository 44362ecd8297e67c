// The generator's own random numbers: SplitMix64 and an unbiased bounded draw, so a seed
// gives the same problem set on every platform and standard library.
#pragma once

#include <cstdint>

namespace rekendo::generator {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next();
  // Uniform in [0, bound); bound must be positive.
  std::uint64_t Below(std::uint64_t bound);

 private:
  std::uint64_t state_;
};

}  // namespace rekendo::generator
