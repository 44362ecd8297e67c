// Shared by the checker's tests: checking a file written on the spot, and asking the report.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>

#include "analysis.h"
#include "temp_files.h"

namespace rekendo::testing {

inline checker::Report CheckBytes(const TempDir& dir, const std::string& name,
                                  const std::string& bytes, checker::FileKind kind) {
  auto result = checker::CheckFile(dir.Write(name, bytes), kind);
  if (const auto* error = std::get_if<checker::CheckError>(&result)) {
    ADD_FAILURE() << "cannot check " << name << ": " << error->message;
    return {};
  }
  return std::get<checker::Report>(result);
}

inline int CountOf(const checker::Report& report, checker::FindingCode code) {
  int count = 0;
  for (const auto& finding : report.findings) count += finding.code == code ? 1 : 0;
  return count;
}

// The message of the only finding with `code` on `line`; empty (and a failure) when there is
// not exactly one.
inline std::string MessageAt(const checker::Report& report, checker::FindingCode code, int line) {
  std::string message;
  int found = 0;
  for (const auto& finding : report.findings) {
    if (finding.code == code && finding.line == line) {
      message = finding.message;
      ++found;
    }
  }
  EXPECT_EQ(found, 1) << "findings of that kind on line " << line;
  return message;
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ToolRun {
  int status;
  std::string output;  // stdout and stderr together
};

inline std::string Quote(const std::string& text) { return "'" + text + "'"; }

// Runs rekendo-check with `arguments`, after `setup` (shell commands such as "ulimit -n 4").
inline ToolRun Tool(const std::string& arguments, const std::string& setup = "") {
  const std::string command =
      "sh -c " + Quote(setup + (setup.empty() ? "" : "; ") + "exec \"$0\" \"$@\"") + " " +
      Quote(REKENDO_CHECK_PATH) + " " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, {}};
  std::string output;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    output.append(buffer, got);
  }
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

inline std::string Dump(const checker::Report& report) {
  std::string text;
  for (const auto& finding : report.findings) {
    text += std::to_string(finding.line) + ": " + finding.message + "\n";
  }
  return text;
}

}  // namespace rekendo::testing
