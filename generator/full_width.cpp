#include "full_width.h"

#include <algorithm>
#include <numeric>

namespace rekendo::generator {

namespace {

void AppendDigits(std::string& out, std::uint64_t n, int min_digits = 1) {
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>(n % 10);
    n /= 10;
  } while (n > 0 || count < min_digits);
  while (count > 0) {
    // U+FF10 + d is EF BC 90 + d.
    out += "\xEF\xBC";
    out += static_cast<char>(0x90 + digits[--count]);
  }
}

std::uint64_t Magnitude(std::int64_t n) {
  return n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
}

}  // namespace

std::string Num(std::int64_t n) {
  std::string out;
  if (n < 0) out += kMinus;
  AppendDigits(out, Magnitude(n));
  return out;
}

std::string Signed(std::int64_t n) {
  std::string out = "（";
  out += n < 0 ? kMinus : kPlus;
  AppendDigits(out, Magnitude(n));
  out += "）";
  return out;
}

std::string Paren(std::string_view inner) {
  std::string out = "（";
  out += inner;
  out += "）";
  return out;
}

std::string Decimal(std::int64_t scaled, int places) {
  std::uint64_t magnitude = Magnitude(scaled);
  while (places > 0 && magnitude % 10 == 0) {
    magnitude /= 10;
    --places;
  }
  std::uint64_t unit = 1;
  for (int i = 0; i < places; ++i) unit *= 10;
  std::string out;
  if (scaled < 0) out += kMinus;
  AppendDigits(out, magnitude / unit);
  if (places > 0) {
    out += "．";
    AppendDigits(out, magnitude % unit, places);
  }
  return out;
}

std::string Radical(std::int64_t coefficient, std::int64_t radicand) {
  if (radicand == 1 || coefficient == 0) return Num(coefficient);
  std::string out;
  if (coefficient == -1) {
    out = kMinus;
  } else if (coefficient != 1) {
    out = Num(coefficient);
  }
  out += kRoot;
  out += Num(radicand);
  return out;
}

std::string Sum(std::span<const Term> terms) {
  std::string out;
  for (const Term& term : terms) {
    if (term.coefficient == 0) continue;
    if (term.coefficient < 0) {
      out += kMinus;
    } else if (!out.empty()) {
      out += kPlus;
    }
    const std::uint64_t magnitude = Magnitude(term.coefficient);
    if (magnitude != 1 || term.monomial.empty()) AppendDigits(out, magnitude);
    out += term.monomial;
  }
  return out.empty() ? Num(0) : out;
}

std::vector<std::string> SumInAnyOrder(std::span<const Term> terms) {
  std::vector<Term> present;
  for (const Term& term : terms) {
    if (term.coefficient != 0) present.push_back(term);
  }
  std::vector<std::size_t> order(present.size());
  std::iota(order.begin(), order.end(), 0);
  std::vector<std::string> forms;
  std::vector<Term> ordered(present.size());
  do {
    for (std::size_t i = 0; i < order.size(); ++i) ordered[i] = present[order[i]];
    forms.push_back(Sum(ordered));
  } while (std::next_permutation(order.begin(), order.end()));
  return forms;
}

std::vector<std::string> ProductInAnyOrder(std::string_view prefix,
                                           std::vector<std::string> factors) {
  std::vector<std::size_t> order(factors.size());
  std::iota(order.begin(), order.end(), 0);
  std::vector<std::string> forms;
  do {
    std::string form(prefix);
    for (std::size_t i : order) form += factors[i];
    if (std::find(forms.begin(), forms.end(), form) == forms.end()) forms.push_back(form);
  } while (std::next_permutation(order.begin(), order.end()));
  return forms;
}

}  // namespace rekendo::generator
