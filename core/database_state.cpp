#include "core/database_state.h"

#include <thread>

#include "core/replace_files.h"

namespace zenfaro {

Status refresh_database(Database& db) {
  if (database_changed(db) || !db.load_error.is_ok()) load_index(db, db.index_path, db.data_path);
  return db.load_error;
}

Status finish_interrupted_change(Env& env, const Layout& layout, DatabaseLock* lock) {
  // A journal is there only while another program replaces the files, or
  // after a replacement was cut short. In the first case that program holds
  // the lock and finishes it; in the second this call finishes it.
  if (!env.file_info(journal_file(layout)).present()) return Status::ok();
  if (!lock_database(env, layout, lock, kQuickLockWait).is_ok()) return Status::ok();
  return finish_interrupted_replacement(env, layout);
}

Status read_one_state(Database& db, const std::function<Status()>& read) {
  Env& env = *db.env;
  const auto give_up = std::chrono::steady_clock::now() + kLockWait;
  for (;;) {
    DatabaseLock lock;
    // A replacement cut short would leave the reader a new data file beside
    // an old index: it is finished first, as the opening does (what it
    // cannot finish was told then, and the files are read as they stand).
    finish_interrupted_change(env, db.layout, &lock).ignore_error();
    if (!lock.held()) lock_database(env, db.layout, &lock, kReaderLockWait, LockKind::shared).ignore_error();
    // Without the lock: a journal is there from before the first rename of a
    // replacement to after its last, so a read that begins and ends without
    // one, and sees the same two files at both ends, read one state (not a
    // new data file beside the old index).
    const auto replacing = [&] { return env.file_info(journal_file(db.layout)).present(); };
    const bool settled = lock.held() || !replacing();
    Status status = refresh_database(db);
    if (status.is_ok()) status = read();
    if (lock.held() || (settled && !replacing() && !database_changed(db))) return status;
    if (std::chrono::steady_clock::now() >= give_up) {
      return Status::busy("The database in " + quoted(db.layout.database_folder()) +
                          " is being changed by another program, so it could not be read. Try again in a moment.");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace zenfaro
