#pragma once
// The expansion of parenthesised alternatives: every entry of a list that
// holds a group "(...)" with its closing parenthesis is replaced by one
// entry per comma-separated alternative of the group, outer groups first,
// until no entry holds such a group. "The (quick,slow) fox" becomes "The
// quick fox" and "The slow fox"; "a (,very) big goal" becomes "a big goal"
// and "a very big goal".
#include <cstddef>

#include "editor/working_list.h"

namespace zenfaro {

// Expands every entry of `list` in passes: each pass looks at the positions
// that existed when it started, and a new pass runs while one changes
// something. Returns false, leaving `list` part-way expanded, when the list
// would come to hold more than `max_entries` entries; the caller keeps a copy
// to restore.
bool expand_alternatives(WorkingList& list, std::size_t max_entries);

}  // namespace zenfaro
