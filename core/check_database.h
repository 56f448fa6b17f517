#pragma once
// Checks the database files: walks commdb.dat by the reading rules and
// compares the start of every record with commdb.idx. What it finds is a
// list of findings, records ascending.
#include <cstdint>
#include <string>
#include <vector>

#include "core/database.h"

namespace zenfaro {

enum class FindingKind {
  index,  // commdb.idx does not give the records' starts in commdb.dat
};

// The name of a kind as the command line prints it ("index").
const char* finding_kind_name(FindingKind kind);

struct Finding {
  FindingKind kind = FindingKind::index;
  std::int64_t record = 0;  // the record it is about, from 1 (0: the database as a whole)
  std::string text;         // what is wrong, as a sentence without its full stop
};

struct DatabaseCheck {
  std::int64_t records_walked = 0;  // records found by walking the data file
  std::int64_t index_fields = 0;    // fields in the index file
  std::vector<Finding> findings;    // empty when nothing is wrong
};

// Walks the data file of `db` (as loaded by load_index) and compares the
// start of every record with the index file's fields: at most one index
// finding, for the first record whose start differs. A read error is stored
// in `*error` when given.
DatabaseCheck check_database(const Database& db, Status* error = nullptr);

}  // namespace zenfaro
