#include "core/replace_files.h"

#include <algorithm>

namespace zenfaro {
namespace {

namespace fs = std::filesystem;

const char* const kCompletedLater = " The change will be completed the next time the database is opened or changed.";

fs::path journal_draft(const Layout& layout) { return layout.work_file("zenfaro.jrn.tmp"); }

// Writes the journal whole under another name, then puts it in place in one
// step and makes that durable: from then on the journal decides.
Status write_journal(Env& env, const Layout& layout, const std::vector<JournalMove>& moves) {
  Status status = write_string_to_file(env, journal_draft(layout), journal_text(layout, moves));
  if (status.is_ok()) status = env.rename_file(journal_draft(layout), journal_file(layout));
  if (status.is_ok()) status = env.sync_folder(layout.root);
  return status;
}

// Left behind, a journal whose moves are all made is finished (as a no-op)
// at the next change, so neither its removal nor the folder's record of it
// needs to be durable.
void remove_journal(Env& env, const Layout& layout) { env.remove_file(journal_file(layout)).ignore_error(); }

bool exists(Env& env, const fs::path& path) { return env.file_info(path).exists; }

// Keeps the old `to` as a second name, `backup`, before the new file takes
// its place. A missing `to` is created empty first, so that an undo always
// has a file to put back.
Status keep_backup(Env& env, const FileMove& move) {
  if (move.backup.empty()) return Status::ok();
  Status status = env.remove_file(move.backup);
  if (!status.is_ok() && !status.is_not_found()) return status;
  if (!exists(env, move.to)) {
    status = write_string_to_file(env, move.to, "");
    if (!status.is_ok()) return status;
  }
  return env.link_file(move.to, move.backup);
}

// The new file takes the old one's permission bits, so that a file the user
// made private stays private.
Status make_move(Env& env, const FileMove& move) {
  const FileInfo old = env.file_info(move.to);
  Status status = old.exists ? env.set_permissions(move.from, old.permissions) : Status::ok();
  if (status.is_ok()) status = keep_backup(env, move);
  if (status.is_ok()) status = env.rename_file(move.from, move.to);
  return status;
}

// Makes the renames into the targets' folders durable, each folder once.
Status sync_target_folders(Env& env, const std::vector<FileMove>& moves) {
  std::vector<fs::path> folders;
  for (const FileMove& move : moves) {
    if (std::find(folders.begin(), folders.end(), move.to.parent_path()) == folders.end()) {
      folders.push_back(move.to.parent_path());
    }
  }
  Status status;
  for (const fs::path& folder : folders) {
    if (status.is_ok()) status = env.sync_folder(folder);
  }
  return status;
}

// Puts back each backup that is still there, in the given order, and makes
// that durable; the undo journal then goes.
Status put_backups_back(Env& env, const Layout& layout, const std::vector<FileMove>& moves) {
  Status status;
  for (const FileMove& move : moves) {
    if (status.is_ok() && exists(env, move.backup)) status = env.rename_file(move.backup, move.to);
  }
  if (status.is_ok()) status = sync_target_folders(env, moves);
  if (status.is_ok()) remove_journal(env, layout);
  return status;
}

// Puts the backups of the made moves back, newest first, under an undo
// journal that finishes the undo should it be cut short.
Status undo_moves(Env& env, const Layout& layout, const std::vector<FileMove>& made) {
  const std::vector<FileMove> newest_first(made.rbegin(), made.rend());
  std::vector<JournalMove> undo;
  for (const FileMove& move : newest_first) undo.push_back({true, move, 0});
  const Status status = write_journal(env, layout, undo);
  return status.is_ok() ? put_backups_back(env, layout, newest_first) : status;
}

// The moves are made: they are made durable before the journal that would
// redo them goes, and the backups that are not to be kept go. A failure
// here costs no data: the journal stays and finds nothing left to do.
void finish_moves(Env& env, const Layout& layout, const std::vector<FileMove>& moves) {
  if (!sync_target_folders(env, moves).is_ok()) return;
  for (const FileMove& move : moves) {
    if (!move.backup.empty() && !move.keep_backup) env.remove_file(move.backup).ignore_error();
  }
  remove_journal(env, layout);
}

Status foreign_journal(const Layout& layout) {
  return Status::refused("The file " + quoted(journal_file(layout)) +
                         " is not a journal of this program, so it was left as it is and nothing was changed. "
                         "Move it out of the folder (or delete it), then try again.");
}

}  // namespace

fs::path journal_file(const Layout& layout) { return layout.work_file("zenfaro.jrn"); }

Status replace_files(Env& env, const Layout& layout, const std::vector<FileMove>& moves) {
  for (std::size_t i = 0; i + 1 < moves.size(); ++i) {
    if (moves[i].backup.empty()) return Status::refused("Internal error: a replacement that could not be undone.");
  }
  if (exists(env, journal_file(layout))) return foreign_journal(layout);

  std::vector<JournalMove> journal;
  for (const FileMove& move : moves) journal.push_back({false, move, env.file_info(move.from).size});
  Status status = write_journal(env, layout, journal);
  if (!status.is_ok()) {
    env.remove_file(journal_draft(layout)).ignore_error();
    env.remove_file(journal_file(layout)).ignore_error();
    // A journal that is in place and cannot be taken back decides the
    // change all the same: the next opening makes it.
    if (exists(env, journal_file(layout))) return status.with_more(kCompletedLater);
    return status.with_more(" The database was left as it was.");
  }

  std::vector<FileMove> made;
  for (const FileMove& move : moves) {
    status = make_move(env, move);
    if (!status.is_ok()) break;
    made.push_back(move);
  }
  if (!status.is_ok()) {
    if (!undo_moves(env, layout, made).is_ok()) return status.with_more(kCompletedLater);
    return status.with_more(" The database was left as it was.");
  }
  finish_moves(env, layout, moves);
  return Status::ok();
}

Status finish_interrupted_replacement(Env& env, const Layout& layout) {
  const fs::path path = journal_file(layout);
  if (!exists(env, path)) return Status::ok();
  std::string text;
  Status status = read_file_to_string(env, path, &text);
  if (!status.is_ok()) return status;
  std::vector<JournalMove> journal;
  if (!parse_journal(layout, text, &journal)) return foreign_journal(layout);

  const std::string failed = "An interrupted change of the database could not be completed: ";
  std::vector<FileMove> moves;
  std::vector<FileMove> made;
  const JournalMove* changed = nullptr;
  for (const JournalMove& m : journal) {
    moves.push_back(m.move);
    if (m.undo) continue;
    // A move is made exactly when its new file is gone.
    if (!exists(env, m.move.from)) {
      made.push_back(m.move);
    } else if (changed == nullptr && env.file_info(m.move.from).size != m.size) {
      changed = &m;
    }
  }
  if (journal.front().undo) {
    status = put_backups_back(env, layout, moves);
    if (!status.is_ok()) return status.with_more(" " + failed + "the database could not be put back as it was.");
    return Status::ok();
  }
  if (changed != nullptr) {
    // The new file is not what was written: it cannot be trusted, so the
    // change is given up and what was moved already is put back.
    status = undo_moves(env, layout, made);
    if (!status.is_ok()) return status.with_more(" " + failed + "the database could not be put back as it was.");
    return Status::io_error(failed + quoted(changed->move.from) +
                            " was changed after it was written. The database was left as it was before that change.");
  }
  for (const FileMove& move : moves) {
    if (exists(env, move.from)) status = make_move(env, move);
    if (!status.is_ok()) return status.with_more(" " + failed.substr(0, failed.size() - 2) + ".");
  }
  finish_moves(env, layout, moves);
  return Status::ok();
}

void remove_leftover_work_files(Env& env, const Layout& layout) {
  if (exists(env, journal_file(layout))) return;
  for (const fs::path& leftover : {layout.work_file("temp.tmp"), layout.work_file("temp.idx"), journal_draft(layout),
                                   layout.database_file("importold.dat"), layout.database_file("importold.idx")}) {
    env.remove_file(leftover).ignore_error();  // most often not there at all
  }
}

}  // namespace zenfaro
