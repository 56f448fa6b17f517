#pragma once
// The choice of the large icon of the main window and the Modify Entry
// dialog: icon 1 or 2 with equal chance, drawn anew each time one of them
// opens, from one generator seeded once at start-up.
#include <cstdint>
#include <random>

namespace zenfaro {

class IconChooser {
 public:
  explicit IconChooser(std::uint32_t seed) : generator_(seed) {}
  // 1 or 2: the integer part of (a number in [0, 1) times 2, plus 1).
  int next();

 private:
  std::mt19937 generator_;
};

// A seed from the time of day, for the generator made at start-up.
std::uint32_t seed_from_clock();

}  // namespace zenfaro
