#include "generator_evaluator.h"

#include <vector>

namespace rekendo::testing {

namespace {

__int128 Gcd(__int128 a, __int128 b) {
  if (a < 0) a = -a;
  if (b < 0) b = -b;
  while (b != 0) {
    const __int128 t = a % b;
    a = b;
    b = t;
  }
  return a;
}

Exact operator+(Exact a, Exact b) { return Exact::Of(a.num * b.den + b.num * a.den, a.den * b.den); }
Exact operator*(Exact a, Exact b) { return Exact::Of(a.num * b.num, a.den * b.den); }

void AddTerm(Value& value, const Monomial& monomial, Exact c) {
  const Exact sum = value.count(monomial) ? value[monomial] + c : c;
  if (sum.num == 0) {
    value.erase(monomial);
  } else {
    value[monomial] = sum;
  }
}

Value Constant(Exact c) {
  Value value;
  AddTerm(value, {0, 0, 1}, c);
  return value;
}

Value Add(const Value& a, const Value& b) {
  Value sum = a;
  for (const auto& [m, c] : b) AddTerm(sum, m, c);
  return sum;
}

Value Negate(const Value& a) {
  Value out;
  for (const auto& [m, c] : a) out[m] = Exact::Of(-c.num, c.den);
  return out;
}

// √r·√s = k√t with t square-free.
std::pair<long long, long long> RootProduct(long long r, long long s) {
  long long n = r * s;
  long long outside = 1;
  for (long long f = 2; f * f <= n; ++f) {
    while (n % (f * f) == 0) {
      n /= f * f;
      outside *= f;
    }
  }
  return {outside, n};
}

Value Multiply(const Value& a, const Value& b) {
  Value out;
  for (const auto& [ma, ca] : a) {
    for (const auto& [mb, cb] : b) {
      const auto [outside, radicand] = RootProduct(std::get<2>(ma), std::get<2>(mb));
      AddTerm(out, {std::get<0>(ma) + std::get<0>(mb), std::get<1>(ma) + std::get<1>(mb), radicand},
              ca * cb * Exact::Of(outside));
    }
  }
  return out;
}

// Only by a rational number: nothing the problems divide by is more.
std::optional<Value> Divide(const Value& a, const Value& b) {
  if (b.size() != 1 || b.begin()->first != Monomial{0, 0, 1}) return std::nullopt;
  const Exact d = b.begin()->second;
  return Multiply(a, Constant(Exact::Of(d.den, d.num)));
}

std::u32string Decode(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length && i + k < utf8.size(); ++k) {
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    out += c;
    i += static_cast<std::size_t>(length);
  }
  return out;
}

bool IsDigit(char32_t c) { return c >= U'０' && c <= U'９'; }

class Parser {
 public:
  explicit Parser(std::u32string text) : s_(std::move(text)) {}

  std::optional<Value> Whole() {
    auto value = Expression();
    if (!value || pos_ != s_.size()) return std::nullopt;
    return value;
  }

 private:
  char32_t Peek() const { return pos_ < s_.size() ? s_[pos_] : 0; }
  bool Accept(char32_t c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }

  std::optional<Value> Expression() {
    bool negative = false;
    if (Accept(U'－')) {
      negative = true;
    } else {
      Accept(U'＋');
    }
    auto value = Term();
    if (!value) return std::nullopt;
    if (negative) value = Negate(*value);
    while (Peek() == U'＋' || Peek() == U'－') {
      const bool minus = s_[pos_++] == U'－';
      auto next = Term();
      if (!next) return std::nullopt;
      value = Add(*value, minus ? Negate(*next) : *next);
    }
    return value;
  }

  bool StartsAtom() const {
    const char32_t c = Peek();
    return IsDigit(c) || c == U'ｘ' || c == U'ｙ' || c == U'（' || c == U'√';
  }

  std::optional<Value> Term() {
    auto value = Power();
    if (!value) return std::nullopt;
    for (;;) {
      if (Accept(U'×') || StartsAtom()) {
        auto next = Power();
        if (!next) return std::nullopt;
        value = Multiply(*value, *next);
      } else if (Accept(U'÷')) {
        auto next = Power();
        if (!next) return std::nullopt;
        value = Divide(*value, *next);
        if (!value) return std::nullopt;
      } else {
        return value;
      }
    }
  }

  std::optional<Value> Power() {
    auto base = Atom();
    if (!base || !Accept(U'＾')) return base;
    const auto exponent = Integer();
    if (!exponent || *exponent < 1 || *exponent > 10) return std::nullopt;
    Value value = *base;
    for (long long i = 1; i < *exponent; ++i) value = Multiply(value, *base);
    return value;
  }

  std::optional<long long> Integer() {
    if (!IsDigit(Peek())) return std::nullopt;
    long long n = 0;
    while (IsDigit(Peek())) n = n * 10 + (s_[pos_++] - U'０');
    return n;
  }

