// The line reader over arbitrary bytes, line by line against the plain reading of the rules.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "memory_file.h"
#include "reference_reader.h"
#include "text_file.h"

namespace {

[[noreturn]] void Broken(const char* what, std::size_t line) {
  std::fprintf(stderr, "line reader: %s at line %zu\n", what, line);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static rekendo::testing::MemoryFile file;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  file.Set(bytes);

  rekendo::TextFile reader(file.path());
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
  return 0;
}
