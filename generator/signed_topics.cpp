// Positive and negative numbers, each bracketed with its sign as textbooks print them.
#include "families.h"

namespace rekendo::generator {

namespace {

std::string Op(std::int64_t a, std::string_view op, std::int64_t b) {
  return Signed(a) + std::string(op) + Signed(b);
}

void SumOrDifference(Picker& p, Problem& out, std::int64_t range, bool minus) {
  const std::int64_t a = p.NonZero(-range, range), b = p.NonZero(-range, range);
  AskValue(out, Op(a, minus ? kMinus : kPlus, b), minus ? a - b : a + b);
}

void SignedSum(Picker& p, Problem& out) { SumOrDifference(p, out, 9, false); }
void SignedDifference(Picker& p, Problem& out) { SumOrDifference(p, out, 9, true); }
constexpr Form kLevel1[] = {SignedSum, SignedDifference};

void WideSum(Picker& p, Problem& out) { SumOrDifference(p, out, 20, false); }
void WideDifference(Picker& p, Problem& out) { SumOrDifference(p, out, 20, true); }
void SignedProduct(Picker& p, Problem& out) {
  const std::int64_t a = p.NonZero(-12, 12), b = p.NonZero(-12, 12);
  AskValue(out, Op(a, kTimes, b), a * b);
}
void SignedQuotient(Picker& p, Problem& out) {
  const std::int64_t b = p.NonZero(-9, 9), q = p.NonZero(-9, 9);
  AskValue(out, Op(b * q, kDivide, b), q);
}
constexpr Form kLevel2[] = {WideSum, WideDifference, SignedProduct, SignedQuotient};

// Three numbers, where the product or quotient comes first by precedence.
void ProductMinus(Picker& p, Problem& out) {
  const std::int64_t a = p.NonZero(-9, 9), b = p.NonZero(-9, 9), c = p.NonZero(-20, 20);
  AskValue(out, Op(a, kTimes, b) + std::string(kMinus) + Signed(c), a * b - c);
}
void MinusProduct(Picker& p, Problem& out) {
  const std::int64_t a = p.NonZero(-20, 20), b = p.NonZero(-9, 9), c = p.NonZero(-9, 9);
  AskValue(out, Signed(a) + std::string(kMinus) + Op(b, kTimes, c), a - b * c);
}
void QuotientPlus(Picker& p, Problem& out) {
  const std::int64_t b = p.NonZero(-9, 9), q = p.NonZero(-9, 9), c = p.NonZero(-20, 20);
  AskValue(out, Op(b * q, kDivide, b) + std::string(kPlus) + Signed(c), q + c);
}
// （－３）＾２×（＋２）: the power binds first.
void SquareTimes(Picker& p, Problem& out) {
  const std::int64_t a = p.NonZero(-9, 9), b = p.NonZero(-9, 9);
  AskValue(out, Signed(a) + std::string(kPower) + Num(2) + std::string(kTimes) + Signed(b),
           a * a * b);
}
constexpr Form kLevel3[] = {ProductMinus, MinusProduct, QuotientPlus, SquareTimes};

}  // namespace

constinit const Topic kSignedNumbers{"signed", "正負の数", "＾ は累乗（（－３）＾２ は ９）",
                           {kLevel1, kLevel2, kLevel3}};

}  // namespace rekendo::generator
