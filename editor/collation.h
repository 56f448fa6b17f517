#pragma once
// The order of the two sorted trigger lists: ascending by Windows-1252
// bytes with letter case ignored (A-Z, and the accented capitals of
// Windows-1252, compare as their small letters).
#include <cstddef>
#include <string_view>
#include <vector>

#include "core/record.h"

namespace zenfaro {

// Negative, zero or positive as `a` sorts before, together with or after `b`.
int compare_ignoring_case(std::string_view a, std::string_view b);

// The byte that `c` compares as: its small letter, or `c` itself.
unsigned char fold_case(unsigned char c);

// The stored positions of `entries` in the order a sorted list shows them:
// a stable sort, letter case ignored, so equal entries keep their order.
std::vector<std::size_t> sorted_order(const EntryList& entries);

}  // namespace zenfaro
