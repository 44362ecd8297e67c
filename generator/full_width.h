// Writing numbers and expressions in the full-width characters of the keypad (UTF-8), the
// way a Japanese worksheet prints them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rekendo::generator {

inline constexpr char kPlus[] = "＋";
inline constexpr char kMinus[] = "－";  // CP932 81 7C, the keypad's minus
inline constexpr char kTimes[] = "×";
inline constexpr char kDivide[] = "÷";
inline constexpr char kEquals[] = "＝";
inline constexpr char kSlash[] = "／";
inline constexpr char kPower[] = "＾";
inline constexpr char kRoot[] = "√";
inline constexpr char kX[] = "ｘ";
inline constexpr char kY[] = "ｙ";

// "１２", "－３"
std::string Num(std::int64_t n);
// A signed number as a term: "（＋５）", "（－３）"
std::string Signed(std::int64_t n);
std::string Paren(std::string_view inner);
// `scaled` / 10^places without trailing zeros: "２．５", "－０．０６", "３"
std::string Decimal(std::int64_t scaled, int places);
// a√b with the coefficient 1 left out: "２√３", "－√５", "７"
std::string Radical(std::int64_t coefficient, std::int64_t radicand);

// A term of a sum: the coefficient and what it multiplies ("ｘ＾２", "ｘｙ", "" for a
// constant).
struct Term {
  std::int64_t coefficient;
  std::string_view monomial;
};

// "２ｘ＾２－８ｘ＋１": zero terms left out, a coefficient ±1 shown only as its sign before a
// letter, "０" when nothing is left.
std::string Sum(std::span<const Term> terms);
// The same sum in every order of its terms, the given order first.
std::vector<std::string> SumInAnyOrder(std::span<const Term> terms);
// `prefix` followed by the factors in every order, the given order first.
std::vector<std::string> ProductInAnyOrder(std::string_view prefix,
                                           std::vector<std::string> factors);

}  // namespace rekendo::generator
