// Whole numbers: the four operations one at a time, then mixed with precedence and brackets.
#include "families.h"

namespace rekendo::generator {

namespace {

std::string Op(std::int64_t a, std::string_view op, std::int64_t b) {
  return Num(a) + std::string(op) + Num(b);
}

void Add(Picker& p, Problem& out, std::int64_t low, std::int64_t high) {
  const std::int64_t a = p.Between(low, high);
  const std::int64_t b = p.Between(low, high);
  AskValue(out, Op(a, kPlus, b), a + b);
}
void AddSmall(Picker& p, Problem& out) { Add(p, out, 1, 20); }
void AddTwoDigit(Picker& p, Problem& out) { Add(p, out, 10, 99); }
void AddThreeDigit(Picker& p, Problem& out) { Add(p, out, 100, 999); }

// Up to level 2 the difference is never negative: it is chosen, not the minuend.
void SubSmall(Picker& p, Problem& out) {
  const std::int64_t b = p.Between(1, 9);
  const std::int64_t difference = p.Between(0, 20);
  AskValue(out, Op(b + difference, kMinus, b), difference);
}
void SubTwoDigit(Picker& p, Problem& out) {
  const std::int64_t b = p.Between(10, 99);
  const std::int64_t difference = p.Between(1, 99);
  AskValue(out, Op(b + difference, kMinus, b), difference);
}
void SubThreeDigit(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(100, 999);
  const std::int64_t b = p.Between(100, 999);
  AskValue(out, Op(a, kMinus, b), a - b);
}

void Mul(Picker& p, Problem& out, std::int64_t a_low, std::int64_t a_high, std::int64_t b_low,
         std::int64_t b_high) {
  const std::int64_t a = p.Between(a_low, a_high);
  const std::int64_t b = p.Between(b_low, b_high);
  AskValue(out, Op(a, kTimes, b), a * b);
}
void MulTable(Picker& p, Problem& out) { Mul(p, out, 2, 9, 2, 9); }
void MulTwoByOne(Picker& p, Problem& out) { Mul(p, out, 11, 99, 2, 9); }
void MulTwoByTwo(Picker& p, Problem& out) { Mul(p, out, 11, 99, 11, 99); }

// The quotient is chosen, so every division comes out exact.
void Div(Picker& p, Problem& out, std::int64_t d_low, std::int64_t d_high, std::int64_t q_low,
         std::int64_t q_high) {
  const std::int64_t divisor = p.Between(d_low, d_high);
  const std::int64_t quotient = p.Between(q_low, q_high);
  AskValue(out, Op(divisor * quotient, kDivide, divisor), quotient);
}
void DivTable(Picker& p, Problem& out) { Div(p, out, 2, 9, 1, 9); }
void DivByOneDigit(Picker& p, Problem& out) { Div(p, out, 2, 9, 10, 99); }
void DivByTwoDigits(Picker& p, Problem& out) { Div(p, out, 11, 99, 2, 99); }

// --- Mixed operations ---------------------------------------------------------------------

// a＋b×c
void AddProduct(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(1, 20), b = p.Between(2, 9), c = p.Between(2, 9);
  AskValue(out, Num(a) + std::string(kPlus) + Op(b, kTimes, c), a + b * c);
}
// a×b＋c
void ProductAdd(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 9), b = p.Between(2, 9), c = p.Between(1, 20);
  AskValue(out, Op(a, kTimes, b) + std::string(kPlus) + Num(c), a * b + c);
}
// a－b×c, never below zero
void SubtractProduct(Picker& p, Problem& out) {
  const std::int64_t b = p.Between(2, 9), c = p.Between(2, 9), rest = p.Between(0, 20);
  AskValue(out, Num(b * c + rest) + std::string(kMinus) + Op(b, kTimes, c), rest);
}
// a÷b＋c
void QuotientAdd(Picker& p, Problem& out) {
  const std::int64_t b = p.Between(2, 9), q = p.Between(1, 9), c = p.Between(1, 20);
  AskValue(out, Op(b * q, kDivide, b) + std::string(kPlus) + Num(c), q + c);
}
constexpr Form kMixed1[] = {AddProduct, ProductAdd, SubtractProduct, QuotientAdd};

// （a＋b）×c
void BracketSumTimes(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 30), b = p.Between(2, 30), c = p.Between(2, 9);
  AskValue(out, Paren(Op(a, kPlus, b)) + std::string(kTimes) + Num(c), (a + b) * c);
}
// a×（b－c）
void TimesBracketDifference(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 9), c = p.Between(1, 30), d = p.Between(1, 20);
  AskValue(out, Num(a) + std::string(kTimes) + Paren(Op(c + d, kMinus, c)), a * d);
}
// （a－b）÷c
void BracketDifferenceOver(Picker& p, Problem& out) {
  const std::int64_t b = p.Between(1, 30), c = p.Between(2, 9), q = p.Between(1, 12);
  AskValue(out, Paren(Op(c * q + b, kMinus, b)) + std::string(kDivide) + Num(c), q);
}
// a×b＋c÷d
void ProductPlusQuotient(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 12), b = p.Between(2, 9), d = p.Between(2, 9),
                     q = p.Between(1, 9);
  AskValue(out, Op(a, kTimes, b) + std::string(kPlus) + Op(d * q, kDivide, d), a * b + q);
}
constexpr Form kMixed2[] = {BracketSumTimes, TimesBracketDifference, BracketDifferenceOver,
                            ProductPlusQuotient};

