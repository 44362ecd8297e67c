// main() for the class tests that drive the window: offscreen, Fusion, one QApplication, and
// the scratch server stopped after the last test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

#include "class_support.h"
#include "lsan_suppressions.h"

namespace {

class StopServer : public ::testing::Environment {
 public:
  void TearDown() override { rekendo::classroom::testing::ClassServer::Shutdown(); }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new StopServer);
  return RUN_ALL_TESTS();
}
