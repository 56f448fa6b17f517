#include "model/working_list.h"

#include <algorithm>

#include "model/collation.h"

namespace zenfaro {

std::size_t WorkingList::insert(Entry entry) {
  auto place = entries_.end();
  if (sorted_) {
    place = std::upper_bound(entries_.begin(), entries_.end(), entry, [](const Entry& a, const Entry& b) {
      return compare_ignoring_case(a, b) < 0;
    });
  }
  return static_cast<std::size_t>(entries_.insert(place, std::move(entry)) - entries_.begin());
}

}  // namespace zenfaro
