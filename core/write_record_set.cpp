#include "core/write_record_set.h"

#include <limits>

#include "core/line_reader.h"
#include "core/line_writer.h"
#include "core/replace_files.h"

namespace zenfaro {
namespace {

constexpr std::uint64_t kMaxOffset = std::numeric_limits<std::int32_t>::max();

// The new data file and index being written.
struct Output {
  std::unique_ptr<LineWriter> data;
  std::unique_ptr<LineWriter> index;
  std::int32_t records = 0;
};

// Starts a record in the new files; refuses a record the index cannot hold.
Status begin_record(Output& out) {
  if (out.records >= kMaxRecords) {
    return Status::refused("The database can hold at most 10000 records. Nothing was saved.");
  }
  if (out.data->bytes_written() > kMaxOffset) {
    return Status::refused("The database file would grow beyond 2 GB. Nothing was saved.");
  }
  out.index->write_int32(static_cast<std::int32_t>(out.data->bytes_written()));
  ++out.records;
  return Status::ok();
}

void write_list(LineWriter& data, const EntryList& list) {
  data.write_count(static_cast<std::int64_t>(list.size()));
  for (const Entry& entry : list) data.write_line(through_work_buffer(entry));
}

Status write_lists(Output& out, const Record& lists) {
  Status status = begin_record(out);
  if (status.is_ok()) {
    for (const EntryList& list : lists.lists) write_list(*out.data, list);
  }
  return status;
}

// Copies every record of the old data file into `out`, putting `lists` in
// place of record n (save), leaving record n out (remove), or appending
// `lists` when the file holds fewer than n records (save).
Status copy_records(LineReader& reader, Output& out, std::int32_t n, WriteMode mode, const Record& lists) {
  std::string entry;
  std::int64_t k = 0;
  while (!reader.at_end()) {
    ++k;
    const bool chosen = k == n;
    if (chosen && mode == WriteMode::save) {
      Status status = write_lists(out, lists);
      if (!status.is_ok()) return status;
      for (int block = 0; block < 3; ++block) {
        const std::int64_t count = reader.read_list_count();
        for (std::int64_t i = 0; i < count; ++i) reader.skip_entry();
      }
      continue;
    }
    if (!chosen) {
      Status status = begin_record(out);
      if (!status.is_ok()) return status;
    }
    for (int block = 0; block < 3; ++block) {
      const std::int64_t count = reader.read_list_count();
      if (!chosen) out.data->write_count(count);
      for (std::int64_t i = 0; i < count; ++i) {
        if (chosen) {
          reader.skip_entry();
        } else {
          reader.read_entry(&entry, kMaxEntryBytes);
          out.data->write_line(through_work_buffer(entry));
        }
      }
    }
    if (!out.data->status().is_ok()) return out.data->status();
  }
  if (k < n && mode == WriteMode::save) return write_lists(out, lists);
  return Status::ok();
}

Status ensure_data_file(Env& env, const fs::path& data_path) {
  if (env.file_exists(data_path)) return Status::ok();
  std::unique_ptr<WritableFile> file;
  Status status = env.open_writable(data_path, true, &file);
  if (status.is_ok()) status = file->close();
  return status;
}

}  // namespace

fs::path save_work_data(const Layout& layout) { return layout.work_file("temp.tmp"); }
fs::path save_work_index(const Layout& layout) { return layout.work_file("temp.idx"); }

std::string_view through_work_buffer(std::string_view entry) {
  entry = entry.substr(0, entry.find('\0'));
  return entry.substr(0, kMaxEntryBytes);
}

Status write_record_set(Database& db, std::int32_t n, WriteMode mode, const Record& lists) {
  if (lists.empty()) return Status::ok();
  Env& env = *db.env;
  const Layout& layout = db.layout;

  Status status = finish_interrupted_replacement(env, layout);
  if (status.is_ok()) status = ensure_data_file(env, db.data_path);
  std::unique_ptr<ReadableFile> old_data;
  if (status.is_ok()) status = env.open_readable(db.data_path, &old_data);
  Output out;
  if (status.is_ok()) status = LineWriter::open(env, save_work_data(layout), false, &out.data);
  if (status.is_ok()) status = LineWriter::open(env, save_work_index(layout), false, &out.index);
  if (status.is_ok()) {
    LineReader reader(old_data.get());
    status = copy_records(reader, out, n, mode, lists);
    if (status.is_ok() && !reader.status().is_ok()) status = reader.status();
  }
  // Both work files are finished (and closed) whatever happened above.
  for (LineWriter* writer : {out.data.get(), out.index.get()}) {
    if (writer == nullptr) continue;
    const Status finished = status.is_ok() ? writer->finish() : writer->close();
    if (status.is_ok()) status = finished;
  }
  old_data.reset();
  if (status.is_ok()) {
    status = replace_files(env, layout,
                           {{save_work_data(layout), db.data_path, layout.backup_file()},
                            {save_work_index(layout), db.index_path, {}}});
  }
  if (!status.is_ok()) {
    // The work files are kept only when a journal still needs them to
    // finish the replacement at the next opening.
    if (!env.file_exists(journal_file(layout))) {
      env.remove_file(save_work_data(layout));
      env.remove_file(save_work_index(layout));
    }
    return status;
  }
  load_index(db, db.index_path, db.data_path);
  return Status::ok();
}

}  // namespace zenfaro
