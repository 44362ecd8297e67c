// What the worksheet tests share: running a program, reading a PDF back with poppler's tools,
// and problem files of the tests' own.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sjis.h"

namespace rekendo::testing {

struct Run {
  int status;
  std::string out;  // standard output, and standard error when asked for
};

inline Run RunCommand(const std::string& command, bool with_stderr = false) {
  FILE* pipe = ::popen((command + (with_stderr ? " 2>&1" : " 2>/dev/null")).c_str(), "r");
  if (pipe == nullptr) return {-1, {}};
  std::string out;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

inline std::string Quoted(const std::string& path) { return "'" + path + "'"; }

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

// The text of each page (pdftotext separates them with form feeds).
inline std::vector<std::string> PageTexts(const std::string& pdf, const std::string& mode = "") {
  const std::string text = RunCommand("pdftotext " + mode + " " + Quoted(pdf) + " -").out;
  std::vector<std::string> pages;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = text.find('\f', start)) != std::string::npos;
       start = end + 1) {
    pages.push_back(text.substr(start, end - start));
  }
  return pages;
}

inline int PdfPages(const std::string& pdf) {
  const std::string info = RunCommand("pdfinfo " + Quoted(pdf)).out;
  const auto at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

struct Pair {
  std::string problem;  // UTF-8
  std::string answers;  // UTF-8, "$" between answers
};

// A problem file as a teacher writes one: Shift-JIS, CR LF.
inline std::string ProblemFile(const std::vector<Pair>& pairs) {
  std::string text;
  for (const Pair& pair : pairs) text += pair.problem + "\r\n" + pair.answers + "\r\n";
  return Sjis(text);
}

inline std::string FullWidth(int n) {
  static const char* const kDigits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
  std::string digits;
  do {
    digits.insert(0, kDigits[n % 10]);
    n /= 10;
  } while (n > 0);
  return digits;
}

// `count` short sums, each one different: "１２＋３＝" → "１５".
inline std::vector<Pair> Sums(int count) {
  std::vector<Pair> pairs;
  for (int i = 0; i < count; ++i) {
    pairs.push_back({FullWidth(i) + "＋" + FullWidth(i % 7 + 1) + "＝", FullWidth(i + i % 7 + 1)});
  }
  return pairs;
}

}  // namespace rekendo::testing
