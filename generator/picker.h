// A problem is made from a number, the index of its choices: every choice takes one digit
// of a mixed-radix number. Run once in counting mode, the same maker tells how many
// problems a form has, so distinct indices are distinct problems and the number available
// is exact. A maker's ranges must therefore not depend on its earlier choices.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace rekendo::generator {

class Picker {
 public:
  // Counts instead of decoding: every choice returns its lowest value.
  static Picker Counting() { return Picker(0, true); }
  explicit Picker(std::uint64_t index) : Picker(index, false) {}

  // A value in [low, high].
  std::int64_t Between(std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(Digit(static_cast<std::uint64_t>(high - low + 1)));
  }
  // A value in [low, high] other than 0 (low < 0 < high).
  std::int64_t NonZero(std::int64_t low, std::int64_t high) {
    const std::int64_t value = Between(low, high - 1);
    return value >= 0 ? value + 1 : value;
  }
  bool Flip() { return Digit(2) == 1; }
  // Indices i <= j below n: an unordered pair, repeats allowed.
  std::pair<std::size_t, std::size_t> UnorderedPair(std::size_t n);
  template <typename T, std::size_t N>
  const T& From(const std::array<T, N>& table) {
    return table[Digit(N)];
  }

  // The number of problems, after a counting run.
  std::uint64_t count() const { return count_; }

 private:
  Picker(std::uint64_t index, bool counting) : index_(index), counting_(counting) {}
  std::uint64_t Digit(std::uint64_t radix) {
    if (counting_) {
      count_ *= radix;
      return 0;
    }
    const std::uint64_t digit = index_ % radix;
    index_ /= radix;
    return digit;
  }

  std::uint64_t index_;
  bool counting_;
  std::uint64_t count_ = 1;
};

inline std::pair<std::size_t, std::size_t> Picker::UnorderedPair(std::size_t n) {
  std::uint64_t k = Digit(n * (n + 1) / 2);
  std::size_t i = 0;
  while (k >= n - i) {
    k -= n - i;
    ++i;
  }
  return {i, i + static_cast<std::size_t>(k)};
}

}  // namespace rekendo::generator
