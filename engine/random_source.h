// The drill's one pseudo-random generator: a 32-bit linear congruential state. Every draw
// of the program goes through RandomBelow(), so a fixed state replays a whole session exactly.
#pragma once

#include <cstdint>

namespace rekendo {

class RandomSource {
 public:
  // Milliseconds since midnight of the UTC clock.
  static std::uint32_t MillisecondsSinceUtcMidnight();

  RandomSource() = default;
  explicit RandomSource(std::uint32_t state) : state_(state) {}

  // Advances the state, then returns a number from 0 to n - 1 (0 when n is 0).
  std::uint32_t RandomBelow(std::uint32_t n) {
    state_ = state_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(n) * state_) >> 32);
  }

  std::uint32_t state() const { return state_; }
  void Reseed(std::uint32_t state) { state_ = state; }

 private:
  std::uint32_t state_ = 0;
};

}  // namespace rekendo
