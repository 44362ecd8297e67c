// Where the drill reads a data file from: a path (as the learner chose it, or the fixed names
// of the judgement and trivia files), or bytes already in memory (tests, fuzzers, tools).
// Both are read with the same line rules and fail with the same error codes.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "line_reader.h"

namespace rekendo {

class DataSource {
 public:
  // A path: `DataSource("a.mon")` and a plain string both read the file.
  DataSource(std::string path) : text_(std::move(path)) {}  // NOLINT: a path reads as a source
  DataSource(const char* path) : text_(path) {}             // NOLINT
  static DataSource Bytes(std::string bytes) { return DataSource(std::move(bytes), true); }

  // Opens the file (throwing IoError as the reader does) or reads the held bytes.
  LineReader Open() const {
    return in_memory_ ? LineReader::OverBytes(text_) : LineReader(text_);
  }
  bool in_memory() const { return in_memory_; }
  // The path; empty for bytes in memory.
  std::string_view path() const { return in_memory_ ? std::string_view() : text_; }

 private:
  DataSource(std::string bytes, bool in_memory) : text_(std::move(bytes)), in_memory_(in_memory) {}

  std::string text_;  // the path, or the bytes themselves
  bool in_memory_ = false;
};

}  // namespace rekendo
