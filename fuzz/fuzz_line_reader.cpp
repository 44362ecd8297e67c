// The line reader over arbitrary bytes in memory, line by line against the plain reading of
// the rules; its raw lines must give back the bytes exactly.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "line_reader.h"
#include "reference_reader.h"

namespace {

[[noreturn]] void Broken(const char* what, std::size_t line) {
  std::fprintf(stderr, "line reader: %s at line %zu\n", what, line);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  rekendo::LineReader reader = rekendo::LineReader::OverBytes(bytes);
  rekendo::fuzzing::ReferenceReader expected(bytes);
  std::string line = "left over from before";
  std::size_t n = 0;
  for (; !expected.Exhausted(); ++n) {
    if (reader.AtEnd() != expected.AtEnd()) Broken("end test differs", n);
    // Both overloads: the one that reuses a string must clear it first.
    if (n % 2 == 0) {
      reader.ReadLine(line);
    } else {
      line = reader.ReadLine();
    }
    if (line != expected.ReadLine()) Broken("line differs", n);
  }
  // Reading past the end yields empty lines.
  for (const std::size_t last = n + 2; n < last; ++n) {
    if (!reader.AtEnd()) Broken("no end after the last byte", n);
    reader.ReadLine(line);
    if (!line.empty()) Broken("text past the end", n);
  }
  reader.Close();

  rekendo::LineReader raw = rekendo::LineReader::OverBytes(bytes);
  std::string again;
  for (rekendo::LineEnd end = rekendo::LineEnd::kLf; end != rekendo::LineEnd::kEndOfFile;) {
    end = raw.ReadRawLine(line);
    again += line;
    if (end == rekendo::LineEnd::kCrLf) again += "\r\n";
    if (end == rekendo::LineEnd::kLf) again += '\n';
    if (again.size() > bytes.size()) Broken("raw lines longer than the bytes", n);
  }
  if (again != bytes) Broken("raw lines differ from the bytes", n);
  return 0;
}
