#include "sheet_painter.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <memory>
#include <vector>

#include "math_breaks.h"
#include "sheet_font.h"

namespace rekendo::worksheet {

namespace {

// Every length is in points (1/72 inch); the painter is scaled from the device's pixels.
constexpr double kMargin = 42.5;  // 15 mm on every side
constexpr int kTitleSize = 18;
constexpr int kKeyTitleSize = 16;
constexpr int kBodySize = 12;
constexpr int kKeySize = 11;
constexpr int kLabelSize = 10;
constexpr int kSmallSize = 7;
constexpr double kBoxRowHeight = 26;    // なまえ, 日付, 得点
constexpr double kBoxGap = 8;
constexpr double kColumnGap = 18;
constexpr double kCellGap = 10;         // below each problem
constexpr double kKeyGap = 5;           // below each answer
constexpr double kAnswerRoom = 26;      // the height of the box to write in
constexpr double kMinInlineBox = 56;    // a box beside the last line is at least this wide (20 mm)
constexpr double kMaxBox = 240;
constexpr double kNumberGap = 5;
constexpr double kLeading = 3;          // between the lines of a wrapped text
constexpr double kGridMaxCell = 48;     // 17 mm
constexpr int kMaxProblemColumns = 3;
constexpr int kMaxKeyColumns = 4;

const QColor kInk(0, 0, 0);
const QColor kRule(90, 90, 90);
const QColor kFaint(150, 150, 150);
const QColor kShade(232, 232, 232);

QString Q(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

struct Fonts {
  explicit Fonts(const QString& family)
      : title(SheetFont(family, kTitleSize)),
        key_title(SheetFont(family, kKeyTitleSize)),
        body(SheetFont(family, kBodySize)),
        key(SheetFont(family, kKeySize)),
        label(SheetFont(family, kLabelSize)),
        small(SheetFont(family, kSmallSize)) {}
  QFont title, key_title, body, key, label, small;
};

// Where things go on a page of one size.
struct Frame {
  Frame(QSizeF page_size, const Fonts& fonts) : page(page_size) {
    content = QRectF(QPointF(kMargin, kMargin), page - QSizeF(2 * kMargin, 2 * kMargin));
    first_body_top = content.top() + QFontMetricsF(fonts.title).height() + kBoxGap +
                     kBoxRowHeight + 16;
    next_body_top = content.top() + QFontMetricsF(fonts.label).height() + 10;
    key_body_top = content.top() + QFontMetricsF(fonts.key_title).height() + 12;
  }
  QSizeF page;
  QRectF content;
  double first_body_top;
  double next_body_top;
  double key_body_top;
};

QTextOption WrapOption() {
  QTextOption option;
  // Lines break only where WrapMath put a separator: never inside a number or a term.
  option.setWrapMode(QTextOption::ManualWrap);
  option.setUseDesignMetrics(true);
  return option;
}

// One numbered entry of a column: the problem (with its box to write in) or the answer.
struct Cell {
  std::unique_ptr<QTextLayout> text;
  double height = 0;  // the gap below included
  bool box = false;   // a problem: a box to write in
  QRectF box_rect;    // relative to the text's top left
};

constexpr double kNoBox = -1;

// Lays out `text` at `width`. A problem's box starts at `box_left` beside its last line
// (the same place in every cell of the sheet), or after a longer last line when that leaves
// room, or else below it; an answer has none (kNoBox).
Cell MakeCell(const QString& text, const QFont& font, double width, double box_left) {
  Cell cell;
  cell.text = std::make_unique<QTextLayout>(WrapMath(text, QFontMetricsF(font), width), font);
  cell.text->setTextOption(WrapOption());
  cell.text->setCacheEnabled(true);
  std::vector<QTextLine> lines;
  cell.text->beginLayout();
  for (QTextLine line = cell.text->createLine(); line.isValid(); line = cell.text->createLine()) {
    line.setLineWidth(width);
    lines.push_back(line);
  }
  cell.text->endLayout();
  double y = 0;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    lines[i].setPosition(QPointF(0, y));
    y += lines[i].height() + kLeading;
  }
  QTextLine last = lines.empty() ? QTextLine() : lines.back();
  const double last_height = last.isValid() ? last.height() : QFontMetricsF(font).height();
  const double last_width = last.isValid() ? last.naturalTextWidth() : 0;
  if (box_left == kNoBox) {
    if (last.isValid()) last.setPosition(QPointF(0, y));
    cell.height = y + last_height + kKeyGap;
    return cell;
  }
  cell.box = true;
  box_left = std::max(box_left, last_width + kBoxGap);
  if (width - box_left >= kMinInlineBox) {
    // The last line sits in the middle of the box's height.
    if (last.isValid()) last.setPosition(QPointF(0, y + (kAnswerRoom - last_height) / 2));
    cell.box_rect = QRectF(box_left, y, std::min(width - box_left, kMaxBox), kAnswerRoom);
    cell.height = y + std::max(kAnswerRoom, last_height) + kCellGap;
  } else {
    // The text starts where a line beside a box would, so that the first lines of a row
    // stand on one baseline.
    const double drop = lines.empty() ? 0 : std::max(0.0, (kAnswerRoom - lines.front().height()) / 2);
    for (QTextLine& line : lines) line.setPosition(line.position() + QPointF(0, drop));
    y += drop;
    if (last.isValid()) last.setPosition(QPointF(0, y));
    y += last_height + 4;
    cell.box_rect = QRectF(0, y, std::min(width, kMaxBox), kAnswerRoom);
    cell.height = y + kAnswerRoom + kCellGap;
  }
  return cell;
}

// Rows of numbered cells over pages.
struct Columns {
  int count = 1;
  double width = 0;         // of a column
  double number_width = 0;  // the "(12)" before each cell, its gap included
  double text_width() const { return width - number_width; }
};

Columns ColumnsOf(int count, const QRectF& content, const QFont& font, std::size_t items) {
  Columns columns;
  columns.count = count;
  columns.width = (content.width() - (count - 1) * kColumnGap) / count;
  columns.number_width =
      QFontMetricsF(font).horizontalAdvance(QStringLiteral("(%1)").arg(items)) + kNumberGap;
  return columns;
}

// The one-line widths of a flow's texts, and the width the columns are chosen for. For
// problems, the width nine in ten of them do not pass (a rare longer one wraps before an
// operator); for a key, the widest answer that fits a line of the page at all, so that every
// answer stays whole (one longer than the page is wide wraps whatever the columns).
struct Widths {
  std::vector<double> each;
  double typical = 0;
};

Widths WidthsOf(const std::vector<QString>& texts, const QFont& font, double line_width,
                bool every_text) {
  const QFontMetricsF metrics(font);
  Widths widths;
  widths.each.reserve(texts.size());
  for (const QString& text : texts) widths.each.push_back(metrics.horizontalAdvance(text));
  if (texts.empty()) return widths;
  if (every_text) {
    for (const double width : widths.each) {
      if (width <= line_width) widths.typical = std::max(widths.typical, width);
    }
    return widths;
  }
  std::vector<double> sorted = widths.each;
  const std::size_t rank = (sorted.size() - 1) * 9 / 10;  // one text in ten may be longer
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(rank),
                   sorted.end());
  widths.typical = sorted[rank];
  return widths;
}

// The most columns (up to `most`) in which nine texts in ten fit on one line with `room`
// beside them, and the tallest cell fits a page's body.
template <typename MakeCells>
int ChooseColumns(const std::vector<QString>& texts, const Widths& widths, const QFont& font,
                  const QRectF& content, double body_height, int most, double room,
                  const MakeCells& make_cell) {
  for (int count = most; count > 1; --count) {
    const Columns columns = ColumnsOf(count, content, font, texts.size());
    if (widths.typical + room > columns.text_width()) continue;
    // Only texts wider than the column wrap; the tallest of them must fit a page.
    bool fits = true;
    for (std::size_t i = 0; i < texts.size() && fits; ++i) {
      if (widths.each[i] + room <= columns.text_width()) continue;
      fits = make_cell(texts[i], columns).height <= body_height;
    }
    if (fits) return count;
  }
  return 1;
}

struct Placed {
  std::size_t cell;
  int column;
  double y;  // from the body's top
};
using Page = std::vector<Placed>;

// The pages of `cells` in rows of `columns`, numbered left to right and then down (as the
// text is read); a row is as tall as its tallest cell.
std::vector<Page> Paginate(const std::vector<Cell>& cells, int columns, double first_height,
                           double next_height) {
  std::vector<Page> pages;
  Page page;
  double y = 0;
  double height = first_height;
  const auto per_row = static_cast<std::size_t>(columns);
  for (std::size_t row = 0; row < cells.size(); row += per_row) {
    const std::size_t end = std::min(cells.size(), row + per_row);
    double row_height = 0;
    for (std::size_t i = row; i < end; ++i) row_height = std::max(row_height, cells[i].height);
    if (y > 0 && y + row_height > height) {
      pages.push_back(std::move(page));
      page.clear();
      y = 0;
      height = next_height;
    }
    for (std::size_t i = row; i < end; ++i) page.push_back({i, static_cast<int>(i - row), y});
    y += row_height;
  }
  if (!page.empty()) pages.push_back(std::move(page));
  // A problem alone on the last page looks like a mistake: the row before it goes over too
  // (the page it leaves had room for it, so the last page, with two rows, has room as well).
  if (pages.size() >= 2 && pages.back().size() == 1) {
    Page& before = pages[pages.size() - 2];
    const double last_row_y = before.back().y;
    std::vector<Placed> moved;
    while (!before.empty() && before.back().y == last_row_y) {
      moved.insert(moved.begin(), before.back());
      before.pop_back();
    }
    if (before.empty()) {
      before = std::move(moved);  // a page of one row: leave it as it was
    } else {
      double row_height = 0;
      for (const Placed& placed : moved) {
        row_height = std::max(row_height, cells[placed.cell].height);
      }
      for (Placed& placed : moved) placed.y = 0;
      for (Placed& placed : pages.back()) placed.y += row_height;
      pages.back().insert(pages.back().begin(), moved.begin(), moved.end());
    }
  }
  return pages;
}

QString KeyText(const SheetItem& item, AnswerStyle style) {
  QString text;
  if (style == AnswerStyle::kFirst) {
    if (!item.answers.empty()) text = Q(item.answers.front());
  } else {
    for (const std::string& answer : item.answers) {
      if (answer.empty()) continue;
      if (!text.isEmpty()) text += QStringLiteral(" または ");
      text += Q(answer);
    }
  }
  if (static_cast<std::size_t>(text.size()) > kMaxPrintedChars) {
    text = text.left(static_cast<qsizetype>(kMaxPrintedChars)) + QStringLiteral("…");
  }
  return text;
}

// A laid-out run of numbered cells: the problems or the key.
struct Flow {
  Columns columns;
  std::vector<Cell> cells;
  std::vector<Page> pages;
};

Flow LayOutFlow(const std::vector<QString>& texts, const QFont& font, const Frame& frame,
                double first_top, double next_top, int most_columns, bool with_box) {
  const double room = with_box ? kBoxGap + kMinInlineBox : 0;
  const Widths widths = WidthsOf(
      texts, font, ColumnsOf(1, frame.content, font, texts.size()).text_width() - room, !with_box);
  const auto make_cell = [&](const QString& text, const Columns& columns) {
    // The boxes line up after the typical problem.
    const double box_left =
        with_box ? std::clamp(widths.typical + kBoxGap, 0.0,
                              std::max(0.0, columns.text_width() - kMinInlineBox))
                 : kNoBox;
    return MakeCell(text, font, columns.text_width(), box_left);
  };
  const double first_height = frame.content.bottom() - first_top;
  const int count = ChooseColumns(texts, widths, font, frame.content, first_height,
                                  most_columns, room, make_cell);
  Flow flow;
  flow.columns = ColumnsOf(count, frame.content, font, texts.size());
  flow.cells.reserve(texts.size());
  for (const QString& text : texts) flow.cells.push_back(make_cell(text, flow.columns));
  flow.pages = Paginate(flow.cells, count, first_height, frame.content.bottom() - next_top);
  return flow;
}

class SheetPainter {
 public:
  SheetPainter(QPainter& painter, QPagedPaintDevice& device, const Fonts& fonts,
               const Frame& frame, std::uint64_t seed)
      : painter_(painter), device_(device), fonts_(fonts), frame_(frame), seed_(seed) {}

