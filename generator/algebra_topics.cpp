// Letters: collecting like terms, and linear equations asking for the value of ｘ.
#include "families.h"
#include "rational.h"

namespace rekendo::generator {

namespace {

// "３（２ｘ－５）" or "－２（ｘ＋ｙ）" as the next part of a sum: its sign, then the bracket.
std::string Multiple(std::int64_t k, std::span<const Term> inside, bool first) {
  std::string out = k < 0 ? std::string(kMinus) : (first ? "" : std::string(kPlus));
  if (k != 1 && k != -1) out += Num(k < 0 ? -k : k);
  return out + Paren(Sum(inside));
}

void AskSimplified(Problem& out, std::string expression, std::span<const Term> result) {
  out.text = std::move(expression) + " を計算せよ";
  out.answers = SumInAnyOrder(result);
}

// ３ｘ－５ｘ
void TwoLikeTerms(Picker& p, Problem& out) {
  const std::int64_t a = p.NonZero(-9, 9), b = p.NonZero(-9, 9);
  const Term shown[] = {{a, kX}, {b, kX}};
  const Term result[] = {{a + b, kX}};
  AskSimplified(out, Sum(shown), result);
}
// ３ｘ＋２＋４ｘ
void LikeTermsWithNumber(Picker& p, Problem& out) {
  const std::int64_t a = p.NonZero(-9, 9), c = p.NonZero(-9, 9), b = p.NonZero(-9, 9);
  const Term shown[] = {{a, kX}, {c, ""}, {b, kX}};
  const Term result[] = {{a + b, kX}, {c, ""}};
  AskSimplified(out, Sum(shown), result);
}
constexpr Form kLevel1[] = {TwoLikeTerms, LikeTermsWithNumber};

// ３ｘ＋２ｙ－ｘ＋５ｙ
void TwoLetters(Picker& p, Problem& out) {
  const std::int64_t a = p.NonZero(-9, 9), b = p.NonZero(-9, 9), c = p.NonZero(-9, 9),
                     d = p.NonZero(-9, 9);
  const Term shown[] = {{a, kX}, {b, kY}, {c, kX}, {d, kY}};
  const Term result[] = {{a + c, kX}, {b + d, kY}};
  AskSimplified(out, Sum(shown), result);
}
// ２（ｘ＋３）＋４ｘ－１
void BracketThenTerms(Picker& p, Problem& out) {
  const std::int64_t k = p.Between(2, 6), q = p.NonZero(-9, 9), c = p.NonZero(-9, 9),
                     d = p.NonZero(-9, 9);
  const Term inside[] = {{1, kX}, {q, ""}};
  const Term rest[] = {{c, kX}, {d, ""}};
  std::string text = Multiple(k, inside, true);
  const std::string tail = Sum(rest);
  text += (tail.starts_with(kMinus) ? "" : std::string(kPlus)) + tail;
  const Term result[] = {{k + c, kX}, {k * q + d, ""}};
  AskSimplified(out, text, result);
}
constexpr Form kLevel2[] = {TwoLetters, BracketThenTerms};

// ２（３ｘ－１）－３（ｘ＋４）
void TwoBrackets(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 5), pa = p.Between(1, 3), qa = p.NonZero(-9, 9);
  const std::int64_t b = p.NonZero(-5, 5), pb = p.Between(1, 3), qb = p.NonZero(-9, 9);
  const Term first[] = {{pa, kX}, {qa, ""}};
  const Term second[] = {{pb, kX}, {qb, ""}};
  const Term result[] = {{a * pa + b * pb, kX}, {a * qa + b * qb, ""}};
  AskSimplified(out, Multiple(a, first, true) + Multiple(b, second, false), result);
}
// ３（ｘ－２ｙ）－２（２ｘ＋ｙ）
void TwoBracketsTwoLetters(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 5), pa = p.Between(1, 3), qa = p.NonZero(-5, 5);
  const std::int64_t b = p.NonZero(-5, 5), pb = p.Between(1, 3), qb = p.NonZero(-5, 5);
  const Term first[] = {{pa, kX}, {qa, kY}};
  const Term second[] = {{pb, kX}, {qb, kY}};
  const Term result[] = {{a * pa + b * pb, kX}, {a * qa + b * qb, kY}};
  AskSimplified(out, Multiple(a, first, true) + Multiple(b, second, false), result);
}
constexpr Form kLevel3[] = {TwoBrackets, TwoBracketsTwoLetters};

