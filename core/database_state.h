#pragma once
// One state of the database files for one operation. Every operation that
// reads stored records (a save's copy, the import, the export, find, check,
// showing and listing records) reads them all from one state of the pair
// commdb.dat and commdb.idx: it holds the database's lock for the whole read
// (a change exclusively, the program's own readers shared, so that readers
// go together but never beside a change) and, when either file changed since
// its index was loaded, loads the index again first. No operation walks
// commdb.dat with offsets taken from an earlier state.
//
// A reader that cannot have the lock (the lock file cannot be created in a
// read-only folder or on read-only media, or a change keeps it while its user
// answers a question) reads without it and then checks that no replacement
// was under way and neither file changed during the read; when one was or
// did, it reads again. Every change replaces the files by renaming new ones
// over them under its journal, so a read that saw no journal and the same two
// files before and after read one state. The game takes no lock; it is served
// by the order of those renames.
#include <chrono>
#include <functional>

#include "core/database.h"
#include "core/database_lock.h"

namespace zenfaro {

// How long a reader waits for a change to end before it reads without the
// lock.
constexpr std::chrono::milliseconds kReaderLockWait{200};

// Brings `db` up to the files as they stand: loads the index again when
// either file changed since it was loaded (or could not be read then).
// Returns load_error: ok, or why the database cannot be read.
Status refresh_database(Database& db);

// Runs `read` on one state of the database (see the top), with `db` loaded
// as the files stand; a database that cannot be read fails before `read`
// runs. `read` may run more than once, each time from its start, so it must
// begin anew each time (and show nothing before it is done). When the files
// keep changing for as long as a writer waits for the lock: busy.
Status read_one_state(Database& db, const std::function<Status()>& read);

// Finishes a replacement of the database files that a journal shows was cut
// short, holding the lock exclusively in `*lock` (taken with a short wait:
// a replacement that another program is making is left to it). Nothing to
// finish, or the lock not had: ok, and `*lock` may be left unheld.
Status finish_interrupted_change(Env& env, const Layout& layout, DatabaseLock* lock);

}  // namespace zenfaro
