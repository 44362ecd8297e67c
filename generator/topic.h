// What a topic is: a name to type, a Japanese name to show, and three levels, each a list
// of problem forms.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "picker.h"

namespace rekendo::generator {

// One problem in UTF-8: its text and every answer a learner may fairly type, the usual one
// first.
struct Problem {
  std::string text;
  std::vector<std::string> answers;
};

// Makes the problem its picker's index names.
using Form = void (*)(Picker&, Problem&);

inline constexpr int kLevelCount = 3;

struct Topic {
  std::string_view name;           // typed on the command line
  std::string_view japanese_name;  // shown to the teacher
  std::string_view note;           // a convention the answers follow, or empty
  std::array<std::span<const Form>, kLevelCount> levels;
};

}  // namespace rekendo::generator
