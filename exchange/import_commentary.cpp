// Import Commentary: runs the twelve stages in order (see import_stages.h)
// and turns their outcome into one result and at most one message.
#include "exchange/import_commentary.h"

#include "core/database_lock.h"
#include "core/replace_files.h"
#include "core/write_record_set.h"
#include "exchange/import_stages.h"

namespace zenfaro {

ImportFiles import_files(Env& env, const Layout& layout) {
  const Replacement replacement = import_replacement(layout);
  return {layout.work_file("hashes.txt"),   layout.work_file("hashes2.txt"), layout.work_file("impres.txt"),
          layout.work_file("tempfile.tmp"), new_file(env, replacement, 0),   new_file(env, replacement, 1),
          layout.work_file("zenfaro.log"),  backup_file(replacement)};
}

ImportRun::ImportRun(Database& database, std::string utf8_path)
    : db(database),
      path(std::move(utf8_path)),
      exchange_path(std::filesystem::u8path(path)),
      files(import_files(*database.env, database.layout)) {}

namespace {

// The question keeps its fixed text; a file cut short adds a warning, and
// the details tell what the import will do.
Question confirmation(const ImportSummary& summary) {
  std::string text = "Are you sure you want to import " + std::to_string(summary.announced) + " records ?";
  if (summary.cut_short()) {
    text += "\n\nThe file ends after " + std::to_string(summary.found) + " of the " +
            std::to_string(summary.announced) +
            " records it announces; the missing ones would come in as empty records.";
  }
  return {text, "Confirm Import", Icon::question, false, import_details(summary)};
}

// The import reads the exchange file while it writes its own files; reading
// one of them as the exchange file would destroy what is being read.
Status check_exchange_path(const ImportRun& run) {
  const ImportFiles& f = run.files;
  bool own = is_program_file(run.db.layout, run.exchange_path);
  for (const std::filesystem::path& file :
       {run.db.data_path, run.db.index_path, f.merge, f.new_data, f.new_index, f.log}) {
    own = own || same_file(*run.db.env, run.exchange_path, file);
  }
  if (!own) return Status::ok();
  return Status::refused("The file " + run.exchange_path.filename().u8string() +
                         " is written by the program itself and cannot be imported. Nothing was imported.");
}

// Stages 1 to 8: everything up to the confirmation. Nothing of the
// database changes here. `*accepted` is false for "Not a commentary file."
Status prepare(ImportRun& run, bool* accepted) {
  *accepted = true;
  Status status = begin_change(run.db);
  if (status.is_ok()) status = fingerprint_stored(run);
  if (status.is_ok()) status = write_stored_hashes(run);
  if (status.is_ok()) status = open_exchange(run, accepted);
  if (!status.is_ok() || !*accepted) return status;
  status = read_incoming(run);
  if (status.is_ok()) status = write_incoming_hashes(run);
  if (status.is_ok()) status = classify_incoming(run);
  if (status.is_ok()) status = merge_records(run);
  if (status.is_ok()) status = rebuild_database(run);
  return status;
}

// New database files that this run wrote and that will not be used are
// removed, unless an unfinished replacement still needs them.
void remove_new_files(const ImportRun& run) {
  Env& env = *run.db.env;
  if (!run.wrote_new_files || env.file_info(journal_file(run.db.layout)).present()) return;
  env.remove_file(run.files.new_data).ignore_error();
  env.remove_file(run.files.new_index).ignore_error();
}

ImportOutcome stopped(const ImportRun& run, const Status& status, const std::string& outcome) {
  ImportOutcome result{ImportResult::failed, run.summary, "", Icon::error};
  if (status.code() == Status::Code::refused || status.code() == Status::Code::busy) {
    result.result = ImportResult::refused;
    result.message = status.message();
  } else {
    result.message = "The import could not be completed. " + status.message() + outcome;
  }
  remove_new_files(run);
  return result;
}

}  // namespace

ImportOutcome import_commentary(Database& db, const std::string& path, Prompt& prompt, const Today& today,
                                const ExchangeProgress& progress) {
  ImportRun run(db, path);
  run.today = today;
  run.progress = progress;
  const std::string unchanged = " The database was not changed.";
  Status status = check_exchange_path(run);
  DatabaseLock lock;
  if (status.is_ok()) status = lock_database(*db.env, db.layout, &lock);
  bool accepted = true;
  if (status.is_ok()) status = prepare(run, &accepted);
  if (status.is_ok() && !accepted) return {ImportResult::rejected, run.summary, "Not a commentary file.", Icon::none};
  if (!status.is_ok()) return stopped(run, status, unchanged);

  // Stage 9. A declined import leaves the new files for the user to see.
  tell_progress(progress, ExchangeStage::confirming, 0, 0);
  if (!prompt.ask(confirmation(run.summary))) return {ImportResult::declined, run.summary, "", Icon::none};

  // Stage 10: the log keeps the old data file, so it comes first.
  tell_progress(progress, ExchangeStage::writing, 0, 0);
  status = append_import_log(run);
  if (!status.is_ok()) return stopped(run, status, unchanged);

  // Stage 11: all or nothing. The old data file is kept aside until both
  // new files are in place, then deleted: the import leaves no backup.
  tell_progress(progress, ExchangeStage::writing, 0, 0);
  status = replace_files(*db.env, import_replacement(db.layout));
  if (!status.is_ok()) return stopped(run, status, "");

  // Stage 12. The window shows record 1 and ends itself with the end code
  // 123.
  load_index(db, db.index_path, db.data_path);
  return {ImportResult::completed, run.summary, "", Icon::none};
}

}  // namespace zenfaro
