// The topics a problem set can be made of, in the order teachers see them.
#pragma once

#include <span>
#include <string_view>

#include "topic.h"

namespace rekendo::generator {

std::span<const Topic* const> Topics();
// The topic typed as `name` on the command line, or nullptr.
const Topic* FindTopic(std::string_view name);

}  // namespace rekendo::generator
