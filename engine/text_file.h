// Reads a data file line by line, with the rules every problem, trivia and judgement file
// shares: LF or CR LF ends a line, a CR anywhere else is dropped, bytes are taken as they
// are, a last line without terminator is read whole, and reading past the end yields empty
// lines. Every failing step throws IoError.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace rekendo {

class TextFile {
 public:
  // Opens an existing file for reading. Anything that is not a regular file (a folder, a
  // FIFO, a device) is refused with "access denied" without ever blocking.
  explicit TextFile(const std::string& path);
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // True when no byte is left or the next byte is Ctrl-Z (0x1A), which ends a pair file
  // where a pair would begin.
  bool AtEnd();
  // Replaces `line` with the next line (without its terminator).
  void ReadLine(std::string& line);
  std::string ReadLine();
  // Closes the file and reports a failed close; the destructor closes silently otherwise.
  void Close();

 private:
  // Refills the buffer; false at the end of the file.
  bool Fill();

  int fd_ = -1;
  std::unique_ptr<char[]> buffer_;
  std::size_t buffer_size_ = 0;  // left uninitialised: read() fills what is used
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
};

inline constexpr char kCtrlZ = 0x1A;

}  // namespace rekendo
