// Reads a data file line by line, with the rules every problem, trivia and judgement file
// shares: LF or CR LF ends a line, a CR anywhere else is dropped, bytes are taken as they
// are, a last line without terminator is read whole, and reading past the end yields empty
// lines. The bytes come from a path, an open descriptor or memory; every failing step
// throws IoError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "sha256.h"

namespace rekendo {

// Opens an existing file for reading with the drill's refusals: anything that is not a
// regular file (a folder, a FIFO, a device) is "access denied", found without ever blocking.
// Returns the descriptor, which the caller closes; throws IoError with the drill's codes.
int OpenForReading(const std::string& path);

// What ended a line read with ReadRawLine.
enum class LineEnd { kEndOfFile, kLf, kCrLf };

class LineReader {
 public:
  // Opens `path` (see OpenForReading) and closes it when done.
  explicit LineReader(const std::string& path);
  // Reads an open descriptor from where it stands; the caller keeps and closes it.
  static LineReader OverDescriptor(int fd) { return LineReader(Descriptor{fd, false}); }
  // Reads bytes the caller keeps alive for as long as the reader is used.
  static LineReader OverBytes(std::string_view bytes) { return LineReader(bytes); }

  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // True when no byte is left or the next byte is Ctrl-Z (0x1A), which ends a pair file
  // where a pair would begin.
  bool AtEnd();
  // Replaces `line` with the next line (without its terminator).
  void ReadLine(std::string& line);
  std::string ReadLine();
  // For tools that report on the bytes themselves: the next line with the CRs the rules
  // drop kept in it, and what ended it. The line and its end give back the exact bytes.
  LineEnd ReadRawLine(std::string& line);
  // Closes an owned descriptor and reports a failed close; the destructor closes silently.
  void Close();

  // From now on, keeps the SHA-256 of every byte taken from the source, or its first
  // kContentHeadSize bytes; call them before the first read.
  void KeepDigest();
  void KeepHead();
  // The digest of the bytes taken so far: the whole file once the reader has reached its end
  // (and for any file that fits one buffer, 256 KiB). Empty unless KeepDigest was called.
  std::string ContentDigest() const;
  // The file's first bytes, for telling what kind of file it is (after KeepHead).
  const std::string& ContentHead() const { return head_; }

  // Counts the lines left without keeping them, reading at most about `max_bytes` more.
  struct LinesLeft {
    std::uint64_t lines = 0;
    bool all_counted = true;  // false when the limit stopped the count
  };
  LinesLeft CountLinesLeft(std::uint64_t max_bytes);

 private:
  struct Descriptor {
    int fd;
    bool owned;
  };
  explicit LineReader(Descriptor source);
  explicit LineReader(std::string_view bytes);

  LineEnd Read(std::string& line, bool keep_crs);
  // Refills the buffer; false at the end of the file.
  bool Fill();
  void Watch(std::string_view bytes);

  int fd_ = -1;
  bool owns_fd_ = false;
  std::unique_ptr<char[]> buffer_;
  const char* data_ = nullptr;   // the buffer, or the caller's bytes
  std::size_t buffer_size_ = 0;  // left uninitialised: read() fills what is used
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool digesting_ = false;
  bool keeping_head_ = false;
  Sha256 digest_;
  std::string head_;
};

inline constexpr std::size_t kContentHeadSize = 4096;

inline constexpr char kCtrlZ = 0x1A;

}  // namespace rekendo
