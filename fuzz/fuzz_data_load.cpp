// The judgement and trivia load over arbitrary bytes, with the multiple-choice conversion:
// every entry is held against the plain reading of both files.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "drill.h"
#include "drill_invariants.h"
#include "fake_view.h"
#include "multiple_choice.h"
#include "reference_reader.h"
#include "sjis_texts.h"

namespace {

using rekendo::fuzzing::ReferenceReader;

[[noreturn]] void Broken(const std::string& what, int entry) {
  std::fprintf(stderr, "data load: %s (entry %d)\n", what.c_str(), entry);
  std::abort();
}

std::vector<std::string_view> SplitCrLf(std::string_view text) {
  std::vector<std::string_view> lines;
  for (auto at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n")) {
    lines.push_back(text.substr(0, at));
    text.remove_prefix(at + 2);
  }
  lines.push_back(text);
  return lines;
}

// A converted entry: the question, then one "<digit>：<choice>" line for each of the first
// ten choices in some order, and the answer is the digit of the line holding the first one.
void CheckChoices(const std::string& question, const std::string& answer, const std::string& text,
                  const std::string& digit, int entry) {
  auto choices = rekendo::text::SplitAnswers(answer);
  if (choices.size() > rekendo::kMaxChoices) choices.resize(rekendo::kMaxChoices);
  const auto lines = SplitCrLf(text);
  if (lines.front() != question) Broken("question changed", entry);
  if (lines.size() != choices.size() + 1) Broken("wrong number of choice lines", entry);
  std::vector<std::string_view> shown;
  bool right_found = false;
  for (std::size_t k = 0; k < choices.size(); ++k) {
    std::string label(rekendo::sjis::kDigits[k]);
    label += rekendo::sjis::kFullWidthColon;
    std::string_view line = lines[k + 1];
    if (line.substr(0, label.size()) != label) Broken("choice line without its label", entry);
    line.remove_prefix(label.size());
    shown.push_back(line);
    right_found = right_found || (digit == rekendo::sjis::kDigits[k] && line == choices.front());
  }
  if (!right_found) Broken("answer digit does not point at the right choice", entry);
  std::sort(shown.begin(), shown.end());
  std::sort(choices.begin(), choices.end());
  if (shown != choices) Broken("choices lost or changed", entry);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto seed = input.ConsumeIntegral<std::uint32_t>();
  const std::string judgement = input.ConsumeRandomLengthString(1024);
  const std::string trivia = input.ConsumeRemainingBytesAsString();

  rekendo::testing::FakeView view;
  const auto drill = std::make_unique<rekendo::Drill>(view, [seed] { return seed; });
  drill->LoadDataFiles(rekendo::DataSource::Bytes(judgement), rekendo::DataSource::Bytes(trivia));

  ReferenceReader judgement_lines(judgement);
  for (int i = 0; i < rekendo::kJudgementCount; ++i) {
    if (drill->Bank().judgement_text[i] != judgement_lines.ReadLine()) Broken("judgement differs", i);
  }

  ReferenceReader trivia_lines(trivia);
  int count = 0;
  int converted = 0;
  while (count < rekendo::kMaxTrivia && !trivia_lines.AtEnd()) {
    ++count;
    const std::string question = trivia_lines.ReadLine();
    const std::string answer = trivia_lines.ReadLine();
    const std::string& text = drill->Bank().trivia_text[count];
    const std::string& stored = drill->Bank().trivia_answer[count];
    if (answer.find('$') == std::string::npos) {
      if (text != question || stored != answer) Broken("plain entry changed", count);
    } else {
      ++converted;
      CheckChoices(question, answer, text, stored, count);
    }
  }
  if (drill->Bank().trivia_count != count) Broken("TriviaCount " + std::to_string(drill->Bank().trivia_count), 0);

  // Each conversion takes the same number of draws, so the state tells how many there were.
  rekendo::RandomSource replay;
  replay.Reseed(seed);
  for (int i = 0; i < converted * rekendo::kShuffleDraws; ++i) replay.RandomBelow(1);
  if (drill->Snapshot().random_state != replay.state()) Broken("draws taken differ", converted);
  return 0;
}
