// Export Commentary: the stored records, in database order, into one
// exchange file, streaming one entry at a time.
#include "exchange/export_commentary.h"

#include "core/database_state.h"
#include "core/journal.h"
#include "core/line_writer.h"
#include "core/record_codec.h"
#include "exchange/exchange_format.h"
#include "exchange/export_part.h"

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
  // Only a regular file is replaced, --force or not: the rename would put a
  // file in the place of a device, a FIFO or a socket.
  const FileInfo info = db.env->file_info(target);
  if (info.present() && !info.exists) {
    return Status::refused("The commentary cannot be exported to " + target.filename().u8string() + ": it is " +
                           (info.kind == FileKind::none ? "a symbolic link to nothing" : kind_name(info.kind)) +
                           ", not a regular file. Choose another file.");
  }
  return Status::ok();
}

// Creates a new file beside `target` (beside the file it names, when it is
// a symbolic link) for the export to write: a name no file has yet, so that
// nothing of the user's is overwritten. `*mine` is which file it is.
Status create_beside(Env& env, const fs::path& target, fs::path* aside, std::unique_ptr<LineWriter>* out,
                     FileIdentity* mine) {
  std::unique_ptr<WritableFile> file;
  const Status status = create_part_file(env, env.link_target(target), aside, &file);
  if (status.is_ok()) {
    out->reset(new LineWriter(std::move(file)));
    *mine = identity_of(env.file_info(*aside));
  }
  return status;
}

// Another export of the same target, started meanwhile, takes a killed
// export's leftovers for its own: the file renamed must be this one's.
Status still_mine(Env& env, const fs::path& aside, const FileIdentity& mine) {
  const FileIdentity now = identity_of(env.file_info(aside));
  if (now.present && now.device == mine.device && now.file_id == mine.file_id) return Status::ok();
  return Status::io_error("Another export of the same file was started meanwhile and took " + quoted(aside) + ".");
}

// The chosen records, each read from its start as the index gives it.
Status write_selected_records(const Database& db, LineWriter& out, const std::vector<std::int32_t>& selection,
                              const ExchangeProgress& progress) {
  write_exchange_header(out, static_cast<std::int32_t>(selection.size()));
  // One walk over every record first: an index whose records overlap is
  // refused before any record is copied, so that the copies below, each
  // record once, read no more than the data file holds.
  Status status = walk_records(db, 1, db.record_count, [](std::int32_t, LineReader& in) {
    skip_record(in);
    return true;
  });
  std::unique_ptr<ReadableFile> file;
  if (status.is_ok()) status = open_data_file(db, &file);
  if (!status.is_ok()) return status;
  LineReader in(file.get());
  const std::uint64_t size = file ? file->size() : 0;
  for (std::size_t i = 0; i < selection.size() && in.status().is_ok() && out.status().is_ok(); ++i) {
    tell_record_progress(progress, ExchangeStage::writing, i, selection.size());
    in.seek(record_start(db, selection[i], size));
    copy_record(in, out, EntryCut::none);
  }
  return in.status().is_ok() ? out.status() : in.status();
}

Status write_records(const Database& db, LineWriter& out, const ExchangeProgress& progress,
                     const std::vector<std::int32_t>* selection) {
  if (selection != nullptr) return write_selected_records(db, out, *selection, progress);
  write_exchange_header(out, db.record_count);
  const auto total = static_cast<std::uint64_t>(db.record_count);
  const Status status = walk_records(db, 1, db.record_count, [&](std::int32_t n, LineReader& in) {
    tell_record_progress(progress, ExchangeStage::writing, static_cast<std::uint64_t>(n - 1), total);
    copy_record(in, out, EntryCut::none);
    return out.status().is_ok();
  });
  return status.is_ok() ? out.status() : status;
}

// Every number of a selection names a record of the database as it stands.
Status check_selection(const Database& db, const std::vector<std::int32_t>& selection) {
  for (const std::int32_t n : selection) {
    if (n >= 1 && n <= db.record_count) continue;
    return Status::refused("Record " + std::to_string(n) + " is not in the database, which holds " +
                           std::to_string(db.record_count) + " records. Nothing was exported.");
  }
  return Status::ok();
}

Status failed(const Status& why) {
  return Status::io_error("The commentary could not be exported. " + why.message(), why.reason());
}

}  // namespace

Status export_commentary(Database& db, const fs::path& target, std::int32_t* records,
                         const ExchangeProgress& progress, const std::vector<std::int32_t>* selection) {
  Status status = check_target(db, target);
  if (!status.is_ok()) return status;
  Env& env = *db.env;
  const FileInfo old = env.file_info(target);
  fs::path aside;
  std::unique_ptr<LineWriter> out;
  FileIdentity mine;
  const auto abandon = [&] {
    if (!out) return;
    out->abandon();
    out.reset();
    if (still_mine(env, aside, mine).is_ok()) env.remove_file(aside).ignore_error();
  };
  // The records of one state of the database, each attempt into a new file.
  Status refused;
  status = read_one_state(db, [&] {
    abandon();
    refused = selection != nullptr ? check_selection(db, *selection) : Status::ok();
    if (!refused.is_ok()) return refused;
    Status written = create_beside(env, target, &aside, &out, &mine);
    if (written.is_ok()) written = write_records(db, *out, progress, selection);
    return written;
  });
  if (!refused.is_ok()) return refused;
  // A file that replaces another must be on the disk before the old one is
  // gone; a new file can be made again from the database at any time.
  if (status.is_ok()) status = old.exists ? out->finish() : out->close();
  if (status.is_ok() && old.exists) status = env.set_permissions(aside, old.permissions);
  if (status.is_ok()) status = still_mine(env, aside, mine);
  if (status.is_ok()) status = env.rename_file(aside, target);
  if (!status.is_ok()) {
    abandon();
    return failed(status.with_more(old.exists ? " The existing file was left as it was." : ""));
  }
  if (records != nullptr)
    *records = selection != nullptr ? static_cast<std::int32_t>(selection->size()) : db.record_count;
  return Status::ok();
}

std::string export_message(std::int32_t records, const std::string& path) {
  return std::to_string(records) + " commentary entries were exported to " + path + ".";
}

}  // namespace zenfaro
