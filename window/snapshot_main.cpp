// rekendo-snapshot DATA_FOLDER PROBLEM_FILE OUT_FOLDER
// Renders the window offscreen in a few states of one scripted round and saves them as PNG:
// just opened, a question with a typed answer and the bar part-way, the answer revealed,
// and the end of the round.
#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <cstdio>

#include "main_window.h"
#include "main_window_peer.h"

namespace {

void Save(rekendo::MainWindow& form, const QString& folder, const char* name) {
  QApplication::processEvents();
  const QString path = QDir(folder).filePath(QString::fromLatin1(name));
  if (!form.grab().save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

void Press(rekendo::MainWindow& form, const char* object_name) {
  form.findChild<QPushButton*>(QString::fromLatin1(object_name))->click();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: rekendo-snapshot DATA_FOLDER PROBLEM_FILE OUT_FOLDER\n", stderr);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  const QString out = QDir(QString::fromLocal8Bit(argv[3])).absolutePath();
  const std::string problems = QDir(QString::fromLocal8Bit(argv[2])).absolutePath().toStdString();
  QDir().mkpath(out);
  QDir::setCurrent(QString::fromLocal8Bit(argv[1]));

  rekendo::MainWindow form;
  form.SetErrorReporter([](std::string_view) { std::fputs("a data file failed\n", stderr); });
  form.SetFileChooser([&] { return std::optional<std::string>(problems); });
  form.show();
  form.activateWindow();
  QApplication::processEvents();
  rekendo::MainWindowPeer peer(form);
  peer.drill().SetRandomState(20261207);  // the same round every time
  Save(form, out, "opened.png");

  Press(form, "chooseFileButton");
  Press(form, "startButton");
  for (int tick = 0; tick < 12; ++tick) peer.Tick();
  Press(form, "key1");
  Press(form, "key2");
  Save(form, out, "question.png");

  Press(form, "submitKey");
  for (int tick = 0; tick < 40 && peer.Timer().isActive(); ++tick) peer.Tick();
  Save(form, out, "revealed.png");

  for (int question = 2; question <= 11; ++question) {
    Press(form, "nextButton");
    if (question % 3 == 0) {
      // Type the first accepted answer, as the keypad would.
      const std::string accepted = peer.drill().Snapshot().accepted_answer;
      peer.drill().AppendKey(accepted.substr(0, accepted.find('$')));
      Press(form, "submitKey");
    }
  }
  Save(form, out, "round-over.png");
  return 0;
}