// --- Linear equations ---------------------------------------------------------------------

void AskX(Problem& out, std::string equation, Rational x) {
  out.text = std::move(equation) + " のとき、" + std::string(kX) + " の値は？";
  out.answers = RationalAnswers(x);
}
std::string Equation(std::span<const Term> left, std::span<const Term> right) {
  return Sum(left) + std::string(kEquals) + Sum(right);
}

// ｘ＋５＝１２; the solution is chosen, the right side follows.
void XPlus(Picker& p, Problem& out) {
  const std::int64_t x = p.Between(1, 15), a = p.NonZero(-9, 9);
  const Term left[] = {{1, kX}, {a, ""}};
  const Term right[] = {{x + a, ""}};
  AskX(out, Equation(left, right), Rational::Of(x));
}
// ３ｘ＝２１
void TimesX(Picker& p, Problem& out) {
  const std::int64_t x = p.Between(1, 12), a = p.Between(2, 9);
  const Term left[] = {{a, kX}};
  const Term right[] = {{a * x, ""}};
  AskX(out, Equation(left, right), Rational::Of(x));
}
constexpr Form kEquation1[] = {XPlus, TimesX};

// －２ｘ＋７＝１
void TwoStep(Picker& p, Problem& out) {
  const std::int64_t x = p.Between(-9, 9), a = p.NonZero(-9, 9), b = p.NonZero(-20, 20);
  const Term left[] = {{a, kX}, {b, ""}};
  const Term right[] = {{a * x + b, ""}};
  AskX(out, Equation(left, right), Rational::Of(x));
}
// ５ｘ＋２＝２ｘ－７: ｘ on both sides, the left coefficient the larger.
void BothSides(Picker& p, Problem& out) {
  const std::int64_t x = p.Between(-9, 9), c = p.Between(1, 6), k = p.Between(1, 5),
                     b = p.NonZero(-9, 9);
  const std::int64_t a = c + k;
  const Term left[] = {{a, kX}, {b, ""}};
  const Term right[] = {{c, kX}, {k * x + b, ""}};
  AskX(out, Equation(left, right), Rational::Of(x));
}
constexpr Form kEquation2[] = {TwoStep, BothSides};

// ３（ｘ－２）＝ｘ＋５, whose solution may be a fraction
void BracketEquation(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 6), b = p.NonZero(-9, 9), k = p.NonZero(-5, 5),
                     d = p.Between(-20, 20);
  const std::int64_t c = a - k;
  const Term inside[] = {{1, kX}, {b, ""}};
  const Term right[] = {{c, kX}, {d, ""}};
  AskX(out, Multiple(a, inside, true) + std::string(kEquals) + Sum(right),
       Rational::Of(d - a * b, k));
}
// ４ｘ－３＝－２ｘ＋８
void FractionalSolution(Picker& p, Problem& out) {
  const std::int64_t a = p.NonZero(-9, 9), k = p.NonZero(-6, 6), b = p.Between(-12, 12),
                     d = p.Between(-12, 12);
  const Term left[] = {{a, kX}, {b, ""}};
  const Term right[] = {{a - k, kX}, {d, ""}};
  AskX(out, Equation(left, right), Rational::Of(d - b, k));
}
constexpr Form kEquation3[] = {BracketEquation, FractionalSolution};

}  // namespace

constinit const Topic kLikeTerms{"terms", "同類項", "項の順はどれでも可（２ｘ＋７ｙ でも ７ｙ＋２ｘ でも）",
                       {kLevel1, kLevel2, kLevel3}};
constinit const Topic kLinearEquations{
    "equation", "一次方程式",
    "答えは ｘ の値だけ（ｘ＝ は入力できない）。分数は既約の仮分数、割り切れれば小数でも",
    {kEquation1, kEquation2, kEquation3}};

}  // namespace rekendo::generator
