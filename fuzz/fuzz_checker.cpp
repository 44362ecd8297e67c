// The checker and --fix over arbitrary bytes: the check never fails, and a fixed file is a
// fixed point. Checking it again finds nothing that --fix would change, and fixing it again
// writes the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis.h"
#include "fixer.h"
#include "utf16.h"
#include "utf8.h"

namespace {

using rekendo::checker::FileKind;
using rekendo::checker::FindingCode;

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "checker: %s\n", what);
  std::abort();
}

// Findings that name something --fix changes.
bool FixWouldChange(const rekendo::checker::Report& report) {
  for (const auto& finding : report.findings) {
    switch (finding.code) {
      case FindingCode::kUtf8:
      case FindingCode::kUtf16:
      case FindingCode::kCrOnly:
      case FindingCode::kLoneCr:
        return true;
      default:
        break;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto kind = static_cast<FileKind>(data[0] % 3);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  const auto report = rekendo::checker::CheckBytes(bytes, kind);
  int shown = 0;
  for (const auto& finding : report.findings) shown += finding.code != FindingCode::kMoreOfTheSame;
  if (report.total_findings < shown) Broken("fewer findings counted than shown");
  const auto fixed = rekendo::checker::FixBytes(bytes, kind);
  // Converted text can be ambiguous again (UTF-8 written as Shift-JIS that reads as UTF-8,
  // NULs in every other byte): the rules take such bytes as the other encoding, by design.
  const std::string_view head = std::string_view(fixed.bytes).substr(0, 4096);
  if (rekendo::text::DetectUtf16(head) ||
      rekendo::text::DetectUtf8(fixed.bytes) != rekendo::text::Utf8Rule::kNone) {
    return 0;
  }
  if (FixWouldChange(rekendo::checker::CheckBytes(fixed.bytes, kind))) {
    Broken("the fixed file still has something --fix changes");
  }
  const auto again = rekendo::checker::FixBytes(fixed.bytes, kind);
  if (again.bytes != fixed.bytes) Broken("fixing twice changed more");
  if (again.widened != 0 || again.dropped_blank_pairs != 0 || again.converted ||
      again.split_at_cr) {
    Broken("the second fix says it changed something");
  }
  return 0;
}
