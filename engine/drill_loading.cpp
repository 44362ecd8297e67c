// Filling the question bank from the problem, judgement and trivia files.
#include <string_view>

#include "answers.h"
#include "cp932.h"
#include "drill.h"
#include "io_error.h"
#include "multiple_choice.h"
#include "line_reader.h"
#include "utf8.h"

namespace rekendo {

namespace {

// A problem file saved as UTF-8 (what editors write by default today) is read as the text
// it holds, by the rule rekendo-check uses, over the lines loaded; Shift-JIS stays as it is,
// byte for byte. True when the lines were converted.
bool ReadAsUtf8(QuestionBank& bank) {
  std::string all;
  bool high = false;
  for (std::int32_t i = 1; i <= bank.problem_count; ++i) {
    for (const std::string* line : {&bank.problem_text[i], &bank.problem_answer[i]}) {
      for (const char c : *line) high = high || static_cast<unsigned char>(c) >= 0x80;
      all += *line;
      all += '\n';
    }
  }
  if (!high || text::DetectUtf8(all) == text::Utf8Rule::kNone) return false;
  for (std::int32_t i = 1; i <= bank.problem_count; ++i) {
    for (std::string* line : {&bank.problem_text[i], &bank.problem_answer[i]}) {
      std::string_view utf8 = *line;
      if (i == 1 && line == &bank.problem_text[1] && utf8.starts_with(text::kUtf8Bom)) {
        utf8.remove_prefix(text::kUtf8Bom.size());
      }
      *line = text::Utf8ToCp932(utf8).bytes;
    }
  }
  return true;
}

}  // namespace

Drill::Drill(DrillView& view, Clock clock) : view_(view), clock_(std::move(clock)) {}

void Drill::ChooseProblemFile(const FileChooser& choose_file) {
  SetPanel({});
  bank_.problem_count = 0;
  // The dialog is modal but the countdown keeps ticking underneath it: a question may time
  // out and be revealed (into the panel emptied above) before the dialog returns.
  const std::optional<DataSource> chosen = choose_file();
  LoadSummary summary;
  if (chosen) {
    LineReader file = chosen->Open();
    file.KeepHead();
    // The set's identity is for a record to know it by; without one listening it is not
    // worked out.
    if (observer_ != &silent_observer_) file.KeepDigest();
    // A full table ends the load: later lines are left unread.
    while (bank_.problem_count < kMaxProblems && !file.AtEnd()) {
      ++bank_.problem_count;
      file.ReadLine(bank_.problem_text[bank_.problem_count]);
      file.ReadLine(bank_.problem_answer[bank_.problem_count]);
    }
    if (!file.AtEnd()) {
      // How much was left out, for the learner to hear of; the load itself is done, so
      // nothing met counting it can fail it.
      try {
        const LineReader::LinesLeft left = file.CountLinesLeft(kCountedBytesLeft);
        summary.pairs_left_out = static_cast<std::int64_t>((left.lines + 1) / 2);
        summary.all_left_out_counted = left.all_counted;
      } catch (const IoError&) {
        summary.all_left_out_counted = false;
      }
    }
    summary.read_as_utf8 = ReadAsUtf8(bank_);
    summary.content_sha256 = file.ContentDigest();
    summary.head = file.ContentHead();
    file.Close();
  }
  // The round that was running ends here, before the new file's rounds begin.
  LeaveRunningRound();
  if (chosen) {
    last_load_ = std::move(summary);
    observer_->ProblemFileLoaded({chosen->path(), bank_.problem_count, last_load_.content_sha256});
  }
  ResetRound();
  stage_ = Stage::kReady;
}

void Drill::LoadDataFiles(const DataSource& judgement_file, const DataSource& trivia_file) {
  random_.Reseed(clock_());
  SetTimer(false);

  LineReader judgement = judgement_file.Open();
  for (std::string& message : bank_.judgement_text) judgement.ReadLine(message);
  judgement.Close();

  bank_.trivia_count = 0;
  LineReader trivia = trivia_file.Open();
  std::string question;
  std::string answer;
  while (bank_.trivia_count < kMaxTrivia && !trivia.AtEnd()) {
    const std::int32_t index = ++bank_.trivia_count;
    trivia.ReadLine(question);
    trivia.ReadLine(answer);
    bank_.trivia_has_choices[index] = text::HasSeveralAnswers(answer);
    if (bank_.trivia_has_choices[index]) MakeMultipleChoice(question, answer, random_);
    bank_.trivia_text[index] = question;
    bank_.trivia_answer[index] = answer;
  }
  trivia.Close();
}

}  // namespace rekendo
