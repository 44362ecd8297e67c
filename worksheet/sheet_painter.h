// The sheets' pages, drawn by one painter code onto any paged device: a QPdfWriter for a PDF,
// the QPrinter of the print dialog for paper. Text is drawn as text in IPA Gothic.
#pragma once

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <utility>

#include "error.h"
#include "sheet_content.h"

namespace rekendo::worksheet {

struct PageCounts {
  int sheet = 0;  // the problems or the grid
  int key = 0;    // the answer key, always on pages of its own
  int total() const { return sheet + key; }
};

// The paper, portrait or landscape, with no margins of the device's own (the sheet keeps its
// own 15 mm).
QPageLayout PageLayoutFor(Paper paper);

// How many columns the sheet's problems take (1 … 3) on `paper`: the most in which nine in
// ten problems fit on one line with a box beside them, and every problem fits on a page.
// Needs the sheet font (SheetFontFamily).
int ProblemColumns(const ProblemSheet& sheet, Paper paper);

// The x range of column `column` (0 …) of `columns` on `paper`, in points from the page's
// left edge: everything of a problem in that column stays inside it.
std::pair<double, double> ColumnSpan(Paper paper, int columns, int column);

// Which pages to paint: the sheet, its key, or the sheet then the key.
enum class Part { kSheet, kKey, kBoth };

// Paints the pages of `sheet` onto `device`, whose page layout is set already (the sheet
// lays out on the device's full page): the problems or the grid, the key, or both in that
// order; each part's footer counts its own pages. Call SheetFontFamily() on the GUI thread
// first; after that this may run on any thread.
Result<PageCounts> PaintSheet(QPagedPaintDevice& device, const Sheet& sheet, AnswerStyle answers,
                              Part part = Part::kBoth);

}  // namespace rekendo::worksheet
