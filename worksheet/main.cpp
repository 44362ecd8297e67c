// rekendo-sheet: a worksheet with its answer key as a PDF, from a problem file, a generated
// topic or 百ます計算. Runs without a display.
#include <sys/stat.h>

#include <QGuiApplication>
#include <chrono>
#include <iostream>
#include <variant>

#include "sheet_command_line.h"
#include "sheet_pdf.h"

namespace {

using namespace rekendo::worksheet;

constexpr int kOk = 0;
constexpr int kFailed = 2;

int Fail(const rekendo::Error& error) {
  std::cerr << "rekendo-sheet: ";
  if (!error.subject.empty()) std::cerr << error.subject << ": ";
  std::cerr << error.message << '\n';
  if (!error.detail.empty()) std::cerr << "（詳細: " << error.detail << "）\n";
  return kFailed;
}

std::uint64_t ClockSeed() {
  // Short enough to copy from the sheet's corner.
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(
             std::chrono::duration_cast<std::chrono::microseconds>(now).count()) %
         1000000000ULL;
}

// Standard error is for the teacher's Japanese messages: Qt's own notes (a missing
// XDG_RUNTIME_DIR, font configuration) are left out unless they are critical.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::cerr << "rekendo-sheet: Qt: " << message.toStdString() << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed =
      ParseSheetCommandLine({argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)});
  if (const auto* error = std::get_if<SheetUsageError>(&parsed)) {
    std::cerr << "rekendo-sheet: " << error->message << "\n詳しくは rekendo-sheet --help\n";
    return kFailed;
  }
  SheetOptions options = std::get<SheetOptions>(parsed);
  if (options.help) {
    std::cout << kSheetUsage;
    return kOk;
  }
  if (options.version) {
    std::cout << "rekendo-sheet " << REKENDO_VERSION << '\n';
    return kOk;
  }
  if (!options.seed_given) options.request.seed = ClockSeed();
  struct stat existing {};
  if (!options.force && ::lstat(options.output.c_str(), &existing) == 0) {
    return Fail({rekendo::ErrorCode::kInvalidInput,
                 "もうあるファイルです。置き換えるには --force を付けてください。", options.output,
                 {}});
  }

  qInstallMessageHandler(QtMessages);
  // Fonts need a QGuiApplication, and a sheet needs no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qt_argc = 1;
  char* qt_argv[] = {argv[0], nullptr};
  QGuiApplication application(qt_argc, qt_argv);

  const auto made = MakeSheetPdf(options.request, options.output,
                                 options.force ? Existing::kReplace : Existing::kKeep);
  if (!made) return Fail(made.error());
  if (options.request.key == KeyPlacement::kSeparate) {
    std::cout << options.output << ": " << made->sheet << " ページ、解答 "
              << KeyPathFor(options.output) << ": " << made->key << " ページ、シード "
              << options.request.seed << '\n';
  } else {
    std::cout << options.output << ": " << made->total() << " ページ（問題 " << made->sheet
              << "、解答 " << made->key << "）、シード " << options.request.seed << '\n';
  }
  return kOk;
}
