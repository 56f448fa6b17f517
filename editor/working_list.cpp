#include "editor/working_list.h"

#include <algorithm>

#include "editor/collation.h"

namespace zenfaro {

namespace {

bool before(const Entry& a, const Entry& b) { return compare_ignoring_case(a, b) < 0; }

}  // namespace

std::size_t WorkingList::insert(Entry entry) {
  // After the entries that compare equal to it, as a stable sort puts it.
  const auto place = sorted_ ? std::upper_bound(entries_.begin(), entries_.end(), entry, before) : entries_.end();
  return static_cast<std::size_t>(entries_.insert(place, std::move(entry)) - entries_.begin());
}

void WorkingList::assign(EntryList entries) {
  entries_ = std::move(entries);
  if (sorted_) std::stable_sort(entries_.begin(), entries_.end(), before);
}

}  // namespace zenfaro
