// The line rules written the plain way, over the whole file at once, for the fuzzers to hold
// the buffered reader against: LF ends a line, every CR is dropped, and the end is reached
// when no byte is left or the next one is Ctrl-Z.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace rekendo::fuzzing {

class ReferenceReader {
 public:
  explicit ReferenceReader(std::string_view bytes) : rest_(bytes) {}

  bool AtEnd() const { return rest_.empty() || rest_.front() == '\x1A'; }
  bool Exhausted() const { return rest_.empty(); }

  std::string ReadLine() {
    const auto lf = rest_.find('\n');
    std::string line(rest_.substr(0, lf));
    rest_.remove_prefix(lf == std::string_view::npos ? rest_.size() : lf + 1);
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    return line;
  }

 private:
  std::string_view rest_;
};

}  // namespace rekendo::fuzzing
