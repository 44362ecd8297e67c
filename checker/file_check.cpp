// Checking a file or bytes: one pass, no writing.
#include "analysis.h"
#include "error_text.h"
#include "input_file.h"
#include "walk.h"

namespace rekendo::checker {

Report CheckBytes(std::string_view bytes, FileKind kind) {
  LineReader reader = LineReader::OverBytes(bytes);
  return Walk(reader, kind, nullptr).report;
}

std::variant<Report, CheckError> CheckFile(const std::string& path, FileKind kind) {
  try {
    const InputFile input(path);
    LineReader reader = LineReader::OverDescriptor(input.fd());
    return Walk(reader, kind, nullptr).report;
  } catch (const IoError& error) {
    return ReadFailed(error);
  }
}

}  // namespace rekendo::checker
