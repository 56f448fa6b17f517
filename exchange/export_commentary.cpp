// Export Commentary: the stored records, in database order, into one
// exchange file, streaming one entry at a time.
#include "exchange/export_commentary.h"

#include "core/line_reader.h"
#include "core/line_writer.h"
#include "exchange/exchange_format.h"
#include "exchange/record_stream.h"
#include "exchange/same_file.h"

namespace zenfaro {
namespace {

// Writing over the database's own files would cut them to nothing before
// they are read: such a target is refused.
Status check_target(const Database& db, const fs::path& target) {
  for (const fs::path& own : {db.data_path, db.index_path}) {
    if (same_file(target, own)) {
      return Status::refused("The commentary cannot be exported to the database file " +
                             own.filename().u8string() + ": it would be destroyed. Choose another file.");
    }
  }
  return Status::ok();
}

// Copies records 1 to N, each list as its count line (in canonical form)
// and its entry lines, unchanged.
void copy_records(const Database& db, LineReader& in, const ReadableFile* data, LineWriter& out) {
  std::string entry;
  for (std::int32_t n = 1; n <= db.record_count && out.status().is_ok(); ++n) {
    in.seek(record_start(db, n, data));
    for (int list = 0; list < 3; ++list) {
      const std::int64_t count = in.read_list_count();
      out.write_count(count);
      for (std::int64_t i = 0; i < count; ++i) {
        in.read_entry(&entry);
        out.write_line(entry);
      }
    }
  }
}

Status failed(const Status& why, const std::string& outcome = "") {
  return Status::io_error("The commentary could not be exported. " + why.message() + outcome);
}

}  // namespace

Status export_commentary(const Database& db, const fs::path& target, std::int32_t* records) {
  Status status = check_target(db, target);
  if (!status.is_ok()) return status;
  std::unique_ptr<ReadableFile> data;
  status = open_data_file(db, &data);
  if (!status.is_ok()) return failed(status);

  std::unique_ptr<LineWriter> out;
  status = LineWriter::open(*db.env, target, false, &out);
  if (!status.is_ok()) return failed(status);
  LineReader in(data.get());
  write_exchange_header(*out, db.record_count);
  copy_records(db, in, data.get(), *out);
  status = in.status();
  // Every write and the close are checked, but the file is not forced to
  // the disk: an export can be made again from the database at any time,
  // and waiting for the disk would double its time.
  const Status written = out->close();
  if (status.is_ok()) status = written;
  if (!status.is_ok()) {
    // A file cut short would announce records it does not hold.
    const bool removed = db.env->remove_file(target).is_ok();
    return failed(status, removed ? " The incomplete file was removed." : "");
  }
  if (records != nullptr) *records = db.record_count;
  return Status::ok();
}

std::string export_message(std::int32_t records, const std::string& path) {
  return std::to_string(records) + " commentary entries were exported to " + path + ".";
}

}  // namespace zenfaro
