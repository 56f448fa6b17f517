// Import Commentary: runs the twelve stages in order (see import_run.h) and
// turns their outcome into one result and at most one message.
#include "exchange/import_commentary.h"

#include "core/replace_files.h"
#include "exchange/import_run.h"
#include "exchange/same_file.h"

namespace zenfaro {
namespace {

// The question keeps its fixed text; a file cut short adds a warning, and
// the details tell what the import will do.
Question confirmation(const ImportSummary& summary) {
  std::string text = "Are you sure you want to import " + std::to_string(summary.announced) + " records ?";
  if (summary.cut_short()) {
    text += "\n\nThe file ends after " + std::to_string(summary.found) + " of the " +
            std::to_string(summary.announced) + " records it announces; the missing ones would come in as empty records.";
  }
  return {text, "Confirm Import", Icon::question, false, import_details(summary)};
}

// The import reads the exchange file while it writes these files; reading
// one of them as the exchange file would destroy what is being read.
Status check_exchange_path(const ImportRun& run) {
  const ImportFiles& f = run.files;
  for (const fs::path& own : {run.db.data_path, run.db.index_path, f.stored_hashes, f.incoming_hashes, f.classes,
                              f.merge, f.new_data, f.new_index, f.log, f.old_data, f.old_index}) {
    if (same_file(run.exchange_path, own)) {
      return Status::refused("The file " + own.filename().u8string() +
                             " is written by the import itself and cannot be imported. Nothing was imported.");
    }
  }
  return Status::ok();
}

// A replacement of the database files that was cut short is finished first,
// so that the import starts from one whole database.
Status finish_interrupted(ImportRun& run) {
  Database& db = run.db;
  if (!db.env->file_exists(journal_file(db.layout))) return Status::ok();
  const Status status = finish_interrupted_replacement(*db.env, db.layout);
  if (status.is_ok()) load_index(db, db.index_path, db.data_path);
  return status;
}

// Stages 1 to 8: everything up to the confirmation. Nothing of the
// database changes here. `*accepted` is false for "Not a commentary file."
Status prepare(ImportRun& run, bool* accepted) {
  *accepted = true;
  Status status = check_exchange_path(run);
  if (status.is_ok()) status = finish_interrupted(run);
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

// New database files that will not be used are removed, unless an
// unfinished replacement still needs them.
void remove_new_files(const ImportRun& run) {
  Env& env = *run.db.env;
  if (env.file_exists(journal_file(run.db.layout))) return;
  env.remove_file(run.files.new_data);
  env.remove_file(run.files.new_index);
}

ImportResult stop(Prompt& prompt, const Status& status, const std::string& outcome) {
  const bool refused = status.code() == Status::Code::refused;
  prompt.tell({refused ? status.message() : "The import could not be completed. " + status.message() + outcome,
               kDefaultCaption, Icon::error});
  return refused ? ImportResult::refused : ImportResult::failed;
}

}  // namespace

ImportResult import_commentary(Database& db, const std::string& path, Prompt& prompt) {
  return import_commentary(db, path, prompt, {});
}

ImportResult import_commentary(Database& db, const std::string& path, Prompt& prompt,
                               const ImportObserver& before_confirmation) {
  ImportRun run(db, path);
  bool accepted = true;
  Status status = prepare(run, &accepted);
  if (status.is_ok() && !accepted) {
    prompt.tell({"Not a commentary file."});
    return ImportResult::rejected;
  }
  const std::string unchanged = " The database was not changed.";
  if (!status.is_ok()) {
    remove_new_files(run);
    return stop(prompt, status, unchanged);
  }

  // Stage 9. A declined import leaves the new files for the user to see.
  if (before_confirmation) before_confirmation(run.summary);
  if (!prompt.ask(confirmation(run.summary))) return ImportResult::declined;

  // Stage 10: the log keeps the old data file, so it comes first.
  status = append_import_log(run);
  if (!status.is_ok()) {
    remove_new_files(run);
    return stop(prompt, status, unchanged);
  }

  // Stage 11: all or nothing. The old files are kept aside until both new
  // ones are in place, then deleted: the import leaves no backup.
  status = replace_files(*db.env, db.layout, {{run.files.new_data, db.data_path, run.files.old_data},
                                               {run.files.new_index, db.index_path, run.files.old_index}});
  if (!status.is_ok()) {
    remove_new_files(run);
    return stop(prompt, status, "");
  }
  db.env->remove_file(run.files.old_data);
  db.env->remove_file(run.files.old_index);

  // Stage 12. The window shows record 1 and ends itself with the end code
  // 123.
  load_index(db, db.index_path, db.data_path);
  return ImportResult::completed;
}

}  // namespace zenfaro
