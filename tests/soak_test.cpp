// Ten thousand random sessions through the drill: random small files (hostile bytes among
// them), presses, ticks, loads and cancels, with every invariant checked after every step.
// Seeded, so a failure names the seed and step that replay it.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "drill_session.h"
#include "keypad_table.h"

namespace rekendo {
namespace {

using testing::DrillSession;
using testing::Pick;

constexpr int kSessions = 10000;

std::vector<std::string> Fragments() {
  std::vector<std::string> pieces;
  for (const KeyDef& key : kKeypad) {
    if (key.role == KeyRole::Character) pieces.emplace_back(key.sjis);
  }
  // Choice marks and bytes a hand-written file may hold: Ctrl-Z, a lone CR, NUL, a lead byte
  // with no trail, bytes CP932 lacks, a UTF-8 byte-order mark, plain ASCII.
  for (const char* odd : {"$", "$", "\x1A", "\r", "\x82", "\xFF", "\xA0", "\xEF\xBB\xBF", "q"}) {
    pieces.emplace_back(odd);
  }
  pieces.emplace_back(1, '\0');
  return pieces;
}

class RandomSession {
 public:
  explicit RandomSession(std::uint32_t seed) : random_(seed), session_(random_()) {}

  // Plays one session; false at the first broken rule.
  bool Play() {
    if (Below(10) == 0) LoadData();
    session_.ChooseProblemFile(Pick::Memory, File(Below(200) == 0 ? 1003 : 1 + Below(6)), 0);
    const int steps = 30 + Below(60);
    for (step_ = 0; step_ < steps && session_.ok(); ++step_) Step();
    return session_.ok();
  }
  std::string Failure() const { return session_.violation() + " at step " + std::to_string(step_); }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  std::string Line() {
    static const std::vector<std::string> fragments = Fragments();
    const auto fragment = [&] { return fragments[Below(static_cast<int>(fragments.size()))]; };
    std::string line;
    if (Below(40) == 0) {
      // More choices than a question can show.
      line = fragment();
      for (int n = 10 + Below(5); n > 0; --n) line += "$" + fragment();
      return line;
    }
    for (int n = Below(5); n > 0; --n) line += fragment();
    return line;
  }
  // `pairs` question and answer lines; the last terminator is sometimes missing.
  std::string File(int pairs) {
    std::string file;
    for (int i = 0; i < 2 * pairs; ++i) {
      file += Line();
      const int end = Below(8);
      if (i + 1 == 2 * pairs && end == 0) break;
      file += end == 1 ? "\n" : "\r\n";
    }
    return file;
  }

  void LoadData() {
    const bool missing = Below(6) == 0;
    session_.LoadData(File(6), File(Below(200) == 0 ? 503 : Below(5)), missing);
  }

  // Loads are the costly steps (every open allocates the reader's buffer), so they are rare
  // and a session mostly plays.
  void Step() {
    const int roll = Below(1000);
    if (roll < 4) {
      session_.ChooseProblemFile(Pick::Memory, File(1 + Below(6)), Below(45));
    } else if (roll < 14) {
      session_.ChooseProblemFile(static_cast<Pick>(1 + Below(testing::kPickCount - 1)), {},
                                 Below(45));
    } else if (roll < 22) {
      session_.CancelDialog(Below(45));
    } else if (roll < 24) {
      LoadData();
    } else if (roll < 54) {
      session_.Start();
    } else if (roll < 274) {
      session_.Next();
    } else if (roll < 394) {
      session_.Type(kKeypad[Below(kKeyCount)].sjis);
    } else if (roll < 544) {
      if (Below(2) == 0) session_.Clear();
      session_.TypeAcceptedAnswer(Below(4));
    } else if (roll < 574) {
      session_.Clear();
    } else if (roll < 754) {
      session_.Submit();
    } else {
      session_.Ticks(1 + Below(45));
    }
  }

  std::mt19937 random_;
  DrillSession session_;
  int step_ = 0;
};

TEST(Soak, TenThousandRandomSessionsKeepEveryInvariant) {
  for (std::uint32_t seed = 0; seed < kSessions; ++seed) {
    RandomSession session(seed);
    ASSERT_TRUE(session.Play()) << "seed " << seed << ": " << session.Failure();
  }
}

}  // namespace
}  // namespace rekendo