  // 12, 0.75, and 3/4 as one number, since ／ binds before × and ÷.
  std::optional<Exact> Number() {
    auto whole = Integer();
    if (!whole) return std::nullopt;
    Exact value = Exact::Of(*whole);
    if (Accept(U'．')) {
      __int128 scale = 1, digits = 0;
      if (!IsDigit(Peek())) return std::nullopt;
      while (IsDigit(Peek())) {
        digits = digits * 10 + (s_[pos_++] - U'０');
        scale *= 10;
      }
      value = Exact::Of(*whole * scale + digits, scale);
    }
    if (Accept(U'／')) {
      const auto den = Integer();
      if (!den || *den == 0) return std::nullopt;
      value = value * Exact::Of(1, *den);
    }
    return value;
  }

  std::optional<Value> Atom() {
    if (Accept(U'ｘ')) return Value{{{1, 0, 1}, Exact::Of(1)}};
    if (Accept(U'ｙ')) return Value{{{0, 1, 1}, Exact::Of(1)}};
    if (Accept(U'（')) {
      auto inner = Expression();
      if (!inner || !Accept(U'）')) return std::nullopt;
      return inner;
    }
    if (Accept(U'√')) {
      const auto n = Integer();
      if (!n || *n < 1) return std::nullopt;
      const auto [outside, radicand] = RootProduct(*n, 1);
      return Value{{{0, 0, radicand}, Exact::Of(outside)}};
    }
    const auto number = Number();
    if (!number) return std::nullopt;
    return Constant(*number);
  }

  std::u32string s_;
  std::size_t pos_ = 0;
};

std::string ToString(__int128 n) {
  if (n == 0) return "0";
  std::string out;
  const bool negative = n < 0;
  if (negative) n = -n;
  while (n > 0) {
    out.insert(out.begin(), static_cast<char>('0' + static_cast<int>(n % 10)));
    n /= 10;
  }
  return negative ? "-" + out : out;
}

}  // namespace

Exact Exact::Of(__int128 num, __int128 den) {
  if (den < 0) {
    num = -num;
    den = -den;
  }
  const __int128 g = Gcd(num, den);
  return g == 0 ? Exact{0, 1} : Exact{num / g, den / g};
}

std::optional<Value> Evaluate(std::string_view utf8) { return Parser(Decode(utf8)).Whole(); }

std::optional<Value> SolveForX(std::string_view equation) {
  const std::size_t equals = equation.find("＝");
  if (equals == std::string_view::npos) return std::nullopt;
  const auto left = Evaluate(equation.substr(0, equals));
  const auto right = Evaluate(equation.substr(equals + std::string_view("＝").size()));
  if (!left || !right) return std::nullopt;
  // left − right = p·ｘ + q
  const Value difference = Add(*left, Negate(*right));
  Exact p, q;
  for (const auto& [m, c] : difference) {
    if (m == Monomial{1, 0, 1}) {
      p = c;
    } else if (m == Monomial{0, 0, 1}) {
      q = c;
    } else {
      return std::nullopt;
    }
  }
  if (p.num == 0) return std::nullopt;
  return Constant(Exact::Of(-q.num * p.den, q.den * p.num));
}

std::string FormProblem(std::string_view utf8) {
  const std::u32string s = Decode(utf8);
  const auto digits_at = [&s](std::size_t i) {
    long long n = 0;
    while (i < s.size() && IsDigit(s[i])) n = n * 10 + (s[i++] - U'０');
    return std::pair{n, i};
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == U'√') {
      const auto [n, end] = digits_at(i + 1);
      if (RootProduct(n, 1).first != 1 || n < 2) return "radical not simplified";
      if (i > 0 && s[i - 1] == U'１' && (i < 2 || !IsDigit(s[i - 2]))) return "coefficient 1 written";
    } else if (s[i] == U'／') {
      std::size_t start = i;
      while (start > 0 && IsDigit(s[start - 1])) --start;
      const long long num = digits_at(start).first;
      const long long den = digits_at(i + 1).first;
      if (den < 2 || Gcd(num, den) != 1) return "fraction not in lowest terms";
    } else if (s[i] == U'．') {
      if (i == 0 || !IsDigit(s[i - 1])) return "decimal without a leading digit";
      const auto [n, end] = digits_at(i + 1);
      if (end == i + 1 || s[end - 1] == U'０') return "decimal with a trailing zero";
    }
  }
  return {};
}

std::string Describe(const Value& value) {
  if (value.empty()) return "0";
  std::string out;
  for (const auto& [m, c] : value) {
    out += " + " + ToString(c.num) + "/" + ToString(c.den) + " x^" + std::to_string(std::get<0>(m)) +
           " y^" + std::to_string(std::get<1>(m)) + " r" + std::to_string(std::get<2>(m));
  }
  return out;
}

}  // namespace rekendo::testing
