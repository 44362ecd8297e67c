// rekendo-gen's command line.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace rekendo::generator {

struct Options {
  bool help = false;
  bool version = false;
  bool list = false;
  std::string topic;
  int level = 1;
  std::optional<int> count;
  std::optional<std::uint64_t> seed;  // none: from the clock
  std::string output;                 // empty: standard output (unless `sheet`)
  std::string sheet;                  // a worksheet PDF made by rekendo-sheet, or empty
};

struct UsageError {
  std::string message;  // UTF-8
};

std::variant<Options, UsageError> ParseCommandLine(std::span<const char* const> args);

extern const std::string_view kUsage;

// A whole command-line argument as a number, or nothing (for rekendo-sheet's options too).
template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace rekendo::generator
