// Stage 10 of the import: one block appended to zenfaro.log. The log is
// the only copy of the old data file that the import keeps, so it must be
// whole on the disk before the database files are replaced.
#include "exchange/import_log.h"

#include <cstdio>

#include "core/cp1252.h"
#include "core/line_reader.h"
#include "core/line_writer.h"
#include "exchange/import_stages.h"

namespace zenfaro {

std::string log_date(const std::tm& local) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d", local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
  return text;
}

std::string logged_path(const std::string& utf8_path) {
  std::optional<std::string> bytes = utf8_to_cp1252(utf8_path);
  return bytes ? *bytes : utf8_path;
}

namespace {

std::tm local_now() {
  const std::time_t now = std::time(nullptr);
  return *std::localtime(&now);  // the program has one thread
}

// Copies every line of `path` into the log, each ended with CR LF, up to a
// 0x1A; a missing file gives none. Runs of lines that already end so (all
// of them, in a file this program wrote) are copied as they stand.
Status copy_lines(Env& env, const std::filesystem::path& path, LineWriter& log) {
  std::unique_ptr<ReadableFile> file;
  const Status opened = env.open_readable(path, &file);
  if (opened.is_not_found()) return Status::ok();
  if (!opened.is_ok()) return opened;
  LineReader in(file.get());
  std::string scratch;
  while (!in.at_end() && log.status().is_ok()) {
    const std::string_view plain = in.read_plain_lines();
    if (plain.empty()) {
      log.write_line(in.read_entry_view(scratch));
    } else {
      log.write_bytes(plain);
    }
  }
  return in.status();
}

Status write_block(ImportRun& run, LineWriter& log) {
  Env& env = *run.db.env;
  log.write_line(log_date(run.today ? run.today() : local_now()));
  log.write_line("*** Log start");
  log.write_line("Logging: COMMDB.DAT");
  Status status = copy_lines(env, run.db.data_path, log);
  if (status.is_ok()) {
    log.write_line("Logging: " + logged_path(run.path));
    status = copy_lines(env, run.exchange_path, log);
  }
  if (status.is_ok()) log.write_line("*** Log end");
  return status.is_ok() ? log.finish() : status;
}

}  // namespace

Status append_import_log(ImportRun& run) {
  Env& env = *run.db.env;
  // A block that cannot be written whole is taken back, so that the next
  // block does not start in the middle of a cut line.
  const FileInfo before = env.file_info(run.files.log);
  std::unique_ptr<LineWriter> log;
  Status status = LineWriter::append(env, run.files.log, &log);
  if (!status.is_ok()) return status;
  status = write_block(run, *log);
  if (status.is_ok()) return status;
  log->abandon();
  const Status cut = before.exists ? env.truncate_file(run.files.log, before.size) : env.remove_file(run.files.log);
  return cut.is_ok() ? status : status.with_more(" " + cut.message());
}

}  // namespace zenfaro
