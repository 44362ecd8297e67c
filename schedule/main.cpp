// rekendo-schedule: replays review events (ITEM,TIME,GRADE) through the FSRS-6 scheduler and
// prints each item's memory state and next interval after every event.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fsrs.h"

namespace {

using namespace rekendo::schedule;

constexpr int kOk = 0;
constexpr int kFailed = 2;
constexpr std::string_view kName = "rekendo-schedule";

constexpr std::string_view kUsage =
    "使い方: rekendo-schedule [--retention R] [FILE]\n"
    "        rekendo-schedule --help | --version\n"
    "\n"
    "復習の記録を 1 行に 1 件「ITEM,TIME,GRADE」で FILE（なければ標準入力）から読み、\n"
    "1 件ごとに「ITEM,TIME,GRADE,STABILITY,DIFFICULTY,INTERVAL_DAYS」を出力します（FSRS-6、\n"
    "既定のパラメータ）。TIME は UTC の ISO 8601（2026-12-01T08:30:00Z）、GRADE は 1（Again）、\n"
    "2（Hard）、3（Good）、4（Easy）。ITEM ごとに別々の履歴で、経過日数は UTC の日付の差です。\n"
    "\n"
    "  --retention R  目標の正答率（0.70 から 0.97、既定 0.9）\n"
    "\n"
    "空行は読み飛ばします。正しくない行、同じ ITEM で時刻が前の記録より前の行があると、\n"
    "その行番号を標準エラーに出して終了ステータス 2 で止まります。\n";

int UsageError(const std::string& message) {
  std::cerr << kName << ": " << message << "\n詳しくは rekendo-schedule --help\n";
  return kFailed;
}

// YYYY-MM-DDTHH:MM:SSZ, exactly.
std::optional<UnixSeconds> ParseTime(std::string_view text) {
  if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
      text[13] != ':' || text[16] != ':' || text[19] != 'Z') {
    return std::nullopt;
  }
  const auto field = [&](std::size_t at, std::size_t length) -> std::optional<int> {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) {
      if (text[i] < '0' || text[i] > '9') return std::nullopt;
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  const auto year = field(0, 4), month = field(5, 2), day = field(8, 2);
  const auto hour = field(11, 2), minute = field(14, 2), second = field(17, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  if (*hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(*year),
                                         std::chrono::month(static_cast<unsigned>(*month)),
                                         std::chrono::day(static_cast<unsigned>(*day))};
  if (!date.ok()) return std::nullopt;
  const auto days = std::chrono::sys_days(date).time_since_epoch().count();
  return static_cast<UnixSeconds>(days) * kSecondsPerDay + *hour * 3600 + *minute * 60 + *second;
}

struct ItemHistory {
  MemoryState state;
  std::string time;  // of the last event, for the message on an event out of order
};

class Replay {
 public:
  Replay(const Scheduler& scheduler, std::string source)
      : scheduler_(scheduler), source_(std::move(source)) {}

  // Every event of `in`; kOk, or kFailed after the message for the first bad line.
  int Run(std::istream& in) {
    std::string line;
    std::size_t number = 0;
    while (std::getline(in, line)) {
      ++number;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) continue;
      if (const auto problem = Event(line)) return Bad(number, *problem);
    }
    if (in.bad()) return Bad(number + 1, "読み込めませんでした");
    std::cout.flush();
    if (!std::cout) {
      std::cerr << kName << ": 標準出力に書けませんでした\n";
      return kFailed;
    }
    return kOk;
  }

 private:
  // Prints the event's line, or says what is wrong with it.
  std::optional<std::string> Event(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
      const std::size_t comma = line.find(',', start);
      fields.push_back(line.substr(start, comma - start));
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    if (fields.size() != 3) {
      return "「ITEM,TIME,GRADE」の 3 項目ではありません（" + std::to_string(fields.size()) +
             " 項目）: " + std::string(line);
    }
    const std::string_view item = fields[0], time_text = fields[1], grade_text = fields[2];
    if (item.empty()) return std::string("ITEM が空です");
    const auto time = ParseTime(time_text);
    if (!time) {
      return "TIME は 2026-12-01T08:30:00Z の形の UTC の日時です: " + std::string(time_text);
    }
    if (grade_text.size() != 1 || grade_text[0] < '1' || grade_text[0] > '4') {
      return "GRADE は 1、2、3、4 のどれかです: " + std::string(grade_text);
    }
    const auto grade = static_cast<Grade>(grade_text[0] - '0');
    auto [entry, first] = items_.try_emplace(std::string(item));
    std::optional<MemoryState> previous;
    if (!first) previous = entry->second.state;
    const auto next = scheduler_.Review(previous, grade, *time, 0);
    if (!next.ok()) {
      if (previous && *time < previous->last_review) {
        return "「" + std::string(item) + "」の記録が時刻の順に並んでいません: " +
               std::string(time_text) + " は前の " + entry->second.time + " より前です";
      }
      return next.error().message;
    }
    entry->second.state = *next;
    entry->second.time = time_text;
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, ",%.6f,%.6f,%d\n", next->stability, next->difficulty,
                  static_cast<int>(scheduler_.IntervalDays(next->stability)));
    std::cout << line << numbers;
    return std::nullopt;
  }

  int Bad(std::size_t number, const std::string& problem) {
    std::cout.flush();
    std::cerr << kName << ": " << source_ << ':' << number << ": " << problem << '\n';
    return kFailed;
  }

  const Scheduler& scheduler_;
  std::string source_;
  std::unordered_map<std::string, ItemHistory> items_;
};

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::optional<double> retention;
  std::optional<std::string> file;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return kOk;
    }
    if (arg == "--version") {
      std::cout << kName << ' ' << REKENDO_VERSION << '\n';
      return kOk;
    }
    if (arg == "--retention" || arg.starts_with("--retention=")) {
      std::string_view value;
      if (arg == "--retention") {
        if (i + 1 == argc) return UsageError("--retention の後に値がありません");
        value = argv[++i];
      } else {
        value = arg.substr(std::string_view("--retention=").size());
      }
      double number = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
      if (error != std::errc() || end != value.data() + value.size()) {
        return UsageError("--retention は 0.70 から 0.97 までの数です: " + std::string(value));
      }
      retention = number;
      continue;
    }
    if (arg.starts_with("-") && arg != "-") {
      return UsageError("知らないオプションです: " + std::string(arg));
    }
    if (file) return UsageError("読むファイルは一つだけです: " + std::string(arg));
    file = arg;
  }
  const auto scheduler = Scheduler::Create(retention.value_or(kDefaultRetention));
  if (!scheduler.ok()) return UsageError("--retention: " + scheduler.error().message);

  if (!file || *file == "-") return Replay(*scheduler, "標準入力").Run(std::cin);
  std::ifstream in(*file, std::ios::binary);
  if (!in) {
    std::cerr << kName << ": " << *file << ": 開けませんでした\n";
    return kFailed;
  }
  return Replay(*scheduler, *file).Run(in);
}