  // The sheet and the key each count their own pages in the footer ("1 / 1" on a one-page
  // sheet, never "1 / 2" that sends pupils looking for a page 2).
  void StartPart(int total) {
    total_pages_ = total;
    page_number_ = 0;
  }

  // Starts the next page (the device's first page is already open).
  bool NextPage() {
    if (pages_begun_ > 0 && !device_.newPage()) return false;
    ++pages_begun_;
    ++page_number_;
    DrawFooter();
    return true;
  }

  // The title and the boxes of the first page. `score_of` is printed after 得点 ("/ 20").
  void DrawFirstHeader(const QString& title, const QString& score_of, bool time_box) {
    const QRectF& content = frame_.content;
    painter_.setFont(fonts_.title);
    painter_.setPen(kInk);
    const QFontMetricsF title_metrics(fonts_.title);
    painter_.drawText(QPointF(content.left(), content.top() + title_metrics.ascent()),
                      title_metrics.elidedText(title, Qt::ElideRight, content.width()));
    const double top = content.top() + title_metrics.height() + kBoxGap;
    const double date_width = 120;
    const double last_width = time_box ? 150 : 110;
    const double name_width = content.width() - date_width - last_width - 2 * kBoxGap;
    double x = content.left();
    DrawBox(QRectF(x, top, name_width, kBoxRowHeight), QStringLiteral("なまえ"), {});
    x += name_width + kBoxGap;
    DrawBox(QRectF(x, top, date_width, kBoxRowHeight), QStringLiteral("日付"),
            QStringLiteral("月　　日"));
    x += date_width + kBoxGap;
    if (time_box) {
      DrawBox(QRectF(x, top, last_width, kBoxRowHeight), QStringLiteral("かかった時間"),
              QStringLiteral("分　　秒"));
    } else {
      DrawBox(QRectF(x, top, last_width, kBoxRowHeight), QStringLiteral("得点"), score_of);
    }
  }

