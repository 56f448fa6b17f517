#pragma once
// The expansion of parenthesised alternatives: every entry of a list that
// holds a group "(...)" with its closing parenthesis is replaced by one
// entry per comma-separated alternative of the group, outer groups first,
// until no entry holds such a group. "The (quick,slow) fox" becomes "The
// quick fox" and "The slow fox"; "a (,very) big goal" becomes "a big goal"
// and "a very big goal".
#include <cstddef>
#include <string_view>
#include <vector>

#include "editor/working_list.h"

namespace zenfaro {

// Expands every entry of `list` in passes: each pass looks at the positions
// that existed when it started, and a new pass runs while one changes
// something. Returns false, leaving `list` part-way expanded, when the list
// would come to hold more than `max_entries` entries; the caller keeps a copy
// to restore.
bool expand_alternatives(WorkingList& list, std::size_t max_entries);

// Whether `entry` holds a group "(...)" with its closing parenthesis, which
// an add expands.
bool holds_group(std::string_view entry);

// The number of entries `entry` expands into, found without making them:
// at most `limit` + 1 (a result above `limit` means "more than limit"). An
// entry without a closed group counts 1.
std::size_t count_expansion(std::string_view entry, std::size_t limit);

// The entries `entry` alone expands into, in the order in which the
// commentary list (which appends) gets them: what expand_alternatives leaves
// in an unsorted list that held only `entry`, in time proportional to the
// entries made. Nothing when they would be more than `limit`.
std::vector<Entry> expand_entry(std::string_view entry, std::size_t limit);

}  // namespace zenfaro
