// Exact fractions for the problems whose answers are not whole numbers. The generator's
// numbers stay small, so 64 bits never overflow.
#pragma once

#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace rekendo::generator {

struct Rational {
  std::int64_t num = 0;
  std::int64_t den = 1;  // positive; lowest terms

  static Rational Of(std::int64_t num, std::int64_t den = 1) {
    if (den < 0) {
      num = -num;
      den = -den;
    }
    const std::int64_t divisor = std::gcd(num, den);
    return {num / divisor, den / divisor};
  }
  bool IsInteger() const { return den == 1; }
};

inline Rational operator+(Rational a, Rational b) {
  return Rational::Of(a.num * b.den + b.num * a.den, a.den * b.den);
}
inline Rational operator-(Rational a, Rational b) {
  return Rational::Of(a.num * b.den - b.num * a.den, a.den * b.den);
}
inline Rational operator*(Rational a, Rational b) {
  return Rational::Of(a.num * b.num, a.den * b.den);
}
inline Rational operator/(Rational a, Rational b) {
  return Rational::Of(a.num * b.den, a.den * b.num);
}

// "３／４", "－２／３", "５" (the value itself, not a term).
std::string FractionText(Rational value);
// As an operand: a fraction with a sign is bracketed, "（－２／３）".
std::string SignedFractionText(Rational value);
// Every form of a result: the integer, or the fraction in lowest terms and, when it
// terminates, its decimal.
std::vector<std::string> RationalAnswers(Rational value);

}  // namespace rekendo::generator
