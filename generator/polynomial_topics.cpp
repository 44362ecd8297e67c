// Products of linear factors: expanding them, and factoring the expanded form back.
#include <numeric>

#include "families.h"

namespace rekendo::generator {

namespace {

// p·ｘ＋a·(1 or ｙ)
struct Linear {
  std::int64_t p, a;
};

// The linear factors with p in 1 … P and a in ±1 … ±A sharing no divisor: a product of two
// of them factors in exactly one way, so distinct pairs are distinct problems.
template <std::int64_t P, std::int64_t A>
constexpr auto PrimitiveFactors() {
  constexpr std::size_t count = [] {
    std::size_t n = 0;
    for (std::int64_t p = 1; p <= P; ++p) {
      for (std::int64_t a = 1; a <= A; ++a) n += std::gcd(p, a) == 1 ? 2 : 0;
    }
    return n;
  }();
  std::array<Linear, count> table{};
  std::size_t i = 0;
  for (std::int64_t p = 1; p <= P; ++p) {
    for (std::int64_t a = -A; a <= A; ++a) {
      if (a != 0 && std::gcd(p, a) == 1) table[i++] = {p, a};
    }
  }
  return table;
}
constexpr auto kMonic = PrimitiveFactors<1, 9>();
constexpr auto kMonicSmall = PrimitiveFactors<1, 6>();
constexpr auto kPrimitive = PrimitiveFactors<3, 9>();

// The second letter of a factor: nothing (a number) or ｙ.
struct Letters {
  std::string_view second;               // "" or ｙ
  std::array<std::string_view, 3> squares;  // monomials of ｘ＾２, ｘ·second, second＾２
};
constexpr Letters kOneLetter{"", {"ｘ＾２", "ｘ", ""}};
constexpr Letters kTwoLetters{"ｙ", {"ｘ＾２", "ｘｙ", "ｙ＾２"}};

std::string FactorText(Linear f, const Letters& letters) {
  const Term terms[] = {{f.p, kX}, {f.a, letters.second}};
  return Paren(Sum(terms));
}

// k·f·g expanded, in descending powers of ｘ.
std::string Expanded(std::int64_t k, Linear f, Linear g, const Letters& letters) {
  const Term terms[] = {{k * f.p * g.p, letters.squares[0]},
                        {k * (f.p * g.a + f.a * g.p), letters.squares[1]},
                        {k * f.a * g.a, letters.squares[2]}};
  return Sum(terms);
}

// "（ｘ＋３）＾２" for a square, else the two factors.
std::string ProductText(Linear f, Linear g, const Letters& letters) {
  if (f.p == g.p && f.a == g.a) return FactorText(f, letters) + std::string(kPower) + Num(2);
  return FactorText(f, letters) + FactorText(g, letters);
}

constexpr std::string_view kExpand = " を展開せよ（降べきの順）";
constexpr std::string_view kExpandInX = " を展開せよ（ｘ について降べきの順）";
constexpr std::string_view kFactor = " を因数分解せよ";

// --- Expansion ----------------------------------------------------------------------------

template <const auto& kTable>
void ExpandPair(Picker& p, Problem& out, const Letters& letters, std::string_view ask) {
  const auto [i, j] = p.UnorderedPair(kTable.size());
  out.text = ProductText(kTable[i], kTable[j], letters) + std::string(ask);
  out.answers = {Expanded(1, kTable[i], kTable[j], letters)};
}

// ２ｘ（ｘ－４）
void ExpandMonomialTimes(Picker& p, Problem& out) {
  const std::int64_t k = p.NonZero(-6, 6), b = p.NonZero(-9, 9);
  const Term outside[] = {{k, kX}};
  out.text = Sum(outside) + FactorText({1, b}, kOneLetter) + std::string(kExpand);
  const Term result[] = {{k, "ｘ＾２"}, {k * b, kX}};
  out.answers = {Sum(result)};
}
void ExpandMonicPair(Picker& p, Problem& out) { ExpandPair<kMonic>(p, out, kOneLetter, kExpand); }
constexpr Form kExpand1[] = {ExpandMonomialTimes, ExpandMonicPair};

void ExpandPrimitivePair(Picker& p, Problem& out) {
  ExpandPair<kPrimitive>(p, out, kOneLetter, kExpand);
}
constexpr Form kExpand2[] = {ExpandPrimitivePair};

void ExpandTwoLetters(Picker& p, Problem& out) {
  ExpandPair<kPrimitive>(p, out, kTwoLetters, kExpandInX);
}
// （ｘ＋２）＾３
void ExpandCube(Picker& p, Problem& out) {
  const std::int64_t a = p.NonZero(-5, 5);
  out.text = FactorText({1, a}, kOneLetter) + std::string(kPower) + Num(3) + std::string(kExpand);
  const Term result[] = {{1, "ｘ＾３"}, {3 * a, "ｘ＾２"}, {3 * a * a, kX}, {a * a * a, ""}};
  out.answers = {Sum(result)};
}
constexpr Form kExpand3[] = {ExpandTwoLetters, ExpandCube};

// --- Factoring ----------------------------------------------------------------------------

// k·f·g: the number first, then the factors in either order; a square also as f＾２.
std::vector<std::string> Factored(std::int64_t k, Linear f, Linear g, const Letters& letters) {
  const std::string prefix = k == 1 ? "" : Num(k);
  const std::string ft = FactorText(f, letters);
  if (f.p == g.p && f.a == g.a) return {prefix + ft + std::string(kPower) + Num(2), prefix + ft + ft};
  return ProductInAnyOrder(prefix, {ft, FactorText(g, letters)});
}

template <const auto& kTable>
void FactorPair(Picker& p, Problem& out, std::int64_t k, const Letters& letters) {
  const auto [i, j] = p.UnorderedPair(kTable.size());
  out.text = Expanded(k, kTable[i], kTable[j], letters) + std::string(kFactor);
  out.answers = Factored(k, kTable[i], kTable[j], letters);
}

void FactorMonicPair(Picker& p, Problem& out) { FactorPair<kMonic>(p, out, 1, kOneLetter); }
// ｘ＾２＋３ｘ
void FactorCommonX(Picker& p, Problem& out) {
  const std::int64_t b = p.NonZero(-9, 9);
  const Term terms[] = {{1, "ｘ＾２"}, {b, kX}};
  out.text = Sum(terms) + std::string(kFactor);
  out.answers = ProductInAnyOrder("", {std::string(kX), FactorText({1, b}, kOneLetter)});
}
constexpr Form kFactor1[] = {FactorMonicPair, FactorCommonX};

void FactorWithNumber(Picker& p, Problem& out) {
  const std::int64_t k = p.Between(2, 5);
  FactorPair<kMonicSmall>(p, out, k, kOneLetter);
}
void FactorPrimitivePair(Picker& p, Problem& out) {
  FactorPair<kPrimitive>(p, out, 1, kOneLetter);
}
constexpr Form kFactor2[] = {FactorWithNumber, FactorPrimitivePair};

void FactorTwoLetters(Picker& p, Problem& out) {
  const std::int64_t k = p.Between(1, 3);
  FactorPair<kPrimitive>(p, out, k, kTwoLetters);
}
constexpr Form kFactor3[] = {FactorTwoLetters};

}  // namespace

constinit const Topic kExpansion{"expand", "式の展開", "答えは降べきの順（問題文に書いてある）",
                       {kExpand1, kExpand2, kExpand3}};
constinit const Topic kFactoring{"factor", "因数分解",
                       "因数の順はどちらでも可。数の因数は先頭に。同じ因数は（ｘ＋３）＾２ でも（ｘ＋３）（ｘ＋３）でも可",
                       {kFactor1, kFactor2, kFactor3}};

}  // namespace rekendo::generator
