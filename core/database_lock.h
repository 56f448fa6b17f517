#pragma once
// One writer at a time. Every change to the database folder (a save, a
// delete, an import, the finishing of an interrupted replacement) holds the
// database's lock from its first read of the old files to the end of the
// replacement. The lock is an advisory lock on the file "zenfaro.lck"
// beside commdb.dat, which is never deleted. It is made with the data
// file's permission bits and never through a symbolic link; one that the
// user may only read is locked all the same. Readers (the game, the
// editor's navigation) need no lock: the files they read are replaced in
// one step each.
#include <chrono>
#include <memory>

#include "core/env.h"
#include "core/layout.h"

namespace zenfaro {

// A held lock; released when it is destroyed.
class DatabaseLock {
 public:
  bool held() const { return lock_ != nullptr; }

 private:
  friend Status lock_database(Env&, const Layout&, DatabaseLock*, std::chrono::milliseconds, LockKind);
  std::unique_ptr<FileLock> lock_;
};

// How long a writer waits for another one before it gives up.
constexpr std::chrono::milliseconds kLockWait{5000};
// How long an opening waits to finish an interrupted replacement.
constexpr std::chrono::milliseconds kQuickLockWait{500};

// The lock file of `layout`'s database.
std::filesystem::path lock_file(const Layout& layout);

// Takes the lock, waiting up to `wait` while another program holds it in a
// way that conflicts: a writer takes it exclusively, a reader of the
// program's own shared (readers together, never beside a writer). When it
// stays taken: busy, "The database in FOLDER is being changed by another
// program. ..."; nothing has been changed then.
Status lock_database(Env& env, const Layout& layout, DatabaseLock* lock, std::chrono::milliseconds wait = kLockWait,
                     LockKind kind = LockKind::exclusive);

}  // namespace zenfaro
