#include "fixer.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "cp932.h"
#include "cp932_chars.h"
#include "io_error.h"
#include "keypad_forms.h"
#include "text_file.h"

namespace rekendo::checker {
namespace {

std::string Widen(std::string_view answer, int& widened) {
  std::string out;
  out.reserve(answer.size() * 2);
  for (std::size_t pos = 0; pos < answer.size();) {
    const std::string_view character = answer.substr(pos, CharLength(answer, pos));
    pos += character.size();
    const std::string_view form = FixedFormFor(character);
    if (form.empty()) {
      out += character;
    } else {
      out += form;
      ++widened;
    }
  }
  return out;
}

bool OnlyCtrlZ(const std::vector<std::string>& lines, std::size_t from) {
  for (std::size_t index = from; index < lines.size(); ++index) {
    if (lines[index].find_first_not_of(kCtrlZ) != std::string::npos) return false;
  }
  return true;
}

CheckError ErrorFromErrno(int error) {
  const IoError io = IoError::FromErrno(error != 0 ? error : EIO);
  return {io.code(), text::Cp932ToUtf8(io.message())};
}

std::optional<CheckError> WriteBytes(const std::string& path, std::string_view bytes) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return ErrorFromErrno(errno);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return ErrorFromErrno(errno);
  return std::nullopt;
}

}  // namespace

FixResult Fix(const SourceText& source, FileKind kind) {
  FixResult result;
  result.converted = source.encoding.utf8;
  result.unfixable = source.conversion;
  std::vector<std::string> lines = source.lines;

  if (kind != FileKind::kJudgement) {
    std::size_t end = source.pair_stop.value_or(lines.size());
    for (std::size_t answer = 1; answer < end; answer += 2) {
      // Choice lists are read, not typed; their text stays as written.
      if (kind == FileKind::kTrivia && lines[answer].find('$') != std::string::npos) continue;
      lines[answer] = Widen(lines[answer], result.widened);
    }
    if (OnlyCtrlZ(lines, end)) {
      lines.resize(end);
      // Blank pairs at the end: a blank question line alone, or a blank question with a blank
      // answer; a real question's blank answer stays, to be reported.
      while (!lines.empty() && lines.back().empty()) {
        if (lines.size() % 2 == 0) {
          if (!lines[lines.size() - 2].empty()) break;
          lines.pop_back();
        }
        lines.pop_back();
        ++result.dropped_blank_pairs;
      }
    }
  }
  for (const std::string& line : lines) {
    result.bytes += line;
    result.bytes += "\r\n";
  }
  return result;
}

std::variant<FixResult, CheckError> FixFile(const std::string& path, const std::string& out,
                                            FileKind kind, bool keep_backup) {
  auto source = LoadSource(path);
  if (const auto* error = std::get_if<CheckError>(&source)) return *error;
  FixResult result = Fix(std::get<SourceText>(source), kind);
  if (keep_backup) {
    std::error_code error;
    std::filesystem::copy_file(path, path + ".bak",
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) return ErrorFromErrno(error.value());
  }
  if (auto error = WriteBytes(out, result.bytes)) return *error;
  return result;
}

}  // namespace rekendo::checker
