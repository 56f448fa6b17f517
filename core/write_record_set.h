#pragma once
// Saving and deleting records. Every change rewrites the whole database: the
// data file is walked record by record and copied, in canonical form, into
// the work file "temp.tmp", with the given lists in place of record n (save),
// appended after the last record (save under a number above N), or left out
// (delete); the new index "temp.idx" is built from the offsets of the copy.
// The new pair then replaces the old one (core/replace_files.h,
// save_replacement), the previous data file surviving as commdb.old, and
// the index is reloaded.
#include <cstdint>
#include <functional>

#include "core/database.h"
#include "core/database_lock.h"
#include "core/database_writer.h"
#include "core/replace_files.h"

namespace zenfaro {

enum class WriteMode { save = 0, remove = 1 };

// Saves `lists` as record n, or deletes record n. With all three lists empty
// nothing is written, in either mode; nor when the new files would be the
// old ones byte for byte. The caller holds the database's lock
// and has begun the change under it (begin_change). On failure the database
// files and `db` are as they were and the message says what went wrong.
Status write_record_set(Database& db, const DatabaseLock& lock, std::int32_t n, WriteMode mode, const Record& lists);
// The same, taking the lock and beginning the change.
Status write_record_set(Database& db, std::int32_t n, WriteMode mode, const Record& lists);

// What every change of the database does first, under the lock: finishes a
// replacement that was cut short, loads the index again when the files
// changed since `db` was loaded, refuses a database that cannot be read,
// removes the work files a killed run left, and refuses a read-only database
// file.
Status begin_change(Database& db);

// Writes the new files of `replacement` through `write` and makes them
// durable; on failure they are closed, and the caller removes them
// (remove_leftovers). The caller holds the lock.
Status write_work_files(const Database& db, const Replacement& replacement,
                        const std::function<Status(DatabaseWriter&)>& write);

}  // namespace zenfaro