  // The small line at the top of a later page of the problems.
  void DrawNextHeader(const QString& title) {
    painter_.setFont(fonts_.label);
    painter_.setPen(kInk);
    const QFontMetricsF metrics(fonts_.label);
    painter_.drawText(QPointF(frame_.content.left(), frame_.content.top() + metrics.ascent()),
                      metrics.elidedText(title + QStringLiteral("（つづき）"), Qt::ElideRight,
                                         frame_.content.width()));
  }

  void DrawKeyHeader(const QString& title) {
    painter_.setFont(fonts_.key_title);
    painter_.setPen(kInk);
    const QFontMetricsF metrics(fonts_.key_title);
    painter_.drawText(QPointF(frame_.content.left(), frame_.content.top() + metrics.ascent()),
                      metrics.elidedText(QStringLiteral("解答　") + title, Qt::ElideRight,
                                         frame_.content.width()));
  }

  void DrawCells(const Flow& flow, const Page& page, double body_top, const QFont& font) {
    const QFontMetricsF metrics(font);
    painter_.setFont(font);
    for (const Placed& placed : page) {
      const Cell& cell = flow.cells[placed.cell];
      const double x = frame_.content.left() + placed.column * (flow.columns.width + kColumnGap);
      const double y = body_top + placed.y;
      const QPointF text_origin(x + flow.columns.number_width, y);
      // The number on the first line's baseline, right-aligned before the text.
      const QString number = QStringLiteral("(%1)").arg(placed.cell + 1);
      const double first_baseline =
          cell.text->lineCount() > 0
              ? cell.text->lineAt(0).y() + cell.text->lineAt(0).ascent()
              : metrics.ascent();
      painter_.setPen(kInk);
      painter_.drawText(QPointF(x + flow.columns.number_width - kNumberGap -
                                    metrics.horizontalAdvance(number),
                                y + first_baseline),
                        number);
      cell.text->draw(&painter_, text_origin);
      if (cell.box) {
        painter_.setPen(QPen(kFaint, 0.6));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(cell.box_rect.translated(text_origin));
      }
    }
  }

