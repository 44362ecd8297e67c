// rekendo-bare-window: the floor for start-up time and memory, a bare Qt window of the
// drill's size that ends at its first activation, as rekendo-start-probe does.
#include <QApplication>
#include <QWidget>

#include "first_activation.h"
#include "ready_signal.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  rekendo::bench::FirstActivation<QWidget> window;
  window.resize(1024, 768);
  window.OnFirstActivation([] {
    rekendo::bench::SignalReady();
    QCoreApplication::quit();
  });
  window.ShowActive();
  return QApplication::exec();
}
