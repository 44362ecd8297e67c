// rekendo-text-window: the floor for any window that shows the drill's text. The bare
// window plus one label of Japanese text in the form's Gothic face: what the font system
// costs (fontconfig, the font files, text shaping) before the drill does anything.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "first_activation.h"
#include "fonts.h"
#include "ready_signal.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  rekendo::bench::FirstActivation<QWidget> window;
  window.resize(1024, 768);
  QLabel label(QStringLiteral("問題１　ｘ＋５＝１２ のとき、ｘ の値は？"), &window);
  label.setFont(rekendo::MakeFont({rekendo::Face::Gothic, 12}));
  label.adjustSize();
  window.OnFirstActivation([] {
    rekendo::bench::SignalReady();
    QCoreApplication::quit();
  });
  window.ShowActive();
  return QApplication::exec();
}
