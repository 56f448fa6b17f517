#include "core/write_record_set.h"

#include <algorithm>
#include <vector>

#include "core/database_state.h"
#include "core/database_writer.h"
#include "core/record_codec.h"
#include "core/replace_files.h"

namespace zenfaro {
namespace {

// Copies every record of the old data file into `out`, putting `lists` in
// place of record n (save), leaving record n out (remove), or appending
// `lists` when the file holds fewer than n records (save).
Status copy_records(LineReader& in, DatabaseWriter& out, std::int32_t n, WriteMode mode, const Record& lists) {
  std::int64_t k = 0;
  while (!in.at_end() && out.status().is_ok()) {
    ++k;
    if (k == n) {
      skip_record(in);
      if (mode == WriteMode::remove) continue;
    }
    Status status = out.begin_record();
    if (!status.is_ok()) return status.with_more(" Nothing was saved.");
    if (k == n) {
      write_record(out.data(), lists, EntryCut::work_buffer);
    } else {
      copy_record(in, out.data(), EntryCut::work_buffer);
    }
  }
  if (k < n && mode == WriteMode::save && out.status().is_ok()) {
    Status status = out.begin_record();
    if (!status.is_ok()) return status.with_more(" Nothing was saved.");
    write_record(out.data(), lists, EntryCut::work_buffer);
  }
  // A read error reads as the end of the data: the copy would be cut short.
  return in.status().is_ok() ? out.status() : in.status();
}

// Writes the new files (temp.tmp and temp.idx) from the old data file,
// durably. A missing data file reads as empty.
Status write_new_files(Database& db, const Replacement& replacement, std::int32_t n, WriteMode mode,
                       const Record& lists) {
  std::unique_ptr<ReadableFile> old_data;
  const Status status = open_data_file(db, &old_data);
  if (!status.is_ok()) return status;
  LineReader in(old_data.get());
  return write_work_files(db, replacement,
                          [&](DatabaseWriter& out) { return copy_records(in, out, n, mode, lists); });
}

}  // namespace

Status write_work_files(const Database& db, const Replacement& replacement,
                        const std::function<Status(DatabaseWriter&)>& write) {
  Env& env = *db.env;
  std::unique_ptr<DatabaseWriter> out;
  Status status = DatabaseWriter::open(env, new_file(env, replacement, 0), new_file(env, replacement, 1), &out);
  if (!status.is_ok()) return status;
  status = write(*out);
  if (status.is_ok()) return out->finish();
  out->abandon();
  return status;
}

namespace {

// True when the files hold the same bytes. Files of different sizes are
// told apart without reading them, which is the case of nearly every save.
bool same_contents(Env& env, const std::filesystem::path& a, const std::filesystem::path& b) {
  std::unique_ptr<ReadableFile> first, second;
  if (!env.open_readable(a, &first).is_ok() || !env.open_readable(b, &second).is_ok()) return false;
  if (first->size() != second->size()) return false;
  std::vector<char> one(64 * 1024), other(one.size());
  for (std::uint64_t at = 0; at < first->size();) {
    std::size_t got = 0, got_other = 0;
    if (!first->read_at(at, one.data(), one.size(), &got).is_ok() || got == 0) return false;
    if (!second->read_at(at, other.data(), got, &got_other).is_ok() || got_other != got) return false;
    if (!std::equal(one.begin(), one.begin() + static_cast<std::ptrdiff_t>(got), other.begin())) return false;
    at += got;
  }
  return true;
}

}  // namespace

Status begin_change(Database& db) {
  Env& env = *db.env;
  if (env.file_info(journal_file(db.layout)).present()) {
    const Status status = finish_interrupted_replacement(env, db.layout);
    load_index(db, db.index_path, db.data_path);
    if (!status.is_ok()) return status;
  }
  // The change reads the files as they stand now, not as an earlier load
  // saw them; and what cannot be read is not written over.
  Status status = refresh_database(db);
  if (!status.is_ok()) return status;
  remove_leftover_work_files(env, db.layout);
  for (const std::filesystem::path& file : {db.data_path, db.index_path}) {
    if (env.file_info(file).read_only()) {
      return Status::refused("The database file " + quoted(file) +
                             " is read-only, so the database was not changed. Make the file writable to change it.");
    }
  }
  return Status::ok();
}

Status write_record_set(Database& db, const DatabaseLock& lock, std::int32_t n, WriteMode mode, const Record& lists) {
  if (lists.empty()) return Status::ok();
  if (!lock.held()) return Status::refused("Internal error: the database was to be changed without its lock.");
  const Layout& layout = db.layout;
  Env& env = *db.env;
  const Replacement replacement = save_replacement(layout);
  Status status = write_new_files(db, replacement, n, mode, lists);
  // Nothing to write, nothing written: new files that are the old ones byte
  // for byte replace nothing, so commdb.old keeps the state before the last
  // real change.
  if (status.is_ok() && same_contents(env, new_file(env, replacement, 0), db.data_path) &&
      same_contents(env, new_file(env, replacement, 1), db.index_path)) {
    remove_leftover_work_files(env, layout);
    return Status::ok();
  }
  if (status.is_ok()) status = replace_files(env, replacement);
  if (!status.is_ok()) {
    // The work files are kept only when a journal still needs them to
    // finish the replacement later.
    remove_leftover_work_files(*db.env, layout);
    return status;
  }
  load_index(db, db.index_path, db.data_path);
  return Status::ok();
}

Status write_record_set(Database& db, std::int32_t n, WriteMode mode, const Record& lists) {
  if (lists.empty()) return Status::ok();
  DatabaseLock lock;
  Status status = lock_database(*db.env, db.layout, &lock);
  if (status.is_ok()) status = begin_change(db);
  return status.is_ok() ? write_record_set(db, lock, n, mode, lists) : status;
}

}  // namespace zenfaro
