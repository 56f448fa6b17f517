#pragma once
// Compares commdb.idx with a walk of commdb.dat by the reading rules.
#include <cstdint>
#include <string>

#include "core/database.h"

namespace zenfaro {

struct IndexCheck {
  bool matches = false;
  std::int64_t records_walked = 0;  // records found by walking the data file
  std::int64_t index_fields = 0;    // fields in the index file
  std::string first_mismatch;       // empty when they match
};

// Walks the data file of `db` (as loaded by load_index) and compares the
// start of every record with the index file's fields.
IndexCheck check_database(const Database& db, Status* error = nullptr);

}  // namespace zenfaro
