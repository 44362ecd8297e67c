#include "random_source.h"

#include <chrono>

namespace rekendo {

std::uint32_t RandomSource::MillisecondsSinceUtcMidnight() {
  using namespace std::chrono;
  const auto now = time_point_cast<milliseconds>(system_clock::now());
  const auto since_midnight = now - floor<days>(now);
  return static_cast<std::uint32_t>(since_midnight.count());
}

}  // namespace rekendo
