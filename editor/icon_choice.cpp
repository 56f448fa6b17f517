#include "editor/icon_choice.h"

#include <chrono>

namespace zenfaro {

int IconChooser::next() {
  const double unit = std::generate_canonical<double, 32>(generator_);
  // generate_canonical may round up to exactly 1.0 on some libraries.
  const int choice = static_cast<int>(unit * 2.0 + 1.0);
  return choice > 2 ? 2 : choice;
}

std::uint32_t seed_from_clock() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

}  // namespace zenfaro
