// The line reader against the least any line reader must do: the same read() calls into a
// buffer of the same size, and one memchr per line. bench/run reports the ratio. A third
// scan also copies each line out, the least a reader that hands out lines must do.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "sample_files.h"
#include "scratch_dir.h"
#include "line_reader.h"

namespace rekendo::bench {
namespace {

constexpr std::size_t kFileSize = 64u << 20;
constexpr int kHugeLines = 4;
// The reader's own buffer size, so both sides make the same system calls.
constexpr std::size_t kBlockSize = 256 * 1024;

enum class FileShape { kTypical, kHuge };

// Both 64 MiB files, written once per run and removed at the end.
class ReaderFiles {
 public:
  static const ReaderFiles& Get() {
    static const ReaderFiles files;
    return files;
  }
  const std::string& Path(FileShape shape) const {
    return shape == FileShape::kTypical ? typical_ : huge_;
  }

 private:
  ReaderFiles()
      : typical_(dir_.Write("typical.txt", TypicalLinesBytes(kFileSize))),
        huge_(dir_.Write("huge.txt", HugeLinesBytes(kFileSize, kHugeLines))) {}

  ScratchDir dir_;
  std::string typical_;
  std::string huge_;
};

std::size_t FileSize(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  const off_t size = ::lseek(fd, 0, SEEK_END);
  ::close(fd);
  return static_cast<std::size_t>(size);
}

// Bytes a second over the whole file, and the lines each pass counted.
void ReportPerPass(benchmark::State& state, const std::string& path, std::size_t lines) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(path)));
  state.counters["lines"] = static_cast<double>(lines) / static_cast<double>(state.iterations());
}

void BM_LineReader(benchmark::State& state, FileShape shape) {
  const std::string& path = ReaderFiles::Get().Path(shape);
  std::string line;
  std::size_t lines = 0;
  for (auto _ : state) {
    LineReader file(path);
    while (!file.AtEnd()) {
      file.ReadLine(line);
      benchmark::DoNotOptimize(line.data());
      ++lines;
    }
    file.Close();
  }
  ReportPerPass(state, path, lines);
}

// The plain scans read the file themselves; a file that will not open ends the benchmark.
int OpenOrSkip(benchmark::State& state, const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) state.SkipWithError("cannot open the file");
  return fd;
}

void BM_MemchrScan(benchmark::State& state, FileShape shape) {
  const std::string& path = ReaderFiles::Get().Path(shape);
  std::vector<char> buffer(kBlockSize);
  std::size_t lines = 0;
  for (auto _ : state) {
    const int fd = OpenOrSkip(state, path);
    if (fd < 0) break;
    ssize_t got = 0;
    bool pending = false;  // bytes after the last LF form one more line
    while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
      const char* at = buffer.data();
      const char* end = at + got;
      while (const void* lf = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
        ++lines;
        at = static_cast<const char*>(lf) + 1;
      }
      pending = at != end;
    }
    if (pending) ++lines;
    ::close(fd);
    benchmark::ClobberMemory();
  }
  ReportPerPass(state, path, lines);
}

void BM_MemchrScanAndCopy(benchmark::State& state, FileShape shape) {
  const std::string& path = ReaderFiles::Get().Path(shape);
  std::vector<char> buffer(kBlockSize);
  std::string line;
  std::size_t lines = 0;
  for (auto _ : state) {
    const int fd = OpenOrSkip(state, path);
    if (fd < 0) break;
    ssize_t got = 0;
    line.clear();
    while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
      const char* at = buffer.data();
      const char* end = at + got;
      while (at != end) {
        const auto* lf =
            static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        line.append(at, static_cast<std::size_t>((lf != nullptr ? lf : end) - at));
        if (lf == nullptr) break;
        benchmark::DoNotOptimize(line.data());
        line.clear();
        ++lines;
        at = lf + 1;
      }
    }
    if (!line.empty()) ++lines;
    ::close(fd);
  }
  ReportPerPass(state, path, lines);
}

BENCHMARK_CAPTURE(BM_LineReader, typical, FileShape::kTypical)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LineReader, huge, FileShape::kHuge)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MemchrScan, typical, FileShape::kTypical)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MemchrScan, huge, FileShape::kHuge)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MemchrScanAndCopy, typical, FileShape::kTypical)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MemchrScanAndCopy, huge, FileShape::kHuge)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rekendo::bench