  // 百ます: the operator in the corner, the numbers across and down, and the results when
  // `filled`.
  void DrawGrid(const GridSheet& grid, double top, bool filled) {
    const QRectF& content = frame_.content;
    const int cells = kGridSize + 1;
    const double size =
        std::min({kGridMaxCell, content.width() / cells, (content.bottom() - top) / cells});
    const double left = content.left() + (content.width() - size * cells) / 2;
    const QRectF whole(left, top, size * cells, size * cells);
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(kShade);
    painter_.drawRect(QRectF(left, top, size * cells, size));
    painter_.drawRect(QRectF(left, top + size, size, size * kGridSize));
    painter_.setBrush(Qt::NoBrush);
    painter_.setPen(QPen(kRule, 0.5));
    for (int i = 1; i < cells; ++i) {
      painter_.drawLine(QPointF(left + i * size, top), QPointF(left + i * size, whole.bottom()));
      painter_.drawLine(QPointF(left, top + i * size), QPointF(whole.right(), top + i * size));
    }
    painter_.setPen(QPen(kInk, 1.4));
    painter_.drawRect(whole);
    painter_.drawLine(QPointF(left + size, top), QPointF(left + size, whole.bottom()));
    painter_.drawLine(QPointF(left, top + size), QPointF(whole.right(), top + size));

    const QFont number_font = SheetFont(fonts_.body.family(), static_cast<int>(size * 0.42));
    const QFont sign_font = SheetFont(fonts_.body.family(), static_cast<int>(size * 0.55));
    painter_.setPen(kInk);
    const auto cell_rect = [&](int row, int column) {
      return QRectF(left + column * size, top + row * size, size, size);
    };
    painter_.setFont(sign_font);
    static const QString kSigns[] = {QStringLiteral("+"), QStringLiteral("−"),
                                     QStringLiteral("×")};
    painter_.drawText(cell_rect(0, 0), Qt::AlignCenter,
                      kSigns[static_cast<int>(grid.operation)]);
    painter_.setFont(number_font);
    for (int i = 0; i < kGridSize; ++i) {
      painter_.drawText(cell_rect(0, i + 1), Qt::AlignCenter,
                        QString::number(grid.across[static_cast<std::size_t>(i)]));
      painter_.drawText(cell_rect(i + 1, 0), Qt::AlignCenter,
                        QString::number(grid.down[static_cast<std::size_t>(i)]));
    }
    if (!filled) return;
    for (int row = 0; row < kGridSize; ++row) {
      for (int column = 0; column < kGridSize; ++column) {
        painter_.drawText(cell_rect(row + 1, column + 1), Qt::AlignCenter,
                          QString::number(grid.Cell(row, column)));
      }
    }
  }

