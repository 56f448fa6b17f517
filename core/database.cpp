#include "core/database.h"

#include <algorithm>

#include "core/database_lock.h"
#include "core/database_state.h"
#include "core/index_file.h"
#include "core/line_reader.h"
#include "core/record_codec.h"

namespace zenfaro {

namespace {

Status unreadable(const Status& why) {
  return Status::io_error(
      why.message() + " The database cannot be used until the file can be read; nothing was changed.", why.reason());
}

// A data file without an index (none, or an empty one) still holds its
// records: an empty database in its place would let the next save replace
// the stored record 1 unseen. Their starts are found by walking the data
// file, as the next save writes them into a new index.
std::int32_t index_by_walking(Database& db, ReadableFile* data) {
  LineReader in(data);
  std::int64_t records = 0;
  while (!in.at_end() && in.position() <= static_cast<std::uint64_t>(kMaxRecordStart)) {
    if (++records <= kMaxRecords) db.index[static_cast<std::size_t>(records)] = static_cast<std::int32_t>(in.position());
    skip_record(in);
  }
  if (!in.status().is_ok()) {
    db.load_error = unreadable(in.status());
    return 0;
  }
  db.index_fields = records;
  db.record_count = static_cast<std::int32_t>(std::min<std::int64_t>(records, kMaxRecords));
  return db.record_count;
}

}  // namespace

std::int32_t load_index(Database& db, const std::filesystem::path& index_path, const std::filesystem::path& data_path) {
  db.index_path = index_path;
  db.data_path = data_path;
  db.record_count = 0;
  db.index_fields = 0;
  db.load_error = Status::ok();
  // What the files are now; a change after this moment shows as a change.
  db.index_seen = db.env->file_info(index_path);
  db.data_seen = db.env->file_info(data_path);
  std::unique_ptr<ReadableFile> file;
  const Status opened = db.env->open_readable(index_path, &file);
  if (!opened.is_ok() && !opened.is_not_found()) {
    db.load_error = unreadable(opened);
    return 0;
  }
  IndexReader fields(file.get());
  const auto count = static_cast<std::int32_t>(std::min<std::int64_t>(fields.fields(), kMaxRecords));
  for (std::int32_t k = 1; k <= count; ++k) db.index[static_cast<std::size_t>(k)] = fields.field(k);
  if (!fields.status().is_ok()) {
    db.load_error = unreadable(fields.status());
    return 0;
  }
  // The records the index lists must be readable too.
  std::unique_ptr<ReadableFile> data;
  const Status data_opened = db.env->open_readable(data_path, &data);
  if (data_opened.is_not_found() && fields.fields() > 0) {
    db.load_error = Status::io_error("The database file " + quoted(data_path) + " is missing, but " +
                                     quoted(index_path) + " lists " + std::to_string(fields.fields()) +
                                     " records. The database cannot be used until the data file is put back; "
                                     "nothing was changed.");
    return 0;
  }
  if (!data_opened.is_ok() && !data_opened.is_not_found()) {
    db.load_error = unreadable(data_opened);
    return 0;
  }
  if (fields.fields() == 0 && data) return index_by_walking(db, data.get());
  db.index_fields = fields.fields();
  db.record_count = count;
  return count;
}

Status open_database(Env& env, const Layout& layout, Database* db) {
  db->env = &env;
  db->layout = layout;
  DatabaseLock lock;
  Status status = finish_interrupted_change(env, layout, &lock);
  load_index(*db, layout.index_file(), layout.data_file());
  // A FIFO, a device or a folder in the place of a database file is named,
  // not taken for a missing file.
  for (const std::filesystem::path& file : {layout.data_file(), layout.index_file()}) {
    const FileInfo info = env.file_info(file);
    if (status.is_ok() && info.kind != FileKind::none && !info.exists) {
      status = Status::refused("The database file " + quoted(file) + " is " + kind_name(info.kind) +
                               ", not a regular file, so the database cannot be read. Move it away, then try again.");
    }
  }
  return status.is_ok() ? db->load_error : status;
}

bool database_changed(const Database& db) {
  return db.env->file_info(db.data_path) != db.data_seen || db.env->file_info(db.index_path) != db.index_seen;
}

Status open_data_file(const Database& db, std::unique_ptr<ReadableFile>* file) {
  const Status status = db.env->open_readable(db.data_path, file);
  if (status.is_not_found()) {
    file->reset();
    return Status::ok();
  }
  return status;
}

std::uint64_t record_start(const Database& db, std::int32_t n, std::uint64_t data_size) {
  const std::int32_t offset = db.index[static_cast<std::size_t>(n)];
  return offset >= 0 ? static_cast<std::uint64_t>(offset) : data_size;
}

namespace {

// Records overlap only in a damaged index; walking them would read the
// same bytes again for every record (10000 records at one offset read the
// first record 10000 times).
Status overlapping_record(const Database& db, std::int32_t n, std::uint64_t start, std::int32_t before,
                          std::uint64_t end) {
  return Status::refused("The index " + quoted(db.index_path) + " is damaged: record " + std::to_string(n) +
                         " starts at byte " + std::to_string(start) + " of the data file, before the end of record " +
                         std::to_string(before) + " (byte " + std::to_string(end) +
                         "). Saving any record rebuilds the index from the data file.");
}

}  // namespace

Status walk_records(const Database& db, std::int32_t first, std::int32_t last,
                    const std::function<bool(std::int32_t, LineReader&)>& visit) {
  std::unique_ptr<ReadableFile> file;
  const Status status = open_data_file(db, &file);
  if (!status.is_ok()) return status;
  LineReader in(file.get());
  const std::uint64_t size = file ? file->size() : 0;
  // Each record starts where the ones read before it ended, or later, so
  // that a walk reads no byte twice. A record outside the file reads as
  // empty and reads nothing.
  std::uint64_t walked = 0;
  std::int32_t last_read = 0;
  for (std::int32_t n = std::max(first, 1); n <= std::min(last, db.record_count) && in.status().is_ok(); ++n) {
    const std::uint64_t start = record_start(db, n, size);
    const bool inside = start < size;
    if (inside && start < walked) return overlapping_record(db, n, start, last_read, walked);
    in.seek(start);
    if (!visit(n, in)) break;
    if (inside) {
      walked = in.position();
      last_read = n;
    }
  }
  return in.status();
}

Status damaged_record(std::int32_t n) {
  return Status::refused("Record " + std::to_string(n) + " is damaged: one of its lists holds more than " +
                         std::to_string(kMaxListEntries) + " entries, more than a list can hold. It is shown empty.");
}

Status read_stored_bytes(const Database& db, std::int32_t n, const std::function<void(std::string_view)>& sink) {
  if (n < 1 || n > db.record_count) return Status::ok();
  std::unique_ptr<ReadableFile> file;
  Status status = open_data_file(db, &file);
  if (!status.is_ok() || !file) return status;
  // The record's extent first, by the reading rules; then its bytes, from
  // the same open file.
  LineReader reader(file.get(), 16 * 1024);
  const std::uint64_t start = record_start(db, n, file->size());
  reader.seek(start);
  Record ignored;
  const bool whole = read_record_into(reader, &ignored);
  if (!reader.status().is_ok()) return reader.status();
  if (!whole) return damaged_record(n);
  std::vector<char> buffer(64 * 1024);
  for (std::uint64_t at = start, end = reader.position(); at < end;) {
    std::size_t got = 0;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(end - at, buffer.size()));
    status = file->read_at(at, buffer.data(), wanted, &got);
    if (!status.is_ok()) return status;
    if (got == 0) break;
    sink(std::string_view(buffer.data(), got));
    at += got;
  }
  return Status::ok();
}

Record read_record(const Database& db, std::int32_t n, Status* error) {
  Record record;
  if (n < 1 || n > db.record_count) return record;
  std::unique_ptr<ReadableFile> file;
  const Status opened = open_data_file(db, &file);
  if (!opened.is_ok()) {
    if (error != nullptr) *error = opened;
    return record;
  }
  LineReader reader(file.get(), 16 * 1024);
  reader.seek(record_start(db, n, file ? file->size() : 0));
  const bool whole = read_record_into(reader, &record);
  if (error != nullptr && !reader.status().is_ok()) *error = reader.status();
  if (error != nullptr && !whole) *error = damaged_record(n);
  return record;
}

}  // namespace zenfaro
