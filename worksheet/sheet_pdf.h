// A worksheet as a PDF file: rendered into memory through QPdfWriter, then written through
// the safe writer (a temporary file in the same folder, flushed and renamed into place), so
// a failure at any step leaves no PDF and an existing file as it was.
#pragma once

#include <QByteArray>
#include <string>

#include "error.h"
#include "sheet_painter.h"
#include "sheet_request.h"

namespace rekendo::worksheet {

struct Pdf {
  QByteArray bytes;
  PageCounts pages;
};

// Renders `part` of `sheet` on `paper` into memory.
Result<Pdf> RenderPdf(const Sheet& sheet, Paper paper, AnswerStyle answers,
                      Part part = Part::kBoth);

// Where a separate key goes beside the sheet at `path`: "プリント.pdf" → "プリント-解答.pdf".
std::string KeyPathFor(const std::string& path);

// Whether an existing file at the output path may be replaced.
enum class Existing { kKeep, kReplace };

// Writes `bytes` to `path`. With kKeep a file (or anything else) already at `path` is an
// error and is left alone.
Status WritePdf(const std::string& path, const QByteArray& bytes, Existing existing);

// The whole job of rekendo-sheet and the dialog's PDF に保存: builds the sheet of `request`,
// renders it and writes it to `path`, with its key as request.key says (kSeparate: to
// KeyPathFor(path)). The output is refused (before any work) when it is the problem file
// itself, or exists and `existing` is kKeep; a failure leaves neither file behind.
Result<PageCounts> MakeSheetPdf(const SheetRequest& request, const std::string& path,
                                Existing existing);

}  // namespace rekendo::worksheet
