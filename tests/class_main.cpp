// main() for the class tests: an application object for Qt SQL, and the scratch server
// stopped after the last test (a crash is covered by the cluster's own watcher).
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "class_support.h"
#include "lsan_suppressions.h"

namespace {

class StopServer : public ::testing::Environment {
 public:
  void TearDown() override { rekendo::classroom::testing::ClassServer::Shutdown(); }
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new StopServer);
  return RUN_ALL_TESTS();
}
