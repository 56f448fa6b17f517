#pragma once
// Checks the database files: walks commdb.dat by the reading rules and
// compares the start of every record with commdb.idx. What it finds is a
// list of findings, records ascending. The walk can also hand every record
// to a reader of its own (the checks of the records' contents), so that the
// whole check reads the data file once.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/database.h"

namespace zenfaro {

// What a check can find. The list is open: a new kind goes before `count`
// and gets its name in finding_kind_name.
enum class FindingKind {
  index,            // commdb.idx does not give the records' starts in commdb.dat
  damaged,          // a record that cannot be read whole, or an entry a save would cut
  same_identity,    // the import takes the record for an earlier one (equal trigger fingerprints)
  duplicate_entry,  // an entry that repeats an earlier one of its list, byte for byte
  empty_record,     // all three lists empty
  blanks,           // an entry that begins or ends with spaces or tabs
  count             // the number of kinds, not a kind
};

// The name of a kind as the command line prints it ("index", "same-identity").
const char* finding_kind_name(FindingKind kind);
// The kind of a name, or nothing when no kind has it.
std::optional<FindingKind> finding_kind_from_name(const std::string& name);

struct Finding {
  FindingKind kind = FindingKind::index;
  std::int64_t record = 0;              // the record it is about, from 1 (0: the database as a whole)
  std::optional<ListKind> list;         // the list it is about, if one
  std::optional<std::size_t> position;  // the entry's display position in that list, if one
  std::string text;                     // what is wrong, as a sentence without its full stop (Windows-1252)
};

struct DatabaseCheck {
  std::int64_t records_walked = 0;  // records found by walking the data file
  std::int64_t index_fields = 0;    // fields in the index file
  std::vector<Finding> findings;    // the index findings; empty when the index is right
};

// What the walk does besides comparing the starts.
struct CheckWalk {
  // Called with each index finding as it is made, in record order: a record's
  // finding comes before `read` is called for it.
  std::function<void(const Finding&)> found;
  // Reads record k whole from `in`, which stands at its start. Without it
  // the record is passed over.
  std::function<void(std::int64_t k, LineReader& in)> read;
};

// Walks the data file of `db` (as loaded by load_index) and compares the
// start of every record with the index file's fields: at most one index
// finding, for the first record whose start differs. A read error is stored
// in `*error` when given.
DatabaseCheck check_database(const Database& db, Status* error = nullptr, const CheckWalk& walk = {});

}  // namespace zenfaro
