#pragma once
// Putting the previous state back. commdb.old, the data file as it was
// before the last save or delete, becomes the database again: its records
// are copied, in canonical form and with their entries whole, into the
// save's work files with an index built on the way, and these take the
// place of the database through the journaled replacement under the lock,
// the current data file becoming commdb.old. A second restore so goes
// forward again. (An import keeps no commdb.old: after one, commdb.old still
// holds the data file from before the last save or delete.)
//
// The replacement keeps the current data file as "restoreold.dat" and
// renames it to commdb.old only once the new pair stands, so that whatever
// fails and wherever the restore is killed, commdb.old, the state to
// restore, is never lost.
#include <cstdint>

#include "core/database.h"

namespace zenfaro {

// What a restore would do: the records of the data file now and of
// commdb.old, each counted by walking it, and commdb.old as it was counted.
struct RestorePlan {
  std::int64_t records_now = 0;
  std::int64_t records_restored = 0;
  FileInfo backup;
};

// Counts both files. Refused when there is no commdb.old.
Status plan_restore(const Database& db, RestorePlan* plan);

// Puts commdb.old back as planned and reloads `db`. Refused, changing
// nothing, when commdb.old is no longer the file the plan counted (another
// program saved meanwhile), or when it holds more records than a database
// can.
Status restore_backup(Database& db, const RestorePlan& plan);

}  // namespace zenfaro
