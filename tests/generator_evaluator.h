// An evaluator for the generator's tests, written apart from the generator: it reads a
// problem or an answer the way a learner does and computes its exact value. Values are
// sums of terms c·ｘ^i·ｙ^j·√r with rational c and square-free r, so numbers, fractions,
// decimals, radicals and polynomials all compare by equality.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

namespace rekendo::testing {

struct Exact {
  __int128 num = 0;
  __int128 den = 1;  // positive, lowest terms

  static Exact Of(__int128 num, __int128 den = 1);
  bool operator==(const Exact&) const = default;
};

// (power of ｘ, power of ｙ, radicand)
using Monomial = std::tuple<int, int, long long>;
using Value = std::map<Monomial, Exact>;  // no zero coefficients

// The value of a full-width expression (UTF-8), or nothing when it does not read as one.
std::optional<Value> Evaluate(std::string_view utf8);

// Why an accepted answer is not in simplest form (an unsimplified radical or fraction, a
// decimal with a trailing zero or no leading digit), or empty when it is.
std::string FormProblem(std::string_view utf8);

// The ｘ that solves a linear equation "left＝right", or nothing.
std::optional<Value> SolveForX(std::string_view equation);

// Printable, for failure messages.
std::string Describe(const Value& value);

}  // namespace rekendo::testing
