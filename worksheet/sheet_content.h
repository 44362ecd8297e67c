// What goes on a worksheet, before any layout: the numbered problems with their answers, or
// a 百ます grid. Built from a request with the drill's own loading rules; no Qt.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "error.h"
#include "sheet_request.h"

namespace rekendo::worksheet {

// Longer problem texts (and answer lists) are cut here with "…": a drill label holds a few
// hundred characters, and a sheet must lay out even a file with a 100 MB line.
inline constexpr std::size_t kMaxPrintedChars = 1000;

struct SheetItem {
  std::string problem;               // UTF-8, control characters as spaces
  std::vector<std::string> answers;  // UTF-8, each accepted answer in the file's order
};

struct ProblemSheet {
  std::string title;  // UTF-8
  std::vector<SheetItem> items;
};

inline constexpr int kGridSize = 10;

// 百ます計算: a cell holds across[column] op down[row] (for ひき算 the across number is the
// one subtracted from, so no result is negative).
struct GridSheet {
  GridOperation operation = GridOperation::kAdd;
  int level = 1;
  std::array<int, kGridSize> across{};
  std::array<int, kGridSize> down{};

  int Cell(int row, int column) const;
};

// The numbers of a grid, per operation and level (inclusive ranges; `across_count` numbers
// are drawn from the across range without repeats, all ten when it holds ten):
//   たし算, かけ算: 1: 0–9 and 0–9; 2: 10–19 across, 0–9 down; 3: ten of 20–99 across, 0–9 down.
//   ひき算:       1: 10–19 − 0–9;  2: ten of 20–99 − 0–9;   3: ten of 20–99 − 10–19.
struct GridRanges {
  int across_low, across_high, down_low, down_high;
};
GridRanges RangesOf(GridOperation operation, int level);

GridSheet MakeGrid(GridOperation operation, int level, std::uint64_t seed);

// たし算 / ひき算 / かけ算, and the title printed on the grid.
std::string OperationName(GridOperation operation);
std::string GridTitle(const GridSheet& grid);

struct Sheet {
  std::variant<ProblemSheet, GridSheet> content;
  std::uint64_t seed = 0;
};

// The sheet a request asks for, or why there is none: the drill's own message for a file
// that does not load (converted to UTF-8), the generator's for a topic it cannot make, or
// that nothing is printable.
Result<Sheet> BuildSheet(const SheetRequest& request);

// A problem file's name without folder and extension, as UTF-8 (a Shift-JIS name converted).
std::string TitleOfPath(const std::string& path);

}  // namespace rekendo::worksheet
