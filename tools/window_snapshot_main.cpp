// rekendo-snapshot [--screen WxH | --fill WxH] [--time-limit N] [--question-as NAME]
//                  DATA_FOLDER PROBLEM_FILE OUT_FOLDER
// Renders the window offscreen in a few states of one scripted round and saves them as PNG:
// just opened, a question with a typed answer and the bar part-way, the answer revealed,
// and the end of the round. --screen fits the window to a screen with that free area, --fill
// fills it (拡大); --time-limit plays N seconds a question (0: no limit);
// --question-as saves only the question, under NAME. Under QT_SCALE_FACTOR the pictures
// come out at that many device pixels per pixel.
#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "main_window.h"
#include "main_window_peer.h"

namespace {

struct Options {
  rekendo::Scale scale;
  QString question_as;  // empty: every state under its own name
  std::optional<int> time_limit = rekendo::kTicksPerQuestion;
  QStringList folders;  // data, problem file, output
};

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const bool has_value = i + 1 < argc;
    if (std::strcmp(argv[i], "--screen") == 0 && has_value) {
      const QStringList size = QString::fromLocal8Bit(argv[++i]).split(QLatin1Char('x'));
      if (size.size() != 2) return std::nullopt;
      options.scale = rekendo::Scale::ToFit({size[0].toInt(), size[1].toInt()});
    } else if (std::strcmp(argv[i], "--fill") == 0 && has_value) {
      const QStringList size = QString::fromLocal8Bit(argv[++i]).split(QLatin1Char('x'));
      if (size.size() != 2) return std::nullopt;
      options.scale = rekendo::Scale::ToFill({size[0].toInt(), size[1].toInt()});
    } else if (std::strcmp(argv[i], "--time-limit") == 0 && has_value) {
      const int seconds = std::atoi(argv[++i]);
      options.time_limit = seconds > 0 ? std::optional<int>(seconds) : std::nullopt;
    } else if (std::strcmp(argv[i], "--question-as") == 0 && has_value) {
      options.question_as = QString::fromLocal8Bit(argv[++i]);
    } else {
      options.folders << QString::fromLocal8Bit(argv[i]);
    }
  }
  if (options.folders.size() != 3) return std::nullopt;
  return options;
}

void Save(rekendo::MainWindow& form, const QString& folder, const QString& name) {
  QApplication::processEvents();
  const QString path = QDir(folder).filePath(name);
  if (!form.grab().save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

void Press(rekendo::MainWindow& form, const char* object_name) {
  form.findChild<QPushButton*>(QString::fromLatin1(object_name))->click();
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) {
    std::fputs(
        "usage: rekendo-snapshot [--screen WxH | --fill WxH] [--time-limit N] "
        "[--question-as NAME] DATA_FOLDER "
        "PROBLEM_FILE OUT_FOLDER\n",
        stderr);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  const QString out = QDir(options->folders[2]).absolutePath();
  const std::string problems = QDir(options->folders[1]).absolutePath().toStdString();
  QDir().mkpath(out);
  QDir::setCurrent(options->folders[0]);
  // Every state, or only the question under the name asked for.
  const auto save = [&](rekendo::MainWindow& form, const char* state) {
    if (options->question_as.isEmpty()) {
      Save(form, out, QString::fromLatin1(state) + QStringLiteral(".png"));
    } else if (std::strcmp(state, "question") == 0) {
      Save(form, out, options->question_as);
    }
  };

  rekendo::MainWindow form(options->scale);
  form.SetErrorReporter([](std::string_view) { std::fputs("a data file failed\n", stderr); });
  form.SetFileChooser([&] { return std::optional<std::string>(problems); });
  // The program gives the band's buttons their work; here they only show.
  form.SetBandAction(rekendo::Command::kRecord, [] {});
  form.SetBandAction(rekendo::Command::kGenerate, [] {});
  form.SetBandAction(rekendo::Command::kPrint, [] {});
  form.SetBandAction(rekendo::Command::kSettings, [] {});
  form.SetBandAction(rekendo::Command::kPractice, [] {});
  form.SetBandAction(rekendo::Command::kLearners, [] {});
  form.SetTimeLimit(options->time_limit);
  form.show();
  form.activateWindow();
  QApplication::processEvents();
  rekendo::MainWindowPeer peer(form);
  peer.drill().SetRandomState(20261207);  // the same round every time
  save(form, "opened");

  Press(form, "chooseFileButton");
  Press(form, "startButton");
  for (int tick = 0; tick < 12; ++tick) peer.Tick();
  Press(form, "key1");
  Press(form, "key2");
  save(form, "question");

  Press(form, "submitKey");
  for (int tick = 0; tick < 40 && peer.Timer().isActive(); ++tick) peer.Tick();
  save(form, "revealed");

  for (int question = 2; question <= 11; ++question) {
    Press(form, "nextButton");
    if (question % 3 == 0) {
      // Type the first accepted answer, as the keypad would.
      const std::string accepted = peer.drill().Snapshot().accepted_answer;
      peer.drill().AppendKey(accepted.substr(0, accepted.find('$')));
      Press(form, "submitKey");
    }
  }
  save(form, "round-over");
  return 0;
}
