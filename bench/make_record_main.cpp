// rekendo-make-record FOLDER [ROUNDS]
// Writes a long learning record (100,000 rounds of ten questions unless told) to
// FOLDER/record.sqlite3, to open the 成績 window on.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

#include "record_generator.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("usage: rekendo-make-record FOLDER [ROUNDS]\n", stderr);
    return 2;
  }
  QCoreApplication app(argc, argv);
  rekendo::bench::RecordSize size;
  if (argc == 3) size.rounds = std::atoi(argv[2]);
  QElapsedTimer timer;
  timer.start();
  const QString error = rekendo::bench::MakeBigRecord(QString::fromLocal8Bit(argv[1]), size);
  if (!error.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  std::printf("%d rounds, %d questions in %.1f s\n", size.rounds, size.rounds * 10,
              static_cast<double>(timer.elapsed()) / 1000);
  return 0;
}
