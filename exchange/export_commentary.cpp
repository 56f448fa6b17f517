// Export Commentary: the stored records, in database order, into one
// exchange file, streaming one entry at a time.
#include "exchange/export_commentary.h"

#include "core/database_state.h"
#include "core/line_writer.h"
#include "core/record_codec.h"
#include "exchange/exchange_format.h"

namespace zenfaro {
namespace {

namespace fs = std::filesystem;

// Writing over the database's own files would cut them to nothing before
// they are read, and the other files of the program are rewritten by it:
// such a target is refused.
Status check_target(const Database& db, const fs::path& target) {
  for (const fs::path& own : {db.data_path, db.index_path}) {
    if (same_file(*db.env, target, own)) {
      return Status::refused("The commentary cannot be exported to the database file " + own.filename().u8string() +
                             ": it would be destroyed. Choose another file.");
    }
  }
  if (is_program_file(db.layout, target)) {
    return Status::refused("The commentary cannot be exported to " + target.filename().u8string() +
                           ": the program keeps its own work in that file. Choose another file.");
  }
  return Status::ok();
}

// Creates a new file beside `target` for the export to write: a name no
// file has yet, so that nothing of the user's is overwritten.
Status create_beside(Env& env, const fs::path& target, fs::path* aside, std::unique_ptr<LineWriter>* out) {
  Status status;
  for (int attempt = 0; attempt < 100; ++attempt) {
    *aside = target;
    *aside += attempt == 0 ? ".part" : "." + std::to_string(attempt) + ".part";
    std::unique_ptr<WritableFile> file;
    status = env.open_writable(*aside, OpenMode::create_new, &file);
    if (status.is_ok()) {
      out->reset(new LineWriter(std::move(file)));
      return status;
    }
    if (!env.file_info(*aside).exists) return status;  // not a name clash: a real failure
  }
  return status;
}

Status write_records(const Database& db, LineWriter& out, const ExchangeProgress& progress) {
  write_exchange_header(out, db.record_count);
  const auto total = static_cast<std::uint64_t>(db.record_count);
  const Status status = walk_records(db, 1, db.record_count, [&](std::int32_t n, LineReader& in) {
    tell_record_progress(progress, ExchangeStage::writing, static_cast<std::uint64_t>(n - 1), total);
    copy_record(in, out, EntryCut::none);
    return out.status().is_ok();
  });
  return status.is_ok() ? out.status() : status;
}

Status failed(const Status& why) {
  return Status::io_error("The commentary could not be exported. " + why.message(), why.reason());
}

}  // namespace

Status export_commentary(Database& db, const fs::path& target, std::int32_t* records,
                         const ExchangeProgress& progress) {
  Status status = check_target(db, target);
  if (!status.is_ok()) return status;
  Env& env = *db.env;
  const FileInfo old = env.file_info(target);
  fs::path aside;
  std::unique_ptr<LineWriter> out;
  const auto abandon = [&] {
    if (!out) return;
    out->abandon();
    out.reset();
    env.remove_file(aside).ignore_error();
  };
  // The records of one state of the database, each attempt into a new file.
  status = read_one_state(db, [&] {
    abandon();
    Status written = create_beside(env, target, &aside, &out);
    if (written.is_ok()) written = write_records(db, *out, progress);
    return written;
  });
  // A file that replaces another must be on the disk before the old one is
  // gone; a new file can be made again from the database at any time.
  if (status.is_ok()) status = old.exists ? out->finish() : out->close();
  if (status.is_ok() && old.exists) status = env.set_permissions(aside, old.permissions);
  if (status.is_ok()) status = env.rename_file(aside, target);
  if (!status.is_ok()) {
    abandon();
    return failed(status.with_more(old.exists ? " The existing file was left as it was." : ""));
  }
  if (records != nullptr) *records = db.record_count;
  return Status::ok();
}

std::string export_message(std::int32_t records, const std::string& path) {
  return std::to_string(records) + " commentary entries were exported to " + path + ".";
}

}  // namespace zenfaro