 private:
  void DrawBox(const QRectF& box, const QString& label, const QString& right_text) {
    painter_.setBrush(Qt::NoBrush);
    painter_.setPen(QPen(kRule, 0.8));
    painter_.drawRect(box);
    painter_.setFont(fonts_.label);
    painter_.setPen(kInk);
    const QRectF inside = box.adjusted(6, 0, -6, 0);
    painter_.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter, label);
    if (!right_text.isEmpty()) {
      painter_.setPen(kRule);
      painter_.drawText(inside, Qt::AlignRight | Qt::AlignVCenter, right_text);
    }
  }

  void DrawFooter() {
    painter_.setFont(fonts_.small);
    painter_.setPen(kRule);
    const QRectF footer(frame_.content.left(), frame_.page.height() - kMargin + 8,
                        frame_.content.width(), kMargin - 16);
    painter_.drawText(footer, Qt::AlignLeft | Qt::AlignTop,
                      QStringLiteral("シード %1").arg(seed_));
    painter_.drawText(footer, Qt::AlignRight | Qt::AlignTop,
                      QStringLiteral("%1 / %2").arg(page_number_).arg(total_pages_));
  }

  QPainter& painter_;
  QPagedPaintDevice& device_;
  const Fonts& fonts_;
  const Frame& frame_;
  std::uint64_t seed_;
  int pages_begun_ = 0;  // on the device
  int page_number_ = 0;  // in the part being painted
  int total_pages_ = 0;
};

Error PageError() {
  return Error{ErrorCode::kIo, "ページを描けませんでした（プリンターか出力先が応じません）。", {}, {}};
}

