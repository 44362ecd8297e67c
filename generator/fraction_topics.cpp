// Fractions: results in lowest terms, with the decimal as well when it terminates.
#include <numeric>

#include "families.h"
#include "rational.h"

namespace rekendo::generator {

namespace {

// The proper fractions in lowest terms with denominators 2 … N, as operands.
template <std::int64_t N>
constexpr auto ProperFractions() {
  constexpr std::size_t count = [] {
    std::size_t n = 0;
    for (std::int64_t d = 2; d <= N; ++d) {
      for (std::int64_t a = 1; a < d; ++a) n += std::gcd(a, d) == 1 ? 1 : 0;
    }
    return n;
  }();
  std::array<Rational, count> table{};
  std::size_t i = 0;
  for (std::int64_t d = 2; d <= N; ++d) {
    for (std::int64_t a = 1; a < d; ++a) {
      if (std::gcd(a, d) == 1) table[i++] = Rational{a, d};
    }
  }
  return table;
}
constexpr auto kUpToSix = ProperFractions<6>();
constexpr auto kUpToNine = ProperFractions<9>();
constexpr auto kUpToTwelve = ProperFractions<12>();

// Two numerators over one denominator, each below it: a/d + b/d as written in class.
struct SharedDenominator {
  std::int64_t a, b, d;
};
constexpr auto kSharedDenominators = [] {
  std::array<SharedDenominator, 285> table{};  // the sum of (d - 1)^2 for d = 2 … 10
  std::size_t i = 0;
  for (std::int64_t d = 2; d <= 10; ++d) {
    for (std::int64_t a = 1; a < d; ++a) {
      for (std::int64_t b = 1; b < d; ++b) table[i++] = {a, b, d};
    }
  }
  return table;
}();

void AskRational(Problem& out, std::string expression, Rational value) {
  out.text = std::move(expression);
  out.text += kEquals;
  out.answers = RationalAnswers(value);
}

std::string Op(Rational a, std::string_view op, Rational b) {
  return FractionText(a) + std::string(op) + FractionText(b);
}
std::string SignedOp(Rational a, std::string_view op, Rational b) {
  return SignedFractionText(a) + std::string(op) + SignedFractionText(b);
}
Rational WithSign(Picker& p, Rational value) {
  return p.Flip() ? Rational{-value.num, value.den} : value;
}

void SameDenominatorSum(Picker& p, Problem& out) {
  const SharedDenominator& s = p.From(kSharedDenominators);
  const std::string d = std::string(kSlash) + Num(s.d);
  AskRational(out, Num(s.a) + d + std::string(kPlus) + Num(s.b) + d, Rational::Of(s.a + s.b, s.d));
}
// Asks for the fraction itself, so its decimal is not an answer here.
void Reduce(Picker& p, Problem& out) {
  const Rational value = p.From(kUpToNine);
  const std::int64_t k = p.Between(2, 9);
  out.text = Num(value.num * k) + std::string(kSlash) + Num(value.den * k) + " を約分せよ";
  out.answers = {FractionText(value)};
}
constexpr Form kLevel1[] = {SameDenominatorSum, Reduce};

void Sum(Picker& p, Problem& out) {
  const Rational a = p.From(kUpToNine), b = p.From(kUpToNine);
  AskRational(out, Op(a, kPlus, b), a + b);
}
void Product(Picker& p, Problem& out) {
  const Rational a = p.From(kUpToNine), b = p.From(kUpToNine);
  AskRational(out, Op(a, kTimes, b), a * b);
}
void Quotient(Picker& p, Problem& out) {
  const Rational a = p.From(kUpToNine), b = p.From(kUpToNine);
  AskRational(out, Op(a, kDivide, b), a / b);
}
constexpr Form kLevel2[] = {Sum, Product, Quotient};

void Difference(Picker& p, Problem& out) {
  const Rational a = p.From(kUpToTwelve), b = p.From(kUpToTwelve);
  AskRational(out, Op(a, kMinus, b), a - b);
}
void SignedProduct(Picker& p, Problem& out) {
  const Rational a = WithSign(p, p.From(kUpToTwelve)), b = WithSign(p, p.From(kUpToTwelve));
  AskRational(out, SignedOp(a, kTimes, b), a * b);
}
void SignedQuotient(Picker& p, Problem& out) {
  const Rational a = WithSign(p, p.From(kUpToTwelve)), b = WithSign(p, p.From(kUpToTwelve));
  AskRational(out, SignedOp(a, kDivide, b), a / b);
}
// a＋b×c, the product first
void SumWithProduct(Picker& p, Problem& out) {
  const Rational a = p.From(kUpToSix), b = p.From(kUpToSix), c = p.From(kUpToSix);
  AskRational(out, FractionText(a) + std::string(kPlus) + Op(b, kTimes, c), a + b * c);
}
constexpr Form kLevel3[] = {Difference, SignedProduct, SignedQuotient, SumWithProduct};

}  // namespace

constinit const Topic kFractions{"fraction", "分数",
                       "答えは既約分数（帯分数でなく仮分数）。割り切れる答えは小数でも、整数になる答えは整数で。約分の問題は分数だけ",
                       {kLevel1, kLevel2, kLevel3}};

}  // namespace rekendo::generator
