#include "sheet_pdf.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QPdfWriter>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>
#include <variant>

#include "file_writer.h"

namespace rekendo::worksheet {

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

Error WriteError(const files::FileError& error, const std::string& path) {
  Error made = ErrorFromErrno(error.error_number, "PDF を書き出せませんでした。", path);
  made.detail = error.Describe();
  return made;
}

Error AlreadyThere(const std::string& path) {
  return Error{ErrorCode::kInvalidInput, "出力先のファイルはもうあります。置き換えませんでした。",
               path, {}};
}

// True when `a` and `b` name the same existing file.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string TitleOf(const Sheet& sheet) {
  if (const auto* grid = std::get_if<GridSheet>(&sheet.content)) return GridTitle(*grid);
  return std::get<ProblemSheet>(sheet.content).title;
}

}  // namespace

std::string KeyPathFor(const std::string& path) {
  constexpr std::string_view kPdf = ".pdf";
  const bool pdf = path.size() >= kPdf.size() &&
                   std::equal(kPdf.rbegin(), kPdf.rend(), path.rbegin(), [](char a, char b) {
                     return a == std::tolower(static_cast<unsigned char>(b));
                   });
  return (pdf ? path.substr(0, path.size() - kPdf.size()) : path) + "-解答.pdf";
}

Result<Pdf> RenderPdf(const Sheet& sheet, Paper paper, AnswerStyle answers, Part part) {
  QByteArray bytes;
  PageCounts pages;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(PageLayoutFor(paper));
    writer.setResolution(1200);
    const std::string title = TitleOf(sheet);
    writer.setTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    writer.setCreator(QStringLiteral("Rekendo rekendo-sheet"));
    auto painted = PaintSheet(writer, sheet, answers, part);
    if (!painted) return painted.error();
    pages = *painted;
  }
  if (bytes.isEmpty()) {
    return Error{ErrorCode::kIo, "PDF を作れませんでした。", {}, {}};
  }
  return Pdf{std::move(bytes), pages};
}

Status WritePdf(const std::string& path, const QByteArray& bytes, Existing existing) {
  if (existing == Existing::kKeep && Exists(path)) return AlreadyThere(path);
  auto made = files::FileWriter::ToReplace(path);
  if (const auto* error = std::get_if<files::FileError>(&made)) return WriteError(*error, path);
  files::FileWriter& writer = std::get<files::FileWriter>(made);
  if (auto error = writer.Write(std::string_view(bytes.constData(),
                                                 static_cast<std::size_t>(bytes.size())))) {
    return WriteError(*error, path);
  }
  if (auto error = writer.Finish()) return WriteError(*error, path);
  // Another program may have made the file while this one wrote; it is not replaced.
  if (existing == Existing::kKeep && Exists(path)) return AlreadyThere(path);
  if (auto error = writer.Publish()) return WriteError(*error, path);
  return {};
}

Result<PageCounts> MakeSheetPdf(const SheetRequest& request, const std::string& path,
                                Existing existing) {
  if (path.empty()) {
    return Error{ErrorCode::kInvalidInput, "出力する PDF のファイル名を指定してください。", {}, {}};
  }
  if (request.source == Source::kProblemFile && SameFile(request.problem_file, path)) {
    return Error{ErrorCode::kInvalidInput, "出力先が問題ファイルそのものです。別の名前にしてください。",
                 path, {}};
  }
  if (existing == Existing::kKeep && Exists(path)) return AlreadyThere(path);
  const bool separate = request.key == KeyPlacement::kSeparate;
  const std::string key_path = KeyPathFor(path);
  if (separate && existing == Existing::kKeep && Exists(key_path)) return AlreadyThere(key_path);
  const auto sheet = BuildSheet(request);
  if (!sheet) return sheet.error();
  const Part part = request.key == KeyPlacement::kEnd ? Part::kBoth : Part::kSheet;
  const auto pdf = RenderPdf(*sheet, request.paper, request.answers, part);
  if (!pdf) return pdf.error();
  PageCounts pages = pdf->pages;
  if (!separate) {
    if (auto written = WritePdf(path, pdf->bytes, existing); !written) return written.error();
    return pages;
  }
  const auto key = RenderPdf(*sheet, request.paper, request.answers, Part::kKey);
  if (!key) return key.error();
  pages.key = key->pages.key;
  // Both rendered: the key is written first, and taken back if the sheet then fails, so that
  // no key stands without its sheet.
  const bool key_was_there = Exists(key_path);
  if (auto written = WritePdf(key_path, key->bytes, existing); !written) return written.error();
  if (auto written = WritePdf(path, pdf->bytes, existing); !written) {
    if (!key_was_there) ::unlink(key_path.c_str());
    return written.error();
  }
  return pages;
}

}  // namespace rekendo::worksheet
