// Powers and square roots; roots come back in simplest radical form, a√b with b square-free.
#include "families.h"

namespace rekendo::generator {

namespace {

constexpr std::array<std::int64_t, 10> kSquareFree = {2, 3, 5, 6, 7, 10, 11, 13, 14, 15};

// √n as a√b with b square-free.
std::pair<std::int64_t, std::int64_t> Simplify(std::int64_t n) {
  std::int64_t outside = 1;
  for (std::int64_t f = 2; f * f <= n; ++f) {
    while (n % (f * f) == 0) {
      n /= f * f;
      outside *= f;
    }
  }
  return {outside, n};
}

std::string Root(std::int64_t n) { return std::string(kRoot) + Num(n); }
std::string Power(std::string base, std::int64_t exponent) {
  return base + std::string(kPower) + Num(exponent);
}

void Square(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 20);
  AskValue(out, Power(Num(a), 2), a * a);
}
void Cube(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 9);
  AskValue(out, Power(Num(a), 3), a * a * a);
}
void PowerOfTwo(Picker& p, Problem& out) {
  const std::int64_t n = p.Between(4, 10);
  AskValue(out, Power(Num(2), n), std::int64_t{1} << n);
}
void RootOfSquare(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 20);
  AskValue(out, Root(a * a), a);
}
constexpr Form kLevel1[] = {Square, Cube, PowerOfTwo, RootOfSquare};

void SimplifyRoot(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 10), b = p.From(kSquareFree);
  out.text = Root(a * a * b) + " を簡単にせよ";
  out.answers = {Radical(a, b)};
}
void RootProduct(Picker& p, Problem& out) {
  const std::int64_t a = p.From(kSquareFree), b = p.From(kSquareFree);
  const auto [outside, inside] = Simplify(a * b);
  out.text = Root(a) + std::string(kTimes) + Root(b) + kEquals;
  out.answers = {Radical(outside, inside)};
}
// （－３）＾２, （－２）＾３ and －３＾２, whose minus comes after the power.
void SignedPower(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 9), exponent = p.Between(2, 3);
  const std::int64_t power = exponent == 2 ? a * a : a * a * a;
  if (p.Flip()) {
    AskValue(out, Power(Signed(-a), exponent), exponent == 2 ? power : -power);
  } else {
    AskValue(out, std::string(kMinus) + Power(Num(a), exponent), -power);
  }
}
constexpr Form kLevel2[] = {SimplifyRoot, RootProduct, SignedPower};

// √１２＋√２７ or √５０－√８: simplify each, then collect.
void RootSumOrDifference(Picker& p, Problem& out) {
  const std::int64_t b = p.From(kSquareFree), a = p.Between(1, 6), c = p.Between(2, 6);
  const bool minus = p.Flip();
  out.text = Root(a * a * b) + std::string(minus ? kMinus : kPlus) + Root(c * c * b) + kEquals;
  out.answers = {Radical(minus ? a - c : a + c, b)};
}
void RootProductWide(Picker& p, Problem& out) {
  const std::int64_t a = p.Between(2, 20), b = p.Between(2, 20);
  const auto [outside, inside] = Simplify(a * b);
  out.text = Root(a) + std::string(kTimes) + Root(b) + kEquals;
  out.answers = {Radical(outside, inside)};
}
// ２√３×√６: a coefficient, then a product to simplify.
void CoefficientRootProduct(Picker& p, Problem& out) {
  const std::int64_t k = p.Between(2, 5), a = p.From(kSquareFree), b = p.From(kSquareFree);
  const auto [outside, inside] = Simplify(a * b);
  out.text = Radical(k, a) + std::string(kTimes) + Root(b) + kEquals;
  out.answers = {Radical(k * outside, inside)};
}
constexpr Form kLevel3[] = {RootSumOrDifference, RootProductWide, CoefficientRootProduct};

}  // namespace

constinit const Topic kPowersAndRoots{"root", "累乗と平方根",
                            "＾ は累乗。根号は簡単にし、係数を前に（２√３、√３ の１は書かない）",
                            {kLevel1, kLevel2, kLevel3}};

}  // namespace rekendo::generator
