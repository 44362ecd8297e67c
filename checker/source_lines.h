// A data file's lines as Shift-JIS text, read once through the drill's line reader: what an
// author saved as UTF-8 or UTF-16 is converted, and a file whose lines end with CR alone is
// split at its CRs. Along the way it says which encoding it found and by which rule, and
// can hand every byte it reads to a copy (the backup), exactly as read.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line_reader.h"
#include "utf16.h"
#include "utf8.h"

namespace rekendo::checker {

enum class Encoding { kCp932, kUtf8, kUtf16 };

struct EncodingVerdict {
  Encoding encoding = Encoding::kCp932;
  text::Utf8Rule utf8_rule = text::Utf8Rule::kNone;  // why UTF-8
  int utf8_line = 0;  // the 1-based line the UTF-8 rule looked at (without a BOM)
  text::Utf16Form utf16{text::ByteOrder::kLittleEndian, false};
  bool cr_only = false;  // no LF anywhere, and CRs between pieces of text
  bool all_crlf = true;  // every line ends with CR LF and holds no other CR
};

struct TextLine {
  std::string text;           // CP932 as the drill reads it: without CRs, converted
  bool joined_at_cr = false;  // a CR the drill drops stood between two pieces of text
  std::vector<std::string> lost;  // UTF-8 characters Shift-JIS lacks, written as 〓
};

class SourceLines {
 public:
  // `copy`, when set, receives every byte read, in order.
  SourceLines(LineReader& reader, std::function<void(std::string_view)> copy);

  // The next line; false past the last one. Throws IoError when reading fails.
  bool Next(TextLine& line);
  // Final once Next() has returned false.
  const EncodingVerdict& verdict() const { return verdict_; }

 private:
  struct RawLine {
    std::string bytes;
    LineEnd end;
  };
  void Sniff();
  std::string_view Sample(std::string_view head);
  void DecideUtf8(std::string_view sample, int first_line);
  bool ReadFromReader(RawLine& line);
  bool NextRaw(RawLine& line);
  // A line of the file's own text (UTF-8 or CP932), CRs kept; false past the last one.
  bool NextTextBytes(std::string& line, bool& ended_by_eof);
  bool NextUtf16Line(std::string& line, bool& ended_by_eof);
  bool NextSplitLine(std::string& line);
  void Convert(std::string& bytes, TextLine& out);

  LineReader& reader_;
  std::function<void(std::string_view)> copy_;
  EncodingVerdict verdict_;
  bool sniffed_ = false;
  bool reader_done_ = false;
  bool raw_done_ = false;
  std::deque<RawLine> sniffed_lines_;
  int lines_out_ = 0;
  bool decided_ = false;  // the encoding is known for good
  // UTF-16: bytes read but not yet converted, and converted text not yet split.
  std::string utf16_pending_;
  std::string utf8_pending_;
  std::size_t utf8_taken_ = 0;
  bool bom_pending_ = false;  // a BOM to skip at the start of the text
  // A CR-only file: its one line, and where the next piece starts.
  std::string whole_;
  std::size_t whole_pos_ = std::string::npos;
  RawLine raw_;
  std::string bytes_;
};

}  // namespace rekendo::checker
