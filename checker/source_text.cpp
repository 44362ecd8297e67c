#include "source_text.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cp932.h"
#include "io_error.h"
#include "text_file.h"

namespace rekendo::checker {
namespace {

CheckError FromIoError(const IoError& error) {
  return {error.code(), text::Cp932ToUtf8(error.message())};
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw IoError::FromErrno(EIO);
  return bytes;
}

// A converted copy on disk, so that the drill's reader splits it; removed when done.
class TempCopy {
 public:
  explicit TempCopy(std::string_view bytes) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "rekendo-check-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) throw IoError::FromErrno(errno);
    ::close(fd);
    path_ = pattern;
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw IoError::FromCode(io_code::kDiskFull);
  }
  ~TempCopy() { ::unlink(path_.c_str()); }
  TempCopy(const TempCopy&) = delete;
  TempCopy& operator=(const TempCopy&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The drill's count: every LF ends a line and a last line without one counts too.
std::size_t CountLines(std::string_view bytes) {
  const auto breaks = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  return breaks + (!bytes.empty() && bytes.back() != '\n' ? 1 : 0);
}

// Lines where a run of CRs stands between two pieces of text: the drill drops them and joins
// what an author saw as two lines. CRs just before a line end change nothing.
std::vector<int> LoneCrLines(std::string_view bytes) {
  std::vector<int> lines;
  int line = 1;
  for (std::size_t pos = 0; pos < bytes.size(); ++pos) {
    if (bytes[pos] == '\n') {
      ++line;
      continue;
    }
    if (bytes[pos] != '\r') continue;
    while (pos + 1 < bytes.size() && bytes[pos + 1] == '\r') ++pos;
    const bool joins = pos + 1 < bytes.size() && bytes[pos + 1] != '\n';
    if (joins && (lines.empty() || lines.back() != line)) lines.push_back(line);
  }
  return lines;
}

// Reads `count` lines, asking the reader before every odd line whether a pair file would
// end there, exactly as the drill's loading loops do.
void ReadLines(TextFile& file, std::size_t count, SourceText& source) {
  source.lines.resize(count);
  for (std::size_t index = 0; index < count; ++index) {
    if (index % 2 == 0 && !source.pair_stop && file.AtEnd()) source.pair_stop = index;
    file.ReadLine(source.lines[index]);
  }
  file.Close();
}

}  // namespace

std::variant<SourceText, CheckError> LoadSource(const std::string& path) {
  try {
    // Opening with the drill's reader first gives its refusals (folders, devices) and codes.
    TextFile original(path);
    const std::string raw = ReadBytes(path);
    SourceText source;
    source.encoding = DetectUtf8(raw);
    if (!source.encoding.utf8) {
      source.lone_cr_lines = LoneCrLines(raw);
      ReadLines(original, CountLines(raw), source);
      return source;
    }
    std::string_view utf8 = raw;
    if (source.encoding.bom) utf8.remove_prefix(kUtf8Bom.size());
    Cp932Text converted = Utf8ToCp932(utf8);
    source.conversion = std::move(converted.missing);
    source.lone_cr_lines = LoneCrLines(converted.bytes);
    const TempCopy copy(converted.bytes);
    TextFile file(copy.path());
    ReadLines(file, CountLines(converted.bytes), source);
    return source;
  } catch (const IoError& error) {
    return FromIoError(error);
  }
}

}  // namespace rekendo::checker
