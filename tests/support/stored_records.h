#pragma once
// What the tests of two views on one folder share: the records as a fresh view of the folder reads them.
#include <cstdint>
#include <vector>

#include "core/database.h"
#include "core/record_codec.h"
#include "tests/support/database_folder.h"

namespace zenfaro::testing {

using Records = std::vector<Record>;

// Every record of `db`, in one walk.
inline Status read_all(const Database& db, Records* records) {
  records->clear();
  return walk_records(db, 1, db.record_count, [records](std::int32_t, LineReader& in) {
    records->emplace_back();
    return read_record_into(in, &records->back());
  });
}

// The records as another program finds them now.
inline Records stored_records(const DatabaseFolder& folder) {
  Records records;
  read_all(folder.fresh(), &records).ignore_error();
  return records;
}

// The record shown at number n (nothing beyond the records), as the window shows it.
inline Record at(const Records& records, std::int32_t n) {
  return n >= 1 && n <= static_cast<std::int32_t>(records.size()) ? records[static_cast<std::size_t>(n - 1)] : Record{};
}

}  // namespace zenfaro::testing
