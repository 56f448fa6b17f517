#include "core/restore_backup.h"

#include "core/database_lock.h"
#include "core/line_reader.h"
#include "core/record_codec.h"
#include "core/replace_files.h"
#include "core/write_record_set.h"

namespace zenfaro {
namespace {

namespace fs = std::filesystem;

// The records of a data file, found by walking it; a missing file has none.
Status count_records(Env& env, const fs::path& path, std::int64_t* records) {
  *records = 0;
  std::unique_ptr<ReadableFile> file;
  const Status status = env.open_readable(path, &file);
  if (!status.is_ok() && !status.is_not_found()) return status;
  LineReader in(file.get());
  for (; !in.at_end(); ++*records) skip_record(in);
  return in.status();
}

// Copies every record of `in` into the new files.
Status copy_all_records(LineReader& in, DatabaseWriter& out) {
  while (!in.at_end() && out.status().is_ok()) {
    const Status status = out.begin_record();
    if (!status.is_ok()) return status.with_more(" Nothing was restored.");
    copy_record(in, out.data(), EntryCut::none);
  }
  return in.status().is_ok() ? out.status() : in.status();
}

Status write_restored_files(Database& db, const Replacement& replacement) {
  std::unique_ptr<ReadableFile> backup;
  const Status status = db.env->open_readable(db.layout.backup_file(), &backup);
  if (!status.is_ok()) return status;
  LineReader in(backup.get());
  return write_work_files(db, replacement, [&in](DatabaseWriter& out) { return copy_all_records(in, out); });
}

}  // namespace

Status plan_restore(const Database& db, RestorePlan* plan) {
  Env& env = *db.env;
  const fs::path backup = db.layout.backup_file();
  plan->backup = env.file_info(backup);
  if (!plan->backup.exists) {
    return Status::refused("There is no commdb.old in " + quoted(db.layout.database_folder()) +
                           " to put back: the first save or deletion of a record makes it. Nothing was changed.");
  }
  Status status = count_records(env, db.data_path, &plan->records_now);
  if (status.is_ok()) status = count_records(env, backup, &plan->records_restored);
  return status;
}

Status restore_backup(Database& db, const RestorePlan& plan) {
  Env& env = *db.env;
  const Layout& layout = db.layout;
  DatabaseLock lock;
  Status status = lock_database(env, layout, &lock);
  if (status.is_ok()) status = begin_change(db);
  if (!status.is_ok()) return status;
  if (env.file_info(layout.backup_file()) != plan.backup) {
    return Status::refused(
        "commdb.old was changed by another program after its records were counted. "
        "Nothing was restored; run the restore again.");
  }
  const Replacement replacement = restore_replacement(layout);
  status = write_restored_files(db, replacement);
  if (status.is_ok()) status = replace_files(env, replacement);
  if (!status.is_ok()) {
    remove_leftover_work_files(env, layout);
    return status;
  }
  load_index(db, db.index_path, db.data_path);
  return Status::ok();
}

}  // namespace zenfaro
