// Decimals, kept exact as whole numbers of hundredths or thousandths.
#include "families.h"

namespace rekendo::generator {

namespace {

// The answer of a decimal problem: the decimal, with no trailing zeros.
void AskDecimal(Problem& out, std::string expression, std::int64_t scaled, int places) {
  out.text = std::move(expression);
  out.text += kEquals;
  out.answers = {Decimal(scaled, places)};
}

std::string Op(std::int64_t a, int a_places, std::string_view op, std::int64_t b,
               int b_places) {
  return Decimal(a, a_places) + std::string(op) + Decimal(b, b_places);
}

// A number of tenths with a digit after the point: ０．１ … ９．９ but never 3.0.
std::int64_t Tenths(Picker& p, std::int64_t max_units) {
  const std::int64_t tenth = p.Between(1, 9);
  return p.Between(0, max_units) * 10 + tenth;
}
// Hundredths with two digits after the point: ０．０１ … ９．９９, never ending in 0.
std::int64_t Hundredths(Picker& p, std::int64_t max_units) {
  const std::int64_t hundredth = p.Between(1, 9);
  return p.Between(0, max_units) * 100 + p.Between(0, 9) * 10 + hundredth;
}

void TenthsSum(Picker& p, Problem& out) {
  const std::int64_t a = Tenths(p, 9), b = Tenths(p, 9);
  AskDecimal(out, Op(a, 1, kPlus, b, 1), a + b, 1);
}
void TenthsDifference(Picker& p, Problem& out) {
  const std::int64_t b = Tenths(p, 9), difference = Tenths(p, 9);
  AskDecimal(out, Op(b + difference, 1, kMinus, b, 1), difference, 1);
}
constexpr Form kLevel1[] = {TenthsSum, TenthsDifference};

void MixedPlacesSum(Picker& p, Problem& out) {
  const std::int64_t a = Tenths(p, 9), b = Hundredths(p, 9);
  AskDecimal(out, Op(a, 1, kPlus, b, 2), a * 10 + b, 2);
}
void TenthsTimesWhole(Picker& p, Problem& out) {
  const std::int64_t a = Tenths(p, 9), b = p.Between(2, 9);
  AskDecimal(out, Op(a, 1, kTimes, b, 0), a * b, 1);
}
void TenthsTimesTenths(Picker& p, Problem& out) {
  const std::int64_t a = Tenths(p, 0), b = Tenths(p, 9);
  AskDecimal(out, Op(a, 1, kTimes, b, 1), a * b, 2);
}
void TenthsOverWhole(Picker& p, Problem& out) {
  const std::int64_t quotient = Tenths(p, 9), divisor = p.Between(2, 9);
  AskDecimal(out, Op(quotient * divisor, 1, kDivide, divisor, 0), quotient, 1);
}
constexpr Form kLevel2[] = {MixedPlacesSum, TenthsTimesWhole, TenthsTimesTenths,
                            TenthsOverWhole};

void HundredthsTimesTenths(Picker& p, Problem& out) {
  const std::int64_t a = Hundredths(p, 0), b = Tenths(p, 9);
  AskDecimal(out, Op(a, 2, kTimes, b, 1), a * b, 3);
}
// ２．４÷０．０６: the quotient is chosen so the division is exact.
void OverDecimal(Picker& p, Problem& out) {
  const std::int64_t divisor = Hundredths(p, 0), quotient = p.Between(2, 60);
  AskDecimal(out, Op(quotient * divisor, 2, kDivide, divisor, 2), quotient, 0);
}
void DifferenceBelowZero(Picker& p, Problem& out) {
  const std::int64_t a = Tenths(p, 9), b = Hundredths(p, 9);
  AskDecimal(out, Op(a, 1, kMinus, b, 2), a * 10 - b, 2);
}
// a×b＋c, the product first
void ProductPlus(Picker& p, Problem& out) {
  const std::int64_t a = Tenths(p, 4), b = Tenths(p, 0), c = Hundredths(p, 9);
  AskDecimal(out, Op(a, 1, kTimes, b, 1) + std::string(kPlus) + Decimal(c, 2), a * b + c, 2);
}
constexpr Form kLevel3[] = {HundredthsTimesTenths, OverDecimal, DifferenceBelowZero,
                            ProductPlus};

}  // namespace

constinit const Topic kDecimals{"decimal", "小数",
                      "答えは小数で、終わりの０は付けない（２．５０ でなく ２．５、０．５ の０は付ける）",
                      {kLevel1, kLevel2, kLevel3}};

}  // namespace rekendo::generator