// a－b×（c＋d), which may fall below zero
void SubtractTimesBracket(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(1, 50), b = p.Between(2, 9), c = p.Between(1, 9),
                     d = p.Between(1, 9);
  AskValue(out, Num(a) + std::string(kMinus) + Num(b) + std::string(kTimes) + Paren(Op(c, kPlus, d)),
           a - b * (c + d));
}
// （a－b）×（c－d）
void BracketTimesBracket(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 20), b = p.Between(1, 20), c = p.Between(2, 20),
                     d = p.Between(1, 20);
  AskValue(out, Paren(Op(a, kMinus, b)) + std::string(kTimes) + Paren(Op(c, kMinus, d)),
           (a - b) * (c - d));
}
// a÷b－c×d
void QuotientMinusProduct(Picker& p, Problem& out) {
  const std::int64_t b = p.Between(2, 9), q = p.Between(2, 12), c = p.Between(2, 9),
                     d = p.Between(2, 9);
  AskValue(out, Op(b * q, kDivide, b) + std::string(kMinus) + Op(c, kTimes, d), q - c * d);
}
// a×（b－c）＋d
void TimesBracketPlus(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 9), b = p.Between(1, 20), c = p.Between(1, 20),
                     d = p.Between(1, 30);
  AskValue(out, Num(a) + std::string(kTimes) + Paren(Op(b, kMinus, c)) + std::string(kPlus) + Num(d),
           a * (b - c) + d);
}
constexpr Form kMixed3[] = {SubtractTimesBracket, BracketTimesBracket, QuotientMinusProduct,
                            TimesBracketPlus};

constexpr Form kAdd1[] = {AddSmall};
constexpr Form kAdd2[] = {AddTwoDigit};
constexpr Form kAdd3[] = {AddThreeDigit};
constexpr Form kSub1[] = {SubSmall};
constexpr Form kSub2[] = {SubTwoDigit};
constexpr Form kSub3[] = {SubThreeDigit};
constexpr Form kMul1[] = {MulTable};
constexpr Form kMul2[] = {MulTwoByOne};
constexpr Form kMul3[] = {MulTwoByTwo};
constexpr Form kDiv1[] = {DivTable};
constexpr Form kDiv2[] = {DivByOneDigit};
constexpr Form kDiv3[] = {DivByTwoDigits};

}  // namespace

constinit const Topic kAddition{"add", "たし算", "", {kAdd1, kAdd2, kAdd3}};
constinit const Topic kSubtraction{"sub", "ひき算", "レベル３は答えが負になることがある",
                         {kSub1, kSub2, kSub3}};
constinit const Topic kMultiplication{"mul", "かけ算", "", {kMul1, kMul2, kMul3}};
constinit const Topic kDivision{"div", "わり算", "割り切れる問題だけ", {kDiv1, kDiv2, kDiv3}};
constinit const Topic kMixedOperations{"mixed", "四則混合", "レベル３は答えが負になることがある",
                             {kMixed1, kMixed2, kMixed3}};

}  // namespace rekendo::generator
