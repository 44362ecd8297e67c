// Filling the question bank from the problem, judgement and trivia files.
#include <string_view>

#include "drill.h"
#include "multiple_choice.h"
#include "line_reader.h"

namespace rekendo {

Drill::Drill(DrillView& view, Clock clock) : view_(view), clock_(std::move(clock)) {}

void Drill::BitBtnsentakuClick(const FileChooser& choose_file) {
  SetPanel({});
  ProblemCount = 0;
  // The dialog is modal but the countdown keeps ticking underneath it: a question may time
  // out and be revealed (into the panel emptied above) before the dialog returns.
  const std::optional<std::string> path = choose_file();
  if (path) {
    LineReader file(*path);
    // A full table ends the load: later lines are left unread.
    while (ProblemCount < kMaxProblems && !file.AtEnd()) {
      ++ProblemCount;
      file.ReadLine(ProblemText[ProblemCount]);
      file.ReadLine(ProblemAnswer[ProblemCount]);
    }
    file.Close();
  }
  syokika();
  Stage = 1;
}

void Drill::LoadDataFiles(const std::string& judgement_path, const std::string& trivia_path) {
  SeedRandomFromClock();
  SetTimer(false);

  LineReader judgement(judgement_path);
  for (std::string& message : JudgementText) judgement.ReadLine(message);
  judgement.Close();

  TriviaCount = 0;
  LineReader trivia(trivia_path);
  while (TriviaCount < kMaxTrivia && !trivia.AtEnd()) {
    ++TriviaCount;
    trivia.ReadLine(ChoiceQuestion);
    trivia.ReadLine(AnswerWork);
    if (AnswerWork.find('$') != std::string::npos) {
      sentakumondai(ChoiceQuestion, AnswerWork, Random);
    }
    TriviaText[TriviaCount] = ChoiceQuestion;
    TriviaAnswer[TriviaCount] = AnswerWork;
  }
  trivia.Close();
}

}  // namespace rekendo
