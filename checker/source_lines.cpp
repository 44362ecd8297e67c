#include "source_lines.h"

#include <algorithm>

#include "cp932.h"

namespace rekendo::checker {
namespace {

std::string_view EndBytes(LineEnd end) {
  switch (end) {
    case LineEnd::kLf:
      return "\n";
    case LineEnd::kCrLf:
      return "\r\n";
    default:
      return {};
  }
}

// A CR that the drill drops while text follows it on the same line.
bool JoinsAtCr(std::string_view bytes) {
  const auto cr = bytes.find('\r');
  return cr != std::string_view::npos && bytes.find_first_not_of('\r', cr) != std::string_view::npos;
}

}  // namespace

SourceLines::SourceLines(LineReader& reader, std::function<void(std::string_view)> copy)
    : reader_(reader), copy_(std::move(copy)) {}

bool SourceLines::ReadFromReader(RawLine& line) {
  if (reader_done_) return false;
  line.end = reader_.ReadRawLine(line.bytes);
  if (line.end == LineEnd::kEndOfFile) {
    reader_done_ = true;
    if (line.bytes.empty()) return false;
  }
  if (copy_) {
    copy_(line.bytes);
    copy_(EndBytes(line.end));
  }
  return true;
}

bool SourceLines::NextRaw(RawLine& line) {
  if (sniffed_lines_.empty()) return ReadFromReader(line);
  line = std::move(sniffed_lines_.front());
  sniffed_lines_.pop_front();
  return true;
}

// The first bytes decide UTF-16 and a UTF-8 BOM before any line is taken as text.
void SourceLines::Sniff() {
  std::string head;
  while (head.size() < text::kUtf16SniffSize) {
    RawLine line;
    if (!ReadFromReader(line)) break;
    head.append(line.bytes, 0, text::kUtf16SniffSize - head.size());
    head += EndBytes(line.end);
    sniffed_lines_.push_back(std::move(line));
  }
  if (const auto form = text::DetectUtf16(head)) {
    verdict_.encoding = Encoding::kUtf16;
    verdict_.utf16 = *form;
    bom_pending_ = form->bom;
    decided_ = true;
  } else if (head.starts_with(text::kUtf8Bom)) {
    verdict_.encoding = Encoding::kUtf8;
    verdict_.utf8_rule = text::Utf8Rule::kBom;
    bom_pending_ = true;
    decided_ = true;
  } else {
    DecideUtf8(Sample(head), 1);
  }
}

// Whole lines of the head, or for one long line its start cut after a whole UTF-8 character,
// so that the rule never sees a character cut in two.
std::string_view SourceLines::Sample(std::string_view head) {
  const auto lf = head.rfind('\n');
  if (lf != std::string_view::npos) return head.substr(0, lf + 1);
  if (reader_done_ && sniffed_lines_.size() <= 1) return head;  // the whole file
  std::size_t end = head.size();
  while (end > 0 && (static_cast<unsigned char>(head[end - 1]) & 0xC0) == 0x80) --end;
  if (end > 0 && static_cast<unsigned char>(head[end - 1]) >= 0xC0) --end;
  return head.substr(0, end);
}

// The first text that is not plain ASCII decides between UTF-8 and CP932 for the whole file.
void SourceLines::DecideUtf8(std::string_view sample, int first_line) {
  const auto first = std::find_if(sample.begin(), sample.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (first == sample.end()) return;
  decided_ = true;
  const text::Utf8Rule rule = text::DetectUtf8(sample);
  if (rule == text::Utf8Rule::kNone) return;
  verdict_.encoding = Encoding::kUtf8;
  verdict_.utf8_rule = rule;
  verdict_.utf8_line =
      first_line + static_cast<int>(std::count(sample.begin(), first, '\n'));
}

bool SourceLines::NextTextBytes(std::string& line, bool& ended_by_eof) {
  if (verdict_.encoding == Encoding::kUtf16) return NextUtf16Line(line, ended_by_eof);
  if (!NextRaw(raw_)) return false;
  verdict_.all_crlf = verdict_.all_crlf && raw_.end == LineEnd::kCrLf &&
                      raw_.bytes.find('\r') == std::string::npos;
  line.swap(raw_.bytes);
  ended_by_eof = raw_.end == LineEnd::kEndOfFile;
  if (bom_pending_) {
    line.erase(0, text::kUtf8Bom.size());
    bom_pending_ = false;
  }
  return true;
}

// UTF-16 is converted as it comes and split into lines by the same reader, over the
// converted text.
bool SourceLines::NextUtf16Line(std::string& line, bool& ended_by_eof) {
  const text::ByteOrder order = verdict_.utf16.order;
  for (;;) {
    const std::string_view rest = std::string_view(utf8_pending_).substr(utf8_taken_);
    const auto lf = rest.find('\n');
    if (lf != std::string_view::npos || raw_done_) {
      if (rest.empty()) return false;
      const std::string_view piece = rest.substr(0, lf == std::string_view::npos ? rest.size() : lf + 1);
      LineReader split = LineReader::OverBytes(piece);
      ended_by_eof = split.ReadRawLine(line) == LineEnd::kEndOfFile;
      utf8_taken_ += piece.size();
      if (utf8_taken_ * 2 > utf8_pending_.size()) {
        utf8_pending_.erase(0, utf8_taken_);
        utf8_taken_ = 0;
      }
      return true;
    }
    if (NextRaw(raw_)) {
      utf16_pending_ += raw_.bytes;
      utf16_pending_ += EndBytes(raw_.end);
      if (bom_pending_ && utf16_pending_.size() >= 2) {
        utf16_pending_.erase(0, 2);
        bom_pending_ = false;
      }
      const std::size_t whole = text::Utf16CompletePrefix(utf16_pending_, order);
      utf8_pending_ += text::Utf16ToUtf8(std::string_view(utf16_pending_).substr(0, whole), order);
      utf16_pending_.erase(0, whole);
    } else {
      raw_done_ = true;
      utf8_pending_ += text::Utf16ToUtf8(utf16_pending_, order);
      utf16_pending_.clear();
    }
  }
}

bool SourceLines::NextSplitLine(std::string& line) {
  if (whole_pos_ >= whole_.size()) return false;  // a last CR ends the last line
  const auto cr = whole_.find('\r', whole_pos_);
  const std::size_t end = cr == std::string::npos ? whole_.size() : cr;
  line.assign(whole_, whole_pos_, end - whole_pos_);
  whole_pos_ = cr == std::string::npos ? whole_.size() : cr + 1;
  return true;
}

bool SourceLines::Next(TextLine& line) {
  if (!sniffed_) {
    Sniff();
    sniffed_ = true;
  }
  if (whole_pos_ != std::string::npos) {
    if (!NextSplitLine(bytes_)) return false;
  } else {
    bool ended_by_eof = false;
    if (!NextTextBytes(bytes_, ended_by_eof)) return false;
    // No LF in the whole file, yet CRs between pieces of text: the lines end with CR alone.
    if (lines_out_ == 0 && ended_by_eof && JoinsAtCr(bytes_)) {
      verdict_.cr_only = true;
      whole_.swap(bytes_);
      whole_pos_ = 0;
      if (!NextSplitLine(bytes_)) return false;
    }
  }
  ++lines_out_;
  Convert(bytes_, line);
  return true;
}

void SourceLines::Convert(std::string& bytes, TextLine& out) {
  out.joined_at_cr = JoinsAtCr(bytes);
  std::erase(bytes, '\r');
  out.lost.clear();
  // A head of plain ASCII leaves the choice to the first line that is not.
  if (!decided_) DecideUtf8(bytes, lines_out_);
  if (verdict_.encoding == Encoding::kCp932) {
    out.text.swap(bytes);
    return;
  }
  text::Cp932Text converted = text::Utf8ToCp932(bytes);
  out.text = std::move(converted.bytes);
  for (const text::Unmappable& miss : converted.unmappable) {
    out.lost.push_back(bytes.substr(miss.offset, miss.length));
  }
}

}  // namespace rekendo::checker
