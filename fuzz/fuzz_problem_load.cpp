// The problem-file load over arbitrary bytes: pair by pair against the plain reading, then a
// round started over whatever was loaded.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "cp932.h"
#include "drill.h"
#include "drill_invariants.h"
#include "fake_view.h"
#include "reference_reader.h"
#include "utf8.h"

namespace {

[[noreturn]] void Broken(const std::string& what) {
  std::fprintf(stderr, "problem load: %s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  rekendo::testing::FakeView view;
  const auto drill = std::make_unique<rekendo::Drill>(view, [] { return 0u; });
  drill->ChooseProblemFile(
      [&] { return std::optional(rekendo::DataSource::Bytes(std::string(bytes))); });

  rekendo::fuzzing::ReferenceReader expected(bytes);
  // A file taken for UTF-8 holds its lines converted to Shift-JIS (the first without its
  // byte order mark); any other, the lines byte for byte.
  const bool utf8 = drill->LastLoad().read_as_utf8;
  bool first_line = true;
  const auto next = [&] {
    std::string line = expected.ReadLine();
    if (!utf8) return line;
    std::string_view text = line;
    if (first_line && text.starts_with(rekendo::text::kUtf8Bom)) {
      text.remove_prefix(rekendo::text::kUtf8Bom.size());
    }
    first_line = false;
    return rekendo::text::Utf8ToCp932(text).bytes;
  };
  int count = 0;
  while (count < rekendo::kMaxProblems && !expected.AtEnd()) {
    ++count;
    if (drill->Bank().problem_text[count] != next()) Broken("problem text differs");
    if (drill->Bank().problem_answer[count] != next()) Broken("problem answer differs");
  }
  if (drill->Bank().problem_count != count) Broken("ProblemCount " + std::to_string(drill->Bank().problem_count));

  // Bytes of the input pick the draw, so the fuzzer reaches any entry.
  drill->SetRandomState(size > 4 ? static_cast<std::uint32_t>(data[size - 1]) * 16777619u : 0u);
  drill->StartRound();
  std::string broken = rekendo::testing::DrillInvariantViolation(*drill, view);
  if (broken.empty() && count > 0) broken = rekendo::testing::FreshQuestionViolation(*drill);
  if (!broken.empty()) Broken(broken);
  return 0;
}
