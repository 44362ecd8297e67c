#include <QCoreApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "class_cli.h"
#include "lsan_suppressions.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& arg : args) {
    if (arg == "--version") {
      std::cout << "rekendo-class " << REKENDO_VERSION << "\n";
      return 0;
    }
  }
  const char* env = std::getenv("REKENDO_CLASS");
  return rekendo::classroom::RunClassCli(args, env ? env : "", std::cout, std::cerr);
}
