#include "rational.h"

#include "full_width.h"

namespace rekendo::generator {

std::string FractionText(Rational value) {
  if (value.IsInteger()) return Num(value.num);
  return Num(value.num) + std::string(kSlash) + Num(value.den);
}

std::string SignedFractionText(Rational value) {
  std::string sign(value.num < 0 ? kMinus : kPlus);
  return Paren(sign + FractionText(value.num < 0 ? Rational{-value.num, value.den} : value));
}

std::vector<std::string> RationalAnswers(Rational value) {
  std::vector<std::string> forms{FractionText(value)};
  if (value.IsInteger()) return forms;
  // A denominator 2^a 5^b terminates after max(a, b) places.
  std::int64_t rest = value.den;
  int twos = 0;
  int fives = 0;
  while (rest % 2 == 0) {
    rest /= 2;
    ++twos;
  }
  while (rest % 5 == 0) {
    rest /= 5;
    ++fives;
  }
  if (rest != 1) return forms;
  const int places = twos > fives ? twos : fives;
  std::int64_t unit = 1;
  for (int i = 0; i < places; ++i) unit *= 10;
  forms.push_back(Decimal(value.num * (unit / value.den), places));
  return forms;
}

}  // namespace rekendo::generator
