// Random numbers and letters. Only the ranges and the letter modes are relied upon, so a
// per-thread Mersenne Twister seeded once from the system's random device stands in for the
// original's time-stamp counter.
#include "text/random_text.h"

#include <random>

namespace fotolun {
namespace {

std::mt19937& Generator() {
  thread_local std::mt19937 generator{std::random_device{}()};
  return generator;
}

}  // namespace

int RandomInRange(int low, int high) {
  if (high < low) return 0;
  std::uniform_int_distribution<int> distribution(low, high);
  return distribution(Generator());
}

Text RandomLetters(int count, int mode) {
  Text out;
  for (int i = 0; i < count; ++i) {
    bool upper = mode == 1;
    if (mode != 0 && mode != 1) upper = RandomInRange(1, 2) != 1;
    out.push_back(static_cast<char>(upper ? RandomInRange('A', 'Z') : RandomInRange('a', 'z')));
  }
  return out;
}

}  // namespace fotolun
