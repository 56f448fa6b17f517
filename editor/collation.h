#pragma once
// The order of the two sorted trigger lists: ascending by Windows-1252
// bytes with letter case ignored (A-Z, and the accented capitals of
// Windows-1252, compare as their small letters).
#include <string_view>

namespace zenfaro {

// Negative, zero or positive as `a` sorts before, together with or after `b`.
int compare_ignoring_case(std::string_view a, std::string_view b);

// The byte that `c` compares as: its small letter, or `c` itself.
unsigned char fold_case(unsigned char c);

}  // namespace zenfaro
