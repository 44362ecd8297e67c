#include "sheet_content.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <numeric>
#include <string_view>

#include "answers.h"
#include "cp932.h"
#include "drill.h"
#include "io_error.h"
#include "problem_file.h"
#include "random.h"
#include "text_look.h"
#include "topics.h"
#include "utf8.h"

namespace rekendo::worksheet {

namespace {

// The drill's loading needs a window; this one shows nothing.
class SilentView : public DrillView {
 public:
  void SetLabelText(Label, std::string_view) override {}
  void SetTimerEnabled(bool enabled) override { timer_ = enabled; }
  bool TimerEnabled() const override { return timer_; }
  void SetBar(int, int) override {}

 private:
  bool timer_ = false;
};

ErrorCode CodeOf(const IoError& error) {
  switch (error.code()) {
    case io_code::kFileNotFound:
    case io_code::kPathNotFound:
      return ErrorCode::kNotFound;
    case io_code::kAccessDenied:
      return ErrorCode::kAccessDenied;
    case io_code::kDiskFull:
      return ErrorCode::kDiskFull;
    case io_code::kTooManyOpenFiles:
      return ErrorCode::kIo;
    default:
      return error.error_number() == ENOMEM ? ErrorCode::kOutOfMemory : ErrorCode::kIo;
  }
}

bool IsBlank(std::string_view utf8);

// Reads `source` exactly as 問題選択 does (a Drill's ChooseProblemFile over it) and hands
// over its pairs; a failure carries the drill's own message, in UTF-8.
Result<std::vector<ProblemPair>> LoadLikeTheDrill(const DataSource& source,
                                                  const std::string& subject) {
  SilentView view;
  auto drill = std::make_unique<Drill>(view, [] { return std::uint32_t{0}; });
  try {
    drill->ChooseProblemFile([&] { return std::optional<DataSource>(source); });
  } catch (const IoError& error) {
    return Error{CodeOf(error), text::Cp932ToUtf8(error.message()), subject,
                 error.error_number() != 0 ? std::strerror(error.error_number()) : ""};
  } catch (const std::bad_alloc&) {
    return Error{ErrorCode::kOutOfMemory, "メモリが足りません。", subject, {}};
  }
  // The drill plays whatever it reads; a sheet of garbage or a key with holes would be
  // printed for a class, so those are refused here with what to do about them.
  const LoadSummary& load = drill->LastLoad();
  if (!load.read_as_utf8) {
    switch (text::LookOfText(load.head)) {
      case text::TextLook::kUtf16:
        return Error{ErrorCode::kInvalidInput,
                     "UTF-16 で保存されたファイルです。Shift-JIS か UTF-8 で保存し直してください"
                     "（rekendo-check --fix で直せます）。",
                     subject, {}};
      case text::TextLook::kBinary:
        return Error{ErrorCode::kInvalidInput,
                     "問題ファイルではありません（文字でないデータが入っています）。", subject, {}};
      case text::TextLook::kUtf8:
      case text::TextLook::kShiftJis:
        break;
    }
  }
  const QuestionBank& bank = drill->Bank();
  for (int i = 1; i <= bank.problem_count; ++i) {
    if (bank.problem_answer[i].empty() && !IsBlank(text::Cp932ToUtf8(bank.problem_text[i]))) {
      return Error{ErrorCode::kInvalidInput,
                   std::to_string(2 * i) + " 行目: 問題「" + text::Cp932ToUtf8(bank.problem_text[i]) +
                       "」の答えの行がありません（空です）。",
                   subject, {}};
    }
  }
  return ProblemListFromBank(bank, {}).pairs;
}

// The first `max_chars` characters of Shift-JIS `bytes`, and whether anything was cut.
std::string_view CutCp932(std::string_view bytes, std::size_t max_chars, bool& cut) {
  std::size_t pos = 0;
  for (std::size_t chars = 0; pos < bytes.size() && chars < max_chars; ++chars) {
    pos += text::CharLength(bytes, pos);
  }
  cut = pos < bytes.size();
  return bytes.substr(0, pos);
}

constexpr std::string_view kEllipsis = "…";

// UTF-8 with every control character (tabs and the CRs the reader keeps inside a line
// among them) as a space.
std::string Printable(std::string_view cp932, bool cut) {
  std::string utf8 = text::Cp932ToUtf8(cp932);
  for (char& c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  if (cut) utf8 += kEllipsis;
  return utf8;
}

bool IsBlank(std::string_view utf8) {
  constexpr std::string_view kIdeographicSpace = "\u3000";
  for (std::size_t i = 0; i < utf8.size();) {
    if (utf8[i] == ' ') {
      ++i;
    } else if (utf8.substr(i, kIdeographicSpace.size()) == kIdeographicSpace) {
      i += kIdeographicSpace.size();
    } else {
      return false;
    }
  }
  return true;
}

SheetItem ItemOf(const ProblemPair& pair) {
  SheetItem item;
  bool cut = false;
  const std::string_view problem = CutCp932(pair.problem, kMaxPrintedChars, cut);
  item.problem = Printable(problem, cut);
  // More answers than a key could print are left off; the last one kept says so.
  const std::string_view answers = CutCp932(pair.answers, kMaxPrintedChars, cut);
  const std::vector<std::string_view> pieces = text::SplitAnswers(answers);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    item.answers.push_back(Printable(pieces[i], cut && i + 1 == pieces.size()));
  }
  return item;
}

// `count` of `n` indices drawn by `seed`, in ascending order.
std::vector<std::size_t> Choose(std::size_t n, std::size_t count, std::uint64_t seed) {
  std::vector<std::size_t> indices(n);
  std::iota(indices.begin(), indices.end(), std::size_t{0});
  generator::Random random(seed);
  for (std::size_t i = 0; i < count; ++i) {
    std::swap(indices[i], indices[i + random.Below(n - i)]);
  }
  indices.resize(count);
  std::sort(indices.begin(), indices.end());
  return indices;
}

Error InvalidInput(std::string message, std::string subject = {}) {
  return Error{ErrorCode::kInvalidInput, std::move(message), std::move(subject), {}};
}

// The printable problems of `pairs`, all of them or `count` chosen by `seed`.
Result<Sheet> ProblemSheetOf(std::string title, const std::vector<ProblemPair>& pairs,
                             std::optional<int> count, std::uint64_t seed,
                             const std::string& subject) {
  ProblemSheet sheet{std::move(title), {}};
  for (const ProblemPair& pair : pairs) {
    SheetItem item = ItemOf(pair);
    // A pair with a blank problem (a stray blank line pair) has nothing to print.
    if (!IsBlank(item.problem)) sheet.items.push_back(std::move(item));
  }
  if (pairs.empty()) return InvalidInput("「" + sheet.title + "」には問題がありません", subject);
  if (sheet.items.empty()) {
    return InvalidInput("「" + sheet.title + "」には印刷できる問題がありません（問題の行がすべて空です）",
                        subject);
  }
  if (count) {
    if (*count < 1) return InvalidInput("問題数は 1 以上です");
    if (static_cast<std::size_t>(*count) > sheet.items.size()) {
      return InvalidInput("「" + sheet.title + "」の問題は " + std::to_string(sheet.items.size()) +
                              " 問しかありません（" + std::to_string(*count) + " 問は選べません）",
                          subject);
    }
    std::vector<SheetItem> chosen;
    for (std::size_t index : Choose(sheet.items.size(), static_cast<std::size_t>(*count), seed)) {
      chosen.push_back(std::move(sheet.items[index]));
    }
    sheet.items = std::move(chosen);
  }
  return Sheet{std::move(sheet), seed};
}

Result<Sheet> GeneratedSheet(const SheetRequest& request) {
  const int count = request.count.value_or(generator::kDefaultCount);
  auto made = generator::GenerateProblemFile(request.topic, request.level, count, request.seed);
  if (!made) return InvalidInput(made.error().message);
  const generator::Topic* topic = generator::FindTopic(request.topic);
  const std::string title = "「" + std::string(topic->japanese_name) + "」レベル " +
                            std::to_string(request.level);
  // The generated file is read back as the drill would read it once saved.
  auto pairs = LoadLikeTheDrill(
      DataSource::Bytes(std::move(made->cp932)), title);
  if (!pairs) return pairs.error();
  return ProblemSheetOf(title, *pairs, std::nullopt, request.seed, {});
}

}  // namespace

ProblemList ProblemListFromBank(const QuestionBank& bank, std::string title) {
  ProblemList list{std::move(title), {}};
  for (int i = 1; i <= bank.problem_count; ++i) {
    const auto index = static_cast<std::size_t>(i);
    list.pairs.push_back({bank.problem_text[index], bank.problem_answer[index]});
  }
  return list;
}

int GridSheet::Cell(int row, int column) const {
  const int a = across[static_cast<std::size_t>(column)];
  const int d = down[static_cast<std::size_t>(row)];
  switch (operation) {
    case GridOperation::kAdd:
      return a + d;
    case GridOperation::kSub:
      return a - d;
    case GridOperation::kMul:
      return a * d;
  }
  return 0;
}

GridRanges RangesOf(GridOperation operation, int level) {
  if (operation == GridOperation::kSub) {
    switch (level) {
      case 1: return {10, 19, 0, 9};
      case 2: return {20, 99, 0, 9};
      default: return {20, 99, 10, 19};
    }
  }
  switch (level) {
    case 1: return {0, 9, 0, 9};
    case 2: return {10, 19, 0, 9};
    default: return {20, 99, 0, 9};
  }
}

namespace {

// Ten distinct numbers of [low, high] in a random order.
std::array<int, kGridSize> DrawTen(int low, int high, generator::Random& random) {
  std::vector<int> numbers(static_cast<std::size_t>(high - low + 1));
  std::iota(numbers.begin(), numbers.end(), low);
  std::array<int, kGridSize> drawn{};
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    std::swap(numbers[i], numbers[i + random.Below(numbers.size() - i)]);
    drawn[i] = numbers[i];
  }
  return drawn;
}

}  // namespace

