#pragma once
// The check of a database before it is used or shared: the index against the
// data file (core/check_database.h) and, in the same walk of the data file,
// the records' contents. Each finding names its record and, where it is
// about one, the list and the entry's display position (the position that
// the window shows and that find, show, modify and remove use):
//  - damaged: a list longer than a list can hold (the record is shown empty
//    and kept from edits), a record that the data file ends inside (its
//    missing lines read as empty), an entry that the next save would cut
//    (longer than 4999 bytes, or holding a NUL byte);
//  - same-identity: a record whose triggers and exclusion triggers the import
//    takes for those of an earlier record (equal trigger fingerprints), so
//    that an import extends only the earlier one;
//  - duplicate-entry: an entry equal, byte for byte, to an earlier one of its
//    list;
//  - empty-record: all three lists empty;
//  - blanks: an entry that begins or ends with spaces or tabs.
// Findings come records ascending; within a record those about the whole
// record first, then by list and position.
//
// Memory stays bounded: one record at a time, and for the same-identity
// check 16 bytes per record (its trigger fingerprint and a 64-bit hash of
// its two trigger lists, which tells lists that are equal from lists that
// only fingerprint alike), for the records an index can hold.
#include <functional>
#include <set>

#include "core/check_database.h"

namespace zenfaro {

// The kinds to look for; an empty set stands for every kind.
using FindingKinds = std::set<FindingKind>;

// Checks the database of `db` for the findings of `kinds`, handing each to
// `found` as it is made. Returns what check_database returns (the walk's
// figures and the index findings). A read error is stored in `*error`.
DatabaseCheck check_records(const Database& db, const FindingKinds& kinds,
                            const std::function<void(const Finding&)>& found, Status* error = nullptr);

}  // namespace zenfaro
