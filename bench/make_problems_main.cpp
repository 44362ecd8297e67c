// rekendo-make-problems PATH PAIRS: writes a generated problem file for the probes.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "sample_files.h"
#include "scratch_dir.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: rekendo-make-problems PATH PAIRS\n", stderr);
    return 2;
  }
  try {
    rekendo::bench::WriteFile(argv[1], rekendo::bench::ProblemFileBytes(std::atoi(argv[2])));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "rekendo-make-problems: %s\n", error.what());
    return 1;
  }
  return 0;
}
