#include "core/database_lock.h"

#include <thread>

namespace zenfaro {

std::filesystem::path lock_file(const Layout& layout) { return layout.database_folder() / "zenfaro.lck"; }

Status lock_database(Env& env, const Layout& layout, DatabaseLock* lock, std::chrono::milliseconds wait,
                     LockKind kind) {
  const auto give_up = std::chrono::steady_clock::now() + wait;
  // A lock file made here takes the data file's permission bits: in a folder
  // a group shares, everyone who may change the database may lock it.
  const FileInfo data = env.file_info(layout.data_file());
  const std::uint32_t permissions = data.exists ? data.permissions : 0;
  for (;;) {
    const Status status = env.try_lock(lock_file(layout), kind, permissions, &lock->lock_);
    if (status.code() != Status::Code::busy) return status;
    if (std::chrono::steady_clock::now() >= give_up) {
      return Status::busy("The database in " + quoted(layout.database_folder()) +
                          " is being changed by another program. Try again in a moment; nothing was changed.");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace zenfaro