Result<PageCounts> PaintProblems(SheetPainter& pages, const ProblemSheet& sheet,
                                 AnswerStyle style, const Fonts& fonts, const Frame& frame,
                                 Part part) {
  std::vector<QString> problems;
  std::vector<QString> answers;
  problems.reserve(sheet.items.size());
  answers.reserve(sheet.items.size());
  for (const SheetItem& item : sheet.items) {
    problems.push_back(Q(item.problem));
    answers.push_back(KeyText(item, style));
  }
  const Flow sheet_flow = LayOutFlow(problems, fonts.body, frame, frame.first_body_top,
                                     frame.next_body_top, kMaxProblemColumns, true);
  const Flow key_flow = LayOutFlow(answers, fonts.key, frame, frame.key_body_top,
                                   frame.key_body_top, kMaxKeyColumns, false);
  const PageCounts counts{part == Part::kKey ? 0 : static_cast<int>(sheet_flow.pages.size()),
                          part == Part::kSheet ? 0 : static_cast<int>(key_flow.pages.size())};
  const QString title = Q(sheet.title);
  pages.StartPart(counts.sheet);
  for (std::size_t i = 0; part != Part::kKey && i < sheet_flow.pages.size(); ++i) {
    if (!pages.NextPage()) return PageError();
    if (i == 0) {
      pages.DrawFirstHeader(title, QStringLiteral("/ %1").arg(sheet.items.size()), false);
    } else {
      pages.DrawNextHeader(title);
    }
    pages.DrawCells(sheet_flow, sheet_flow.pages[i],
                    i == 0 ? frame.first_body_top : frame.next_body_top, fonts.body);
  }
  pages.StartPart(counts.key);
  for (std::size_t i = 0; part != Part::kSheet && i < key_flow.pages.size(); ++i) {
    if (!pages.NextPage()) return PageError();
    pages.DrawKeyHeader(title);
    pages.DrawCells(key_flow, key_flow.pages[i], frame.key_body_top, fonts.key);
  }
  return counts;
}

Result<PageCounts> PaintGrid(SheetPainter& pages, const GridSheet& grid, const Frame& frame,
                             Part part) {
  const QString title = Q(GridTitle(grid));
  if (part != Part::kKey) {
    pages.StartPart(1);
    if (!pages.NextPage()) return PageError();
    pages.DrawFirstHeader(title, {}, true);
    pages.DrawGrid(grid, frame.first_body_top, false);
  }
  if (part != Part::kSheet) {
    pages.StartPart(1);
    if (!pages.NextPage()) return PageError();
    pages.DrawKeyHeader(title);
    pages.DrawGrid(grid, frame.key_body_top, true);
  }
  return PageCounts{part == Part::kKey ? 0 : 1, part == Part::kSheet ? 0 : 1};
}

}  // namespace

QPageLayout PageLayoutFor(Paper paper) {
  const QMarginsF none(0, 0, 0, 0);
  switch (paper) {
    case Paper::kB5:
      return QPageLayout(QPageSize(QPageSize::JisB5), QPageLayout::Portrait, none);
    case Paper::kA4Landscape:
      return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, none);
    case Paper::kA4:
      break;
  }
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, none);
}

std::pair<double, double> ColumnSpan(Paper paper, int columns, int column) {
  const double page_width = PageLayoutFor(paper).fullRectPoints().width();
  const double width = (page_width - 2 * kMargin - (columns - 1) * kColumnGap) / columns;
  const double left = kMargin + column * (width + kColumnGap);
  return {left, left + width};
}

int ProblemColumns(const ProblemSheet& sheet, Paper paper) {
  const auto family = SheetFontFamily();
  if (!family || sheet.items.empty()) return 1;
  const Fonts fonts(*family);
  const Frame frame(PageLayoutFor(paper).fullRectPoints().size(), fonts);
  std::vector<QString> problems;
  for (const SheetItem& item : sheet.items) problems.push_back(Q(item.problem));
  return LayOutFlow(problems, fonts.body, frame, frame.first_body_top, frame.next_body_top,
                    kMaxProblemColumns, true)
      .columns.count;
}

Result<PageCounts> PaintSheet(QPagedPaintDevice& device, const Sheet& sheet, AnswerStyle answers,
                              Part part) {
  const auto family = SheetFontFamily();
  if (!family) return family.error();
  const Fonts fonts(*family);
  const Frame frame(device.pageLayout().fullRectPoints().size(), fonts);
  QPainter painter;
  if (!painter.begin(&device)) {
    return Error{ErrorCode::kIo, "印刷を始められませんでした。", {}, {}};
  }
  // Points from here on, whatever the device's resolution.
  painter.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);
  painter.setRenderHint(QPainter::Antialiasing);
  SheetPainter pages(painter, device, fonts, frame, sheet.seed);
  Result<PageCounts> counts =
      std::holds_alternative<GridSheet>(sheet.content)
          ? PaintGrid(pages, std::get<GridSheet>(sheet.content), frame, part)
          : PaintProblems(pages, std::get<ProblemSheet>(sheet.content), answers, fonts, frame,
                          part);
  if (!painter.end() && counts) {
    return Error{ErrorCode::kIo, "印刷を終えられませんでした。", {}, {}};
  }
  return counts;
}

}  // namespace rekendo::worksheet
