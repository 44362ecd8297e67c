// rekendo-record-snapshot DATA_FOLDER OUT_PNG
// Plays a made-up week of rounds on two of the sample problem files through the recorder,
// into a scratch record, then renders the 成績 window offscreen and saves it as PNG.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "record_window.h"
#include "drill.h"
#include "round_recorder.h"
#include "sha256.h"

namespace {

using rekendo::QuestionKind;
using rekendo::QuestionOutcome;

struct Pair {
  std::string text;
  std::string accepted;
};

std::vector<Pair> ReadPairs(const QString& path) {
  QFile file(path);
  std::vector<Pair> pairs;
  if (!file.open(QIODevice::ReadOnly)) return pairs;
  const QList<QByteArray> lines = file.readAll().split('\n');
  for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
    pairs.push_back({lines[i].trimmed().toStdString(), lines[i + 1].trimmed().toStdString()});
  }
  return pairs;
}

// A small fixed generator: the same picture every time.
class Dice {
 public:
  int Below(int n) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int>((state_ >> 33) % static_cast<unsigned>(n));
  }

 private:
  unsigned long long state_ = 20261208;
};

// A learner who gets better over the week, and always finds a few problems hard.
void PlayWeek(rekendo::record::RoundRecorder& recorder, const QString& path,
              const std::vector<Pair>& pairs, int rounds, Dice& dice) {
  QFile file(path);
  const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  rekendo::Sha256 digest;
  digest.Add({bytes.constData(), static_cast<std::size_t>(bytes.size())});
  recorder.ProblemFileLoaded(
      {QFile::encodeName(path).toStdString(), static_cast<int>(pairs.size()), digest.HexDigest()});
  for (int round = 0; round < rounds; ++round) {
    // The last two rounds with 80 seconds a question: the window counts them apart.
    recorder.RoundStarted({round >= rounds - 2 ? 80 : rekendo::kTicksPerQuestion});
    int score = 0;
    for (int number = 1; number <= 10; ++number) {
      const int index = dice.Below(static_cast<int>(pairs.size()));
      recorder.QuestionAsked({number, QuestionKind::kProblem, index + 1, pairs[index].text,
                              pairs[index].accepted});
      const bool hard = index % 5 == 3;
      const bool right = dice.Below(100) < (hard ? 25 : 45 + round * 40 / rounds);
      const bool left = !right && dice.Below(4) == 0;
      score += right ? 10 : 0;
      recorder.QuestionClosed({number,
                               right  ? QuestionOutcome::kRight
                               : left ? QuestionOutcome::kLeft
                                      : QuestionOutcome::kWrongAtTimeUp,
                               right ? pairs[index].accepted : std::string(), dice.Below(2),
                               right ? 5 + dice.Below(20) : 40});
    }
    recorder.RoundEnded(rekendo::RoundEnd::kFinished, score, score / 10);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: rekendo-record-snapshot DATA_FOLDER OUT_PNG\n", stderr);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  const QDir data(QString::fromLocal8Bit(argv[1]));
  const QString out = QString::fromLocal8Bit(argv[2]);
  QTemporaryDir scratch;

  rekendo::record::Record record(scratch.path());
  {
    // A week ago until now, a round every few hours.
    qint64 now = QDateTime::currentMSecsSinceEpoch() - 7LL * 24 * 3600 * 1000;
    rekendo::record::RoundRecorder recorder(record, [&now] { return now += 47 * 60 * 1000; });
    Dice dice;
    const QString algebra = data.filePath(QStringLiteral("一次方程式.mon"));
    const QString mental = data.filePath(QStringLiteral("暗算（四則計算）.mon"));
    for (const auto& [path, rounds] : {std::pair{algebra, 4}, std::pair{mental, 16}}) {
      const std::vector<Pair> pairs = ReadPairs(path);
      if (pairs.empty()) {
        std::fprintf(stderr, "cannot read problems from %s\n", qPrintable(path));
        return 1;
      }
      PlayWeek(recorder, path, pairs, rounds, dice);
    }
  }
  if (record.Error()) {
    std::fprintf(stderr, "%s\n", record.Error()->Describe().c_str());
    return 1;
  }
  rekendo::record::RecordWindow window(record);
  window.show();
  QApplication::processEvents();
  if (!window.grab().save(out)) {
    std::fprintf(stderr, "could not write %s\n", qPrintable(out));
    return 1;
  }
  return 0;
}
