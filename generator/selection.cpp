#include "selection.h"

#include <algorithm>
#include <unordered_set>

#include "random.h"

namespace rekendo::generator {

namespace {

// Forms weigh by their size up to this many problems, then all the same.
constexpr std::uint64_t kWeightCap = 1000;

std::vector<std::uint64_t> FormSizes(std::span<const Form> forms) {
  std::vector<std::uint64_t> sizes;
  Problem scratch;
  for (Form form : forms) {
    Picker counter = Picker::Counting();
    form(counter, scratch);
    sizes.push_back(counter.count());
  }
  return sizes;
}

Problem Make(Form form, std::uint64_t index) {
  Problem problem;
  Picker picker(index);
  form(picker, problem);
  return problem;
}

// Nearly every problem is wanted: shuffle them all and take the first `count`.
std::vector<Problem> DrawDense(std::span<const Form> forms, const std::vector<std::uint64_t>& sizes,
                               std::uint64_t total, int count, Random& random) {
  std::vector<std::pair<std::size_t, std::uint64_t>> all;
  all.reserve(total);
  for (std::size_t f = 0; f < forms.size(); ++f) {
    for (std::uint64_t i = 0; i < sizes[f]; ++i) all.emplace_back(f, i);
  }
  std::vector<Problem> problems;
  for (std::size_t n = 0; n < static_cast<std::size_t>(count); ++n) {
    std::swap(all[n], all[n + random.Below(all.size() - n)]);
    problems.push_back(Make(forms[all[n].first], all[n].second));
  }
  return problems;
}

// Few of many: draw a form by weight, then a problem of it, skipping ones already drawn.
std::vector<Problem> DrawSparse(std::span<const Form> forms,
                                const std::vector<std::uint64_t>& sizes, int count,
                                Random& random) {
  std::vector<std::uint64_t> weights;
  std::vector<std::uint64_t> offsets;
  std::uint64_t offset = 0;
  for (std::uint64_t size : sizes) {
    weights.push_back(std::min(size, kWeightCap));
    offsets.push_back(offset);
    offset += size;
  }
  std::vector<std::uint64_t> drawn_of(forms.size(), 0);
  std::unordered_set<std::uint64_t> drawn;
  std::vector<Problem> problems;
  problems.reserve(static_cast<std::size_t>(count));
  while (problems.size() < static_cast<std::size_t>(count)) {
    std::uint64_t total_weight = 0;
    for (std::uint64_t w : weights) total_weight += w;
    std::uint64_t pick = random.Below(total_weight);
    std::size_t f = 0;
    while (pick >= weights[f]) pick -= weights[f++];
    const std::uint64_t index = random.Below(sizes[f]);
    if (!drawn.insert(offsets[f] + index).second) continue;
    problems.push_back(Make(forms[f], index));
    if (++drawn_of[f] == sizes[f]) weights[f] = 0;
  }
  return problems;
}

// Each topic and level draws its own sequence from a seed, so the expansion set and the
// factoring set made with one seed are not each other's answers.
std::uint64_t MixSeed(std::uint64_t seed, const Topic& topic, int level) {
  std::uint64_t hash = 0xCBF29CE484222325ULL;  // FNV-1a
  for (const char c : topic.name) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
  hash = (hash ^ static_cast<std::uint64_t>(level)) * 0x100000001B3ULL;
  return seed ^ hash;
}

}  // namespace

std::uint64_t Available(const Topic& topic, int level) {
  std::uint64_t total = 0;
  for (std::uint64_t size : FormSizes(topic.levels[static_cast<std::size_t>(level - 1)])) {
    total += size;
  }
  return total;
}

std::vector<Problem> DrawProblems(const Topic& topic, int level, int count, std::uint64_t seed) {
  const std::span<const Form> forms = topic.levels[static_cast<std::size_t>(level - 1)];
  const std::vector<std::uint64_t> sizes = FormSizes(forms);
  std::uint64_t total = 0;
  for (std::uint64_t size : sizes) total += size;
  Random random(MixSeed(seed, topic, level));
  if (static_cast<std::uint64_t>(count) * 2 > total) {
    return DrawDense(forms, sizes, total, count, random);
  }
  return DrawSparse(forms, sizes, count, random);
}

}  // namespace rekendo::generator