GridSheet MakeGrid(GridOperation operation, int level, std::uint64_t seed) {
  const GridRanges ranges = RangesOf(operation, level);
  generator::Random random(seed);
  GridSheet grid{operation, level, {}, {}};
  grid.across = DrawTen(ranges.across_low, ranges.across_high, random);
  grid.down = DrawTen(ranges.down_low, ranges.down_high, random);
  return grid;
}

std::string OperationName(GridOperation operation) {
  switch (operation) {
    case GridOperation::kAdd:
      return "たし算";
    case GridOperation::kSub:
      return "ひき算";
    case GridOperation::kMul:
      return "かけ算";
  }
  return {};
}

std::string GridTitle(const GridSheet& grid) {
  return "百ます計算　" + OperationName(grid.operation) + "（レベル " +
         std::to_string(grid.level) + "）";
}

std::string TitleOfPath(const std::string& path) {
  const std::string stem = std::filesystem::path(path).stem().string();
  if (text::IsValidUtf8(stem)) return stem;
  // A name copied with its Shift-JIS bytes from a Windows machine.
  return text::Cp932ToUtf8(stem);
}

Result<Sheet> BuildSheet(const SheetRequest& request) {
  switch (request.source) {
    case Source::kLoadedSet:
    case Source::kReview: {
      const ProblemList& list =
          request.source == Source::kLoadedSet ? request.loaded_set : request.review;
      std::string title = list.title;
      if (title.empty()) title = request.source == Source::kLoadedSet ? "問題集" : "復習";
      return ProblemSheetOf(std::move(title), list.pairs, request.count, request.seed, {});
    }
    case Source::kProblemFile: {
      if (request.problem_file.empty()) return InvalidInput("問題ファイルを選んでください");
      auto pairs = LoadLikeTheDrill(DataSource(request.problem_file), request.problem_file);
      if (!pairs) return pairs.error();
      return ProblemSheetOf(TitleOfPath(request.problem_file), *pairs, request.count,
                            request.seed, request.problem_file);
    }
    case Source::kGenerated:
      return GeneratedSheet(request);
    case Source::kGrid:
      if (request.level < 1 || request.level > 3) {
        return InvalidInput("百ます計算のレベルは 1、2、3 のどれかです");
      }
      return Sheet{MakeGrid(request.grid, request.level, request.seed), request.seed};
  }
  return InvalidInput("知らない種類のプリントです");
}

}  // namespace rekendo::worksheet
