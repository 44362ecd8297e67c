// Generated data in the shape of the drill's own files: Shift-JIS text, CR LF line ends,
// problem lines of some 30 bytes and short answers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rekendo::bench {

// `n` in full-width digits (with a full-width minus when negative).
std::string FullWidthNumber(long n);

// A problem file of `pairs` question/answer pairs.
std::string ProblemFileBytes(int pairs);
// A trivia file of `pairs` pairs; every third one lists four choices ("right$wrong$...").
std::string TriviaFileBytes(int pairs);
// The eleven judgement messages.
std::string JudgementFileBytes();

// Problem-file lines repeated until there are at least `bytes` bytes.
std::string TypicalLinesBytes(std::size_t bytes);
// `lines` lines of Shift-JIS text with no line break inside, `bytes` bytes in all.
std::string HugeLinesBytes(std::size_t bytes, int lines);

// An accepted-answer string of about `bytes` bytes: "１２３４５" pieces joined by "$", the
// last one being `last`, so that a typed `last` is found only after every other piece.
std::string AcceptedAnswers(std::size_t bytes, std::string_view last);

}  // namespace rekendo::bench
