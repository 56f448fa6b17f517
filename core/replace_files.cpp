#include "core/replace_files.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace zenfaro {
namespace {

namespace fs = std::filesystem;

const char* const kCompletedLater = " The change will be completed the next time the database is opened or changed.";
const char* const kLeftAsItWas = " The database was left as it was.";
const std::string kInterrupted = "An interrupted change of the database could not be completed: ";
const std::string kNotPutBack = " " + kInterrupted + "the database could not be put back as it was.";

const char* work_name(ReplacementKind kind, int target) {
  static const char* const names[3][2] = {{"temp.tmp", "temp.idx"},
                                          {"tempfile2.tmp", "tempfile2.idx"},
                                          {"commdb.dat.zenfaro-new", "commdb.idx.zenfaro-new"}};
  return names[static_cast<int>(kind)][target];
}

bool keeps_backup(ReplacementKind kind) { return kind == ReplacementKind::save; }

fs::path beside(const fs::path& file, const char* suffix) {
  fs::path aside = file;
  aside += suffix;
  return aside;
}

fs::path journal_draft(const fs::path& folder) { return folder / "zenfaro.jrn.tmp"; }

bool same_name(const fs::path& name, const char* expected) {
  const std::string text = name.u8string();
  return std::equal(text.begin(), text.end(), expected, expected + std::char_traits<char>::length(expected),
                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// The working folder of the host layout whose database folder is `folder`
// (plugins/zenfaro/data inside it), or an empty path.
fs::path host_root(fs::path folder) {
  for (const char* name : {"data", "zenfaro", "plugins"}) {
    if (!same_name(folder.filename(), name)) return {};
    folder = folder.parent_path();
  }
  return folder;
}

// Where a journal line's new file is.
fs::path new_file_at(Env& env, const Replacement& r, int target, NewFilePlace place) {
  switch (place) {
    case NewFilePlace::here: return r.folder / work_name(r.kind, target);
    case NewFilePlace::host: {
      const fs::path root = host_root(r.folder);
      return root.empty() ? fs::path() : root / work_name(r.kind, target);
    }
    case NewFilePlace::beside_link: break;
  }
  return beside(env.link_target(target_file(r, target)), ".zenfaro-new");
}

Status refused_internally() { return Status::refused("Internal error: a replacement the journal cannot describe."); }

NewFilePlace place_of(Env& env, const Replacement& r, int target) {
  if (env.file_info(target_file(r, target)).link) return NewFilePlace::beside_link;
  return r.work_folder == r.folder ? NewFilePlace::here : NewFilePlace::host;
}

Status foreign_journal(const fs::path& journal) {
  return Status::refused("The file " + quoted(journal) +
                         " is not a journal of this program, so it was left as it is and nothing was changed. "
                         "Move it out of the folder (or delete it), then try again.");
}

Status mismatched_journal(const fs::path& journal, const fs::path& file) {
  return Status::refused(kInterrupted + quoted(file) + " is not as the journal " + quoted(journal) +
                         " wrote it down, so the journal was left as it is and nothing was changed. If the database "
                         "is as it should be, move the journal out of the folder (or delete it), then try again.");
}

// Writes the journal whole under another name, then puts it in place in one
// step and makes that durable: from then on the journal decides.
Status write_journal(Env& env, const fs::path& folder, const Journal& journal) {
  Status status = write_string_to_file(env, journal_draft(folder), journal_text(journal));
  if (status.is_ok()) status = env.rename_file(journal_draft(folder), journal_file(folder));
  if (!status.is_ok()) env.remove_file(journal_draft(folder)).ignore_error();
  if (status.is_ok()) status = env.sync_folder(folder);
  return status;
}

// Removes the journal of a change that moved nothing, and makes that
// durable, so that the failed change is never made later.
Status drop_journal(Env& env, const fs::path& folder) {
  const Status status = env.remove_file(journal_file(folder));
  if (status.is_not_found()) return Status::ok();
  return status.is_ok() ? env.sync_folder(folder) : status;
}

// Left behind, a journal whose moves are all made is finished (as a no-op)
// at the next change, so neither its removal nor the folder's record of it
// needs to be durable.
void remove_journal(Env& env, const fs::path& folder) { env.remove_file(journal_file(folder)).ignore_error(); }

void add_folder(std::vector<fs::path>& folders, const fs::path& folder) {
  if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
}

// The folders whose entries a replacement changes: those of the new files
// (renamed away) and the pair's own (renamed into, and the journal's).
std::vector<fs::path> changed_folders(const Replacement& r, const std::vector<fs::path>& fresh) {
  std::vector<fs::path> folders;
  for (const fs::path& file : fresh) add_folder(folders, file.parent_path());
  add_folder(folders, r.folder);
  return folders;
}

Status sync_folders(Env& env, const std::vector<fs::path>& folders) {
  Status status;
  for (const fs::path& folder : folders) {
    if (status.is_ok()) status = env.sync_folder(folder);
  }
  return status;
}

// The moves are made: they are made durable before the journal that would
// redo them goes, and a backup that is not to be kept goes. A failure here
// costs no data: the journal stays and finds nothing left to do.
void complete(Env& env, const Replacement& r, const std::vector<fs::path>& fresh) {
  if (!sync_folders(env, changed_folders(r, fresh)).is_ok()) return;
  if (!keeps_backup(r.kind)) env.remove_file(backup_file(r)).ignore_error();
  remove_journal(env, r.folder);
}

// Puts the backup back as the data file, makes that durable, and ends the
// undo journal.
Status put_back(Env& env, const Replacement& r) {
  Status status = env.rename_file(backup_file(r), target_file(r, 0));
  if (status.is_ok()) status = env.sync_folder(r.folder);
  if (status.is_ok()) remove_journal(env, r.folder);
  return status;
}

// Makes durable what happened in the folders of the new files other than
// the journal's own: the journal, made durable with its own folder, must
// never describe a state that a crash could take back.
Status sync_other_folders(Env& env, const Replacement& r, const std::vector<fs::path>& fresh) {
  Status status;
  for (const fs::path& folder : changed_folders(r, fresh)) {
    if (status.is_ok() && folder != r.folder) status = env.sync_folder(folder);
  }
  return status;
}

// Puts the data file back as it was, under an undo journal that finishes
// the undo should it be cut short.
Status undo_data_move(Env& env, const Replacement& r, const std::vector<fs::path>& fresh) {
  Journal undo{r.kind, true, std::vector<JournalLine>(1)};
  undo.lines[0].replaced = identity_of(env.file_info(target_file(r, 0)));
  undo.lines[0].backup = identity_of(env.file_info(backup_file(r)));
  Status status = sync_other_folders(env, r, fresh);
  if (status.is_ok()) status = write_journal(env, r.folder, undo);
  return status.is_ok() ? put_back(env, r) : status;
}

// Keeps the data file under the backup name, as a second name of it; with
// no data file, an empty backup, so that an undo always has a file to put
// back.
Status keep_backup(Env& env, const Replacement& r, FileIdentity* kept) {
  const fs::path backup = backup_file(r);
  const fs::path data = target_file(r, 0);
  Status status = remove_leftover(env, backup);
  if (status.is_ok()) {
    status = env.file_info(data).exists ? env.link_file(data, backup) : write_string_to_file(env, backup, "");
  }
  if (status.is_ok()) *kept = identity_of(env.file_info(backup));
  return status;
}

// The new file takes the old one's permission bits, so that a file the user
// made private stays private, and its group where the user may give it.
Status adopt_attributes(Env& env, const fs::path& fresh, const FileInfo& old) {
  const Status status = env.set_permissions(fresh, old.permissions);
  if (status.is_ok() && env.file_info(fresh).group != old.group) env.set_group(fresh, old.group).ignore_error();
  return status;
}

// A replacement that did not happen leaves no backup that only it needed.
Status not_replaced(Env& env, const Replacement& r, const Status& why) {
  if (!keeps_backup(r.kind)) remove_leftover(env, backup_file(r)).ignore_error();
  return why.with_more(kLeftAsItWas);
}

// A regular file that holds exactly `digest`.
bool holds(Env& env, const fs::path& path, const FileDigest& digest) {
  const FileInfo info = env.file_info(path);
  FileDigest now;
  return info.exists && info.size == digest.size && digest_file(env, path, &now).is_ok() && now == digest;
}

// Describes the new file and the old one of `target` in `line`.
Status describe_target(Env& env, const Replacement& r, int target, const fs::path& fresh, JournalLine* line) {
  line->place = place_of(env, r, target);
  if (line->place == NewFilePlace::host && host_root(r.folder) != r.work_folder) return refused_internally();
  const FileInfo made = env.file_info(fresh);
  if (!made.exists || made.link) return refused_internally();
  Status status = digest_file(env, fresh, &line->digest);
  const FileInfo old = env.file_info(target_file(r, target));
  line->replaced = identity_of(old);
  if (status.is_ok() && old.present() && !old.exists) {
    status = Status::refused("The database file " + quoted(target_file(r, target)) + " is " + kind_name(old.kind) +
                             ", not a regular file, so it was not replaced.");
  }
  if (status.is_ok() && old.exists) status = adopt_attributes(env, fresh, old);
  return status;
}

// What a journal line's files show.
enum class State {
  pending,   // the new file is there as written, the old one at the target
  made,      // the new file stands at the target
  changed,   // the new file is there, but not as written
  mismatch,  // anything else
};

struct LineState {
  State state = State::mismatch;
  fs::path fresh;    // the new file
  fs::path culprit;  // the file that does not match, for the message
};

LineState state_of(Env& env, const Replacement& r, int target, const JournalLine& line) {
  LineState s;
  s.fresh = new_file_at(env, r, target, line.place);
  const fs::path old = target_file(r, target);
  s.culprit = old;
  if (s.fresh.empty()) return s;
  const FileInfo fresh = env.file_info(s.fresh);
  if (!fresh.present()) {
    if (holds(env, old, line.digest)) s.state = State::made;
    return s;
  }
  if (fresh.link || !fresh.exists || identity_of(env.file_info(old)) != line.replaced) {
    if (fresh.link || !fresh.exists) s.culprit = s.fresh;
    return s;
  }
  s.culprit = s.fresh;
  s.state = holds(env, s.fresh, line.digest) ? State::pending : State::changed;
  return s;
}

Status finish_forward(Env& env, const Replacement& r, const Journal& journal) {
  const fs::path journal_path = journal_file(r.folder);
  const LineState data = state_of(env, r, 0, journal.lines[0]);
  const LineState index = state_of(env, r, 1, journal.lines[1]);
  for (const LineState* s : {&data, &index}) {
    if (s->state == State::mismatch) return mismatched_journal(journal_path, s->culprit);
  }
  // The data file is always replaced first.
  if (data.state != State::made && index.state == State::made) return mismatched_journal(journal_path, index.culprit);
  const bool all_made = data.state == State::made && index.state == State::made;
  if (!all_made && identity_of(env.file_info(backup_file(r))) != journal.lines[0].backup) {
    return mismatched_journal(journal_path, backup_file(r));
  }
  for (const LineState* s : {&data, &index}) {
    if (s->state != State::changed) continue;
    // The new file is not what was written: it cannot be trusted, so the
    // change is given up and what was moved already is put back.
    const Status status =
        data.state == State::made ? undo_data_move(env, r, {data.fresh, index.fresh}) : drop_journal(env, r.folder);
    if (!status.is_ok()) return status.with_more(kNotPutBack);
    return Status::io_error(kInterrupted + quoted(s->fresh) +
                            " was changed after it was written. The database was left as it was before that change.");
  }
  for (int target = 0; target < 2; ++target) {
    const LineState& s = target == 0 ? data : index;
    if (s.state != State::pending) continue;
    const Status status = env.rename_file(s.fresh, target_file(r, target));
    if (!status.is_ok()) return status.with_more(" An interrupted change of the database could not be completed.");
  }
  complete(env, r, {data.fresh, index.fresh});
  return Status::ok();
}

Status finish_undo(Env& env, const Replacement& r, const Journal& journal) {
  const FileInfo kept = env.file_info(backup_file(r));
  // Nothing left to undo: the backup is back already.
  if (!kept.present()) return drop_journal(env, r.folder);
  if (kept.link || identity_of(kept) != journal.lines[0].backup) {
    return mismatched_journal(journal_file(r.folder), backup_file(r));
  }
  if (identity_of(env.file_info(target_file(r, 0))) != journal.lines[0].replaced) {
    return mismatched_journal(journal_file(r.folder), target_file(r, 0));
  }
  const Status status = put_back(env, r);
  if (!status.is_ok()) return status.with_more(kNotPutBack);
  return Status::ok();
}

}  // namespace

Replacement save_replacement(const Layout& layout) {
  return {ReplacementKind::save, layout.database_folder(), layout.root};
}

Replacement import_replacement(const Layout& layout) {
  return {ReplacementKind::import, layout.database_folder(), layout.root};
}

Replacement transfer_replacement(const fs::path& game_data) {
  return {ReplacementKind::transfer, game_data, game_data};
}

fs::path target_file(const Replacement& replacement, int target) {
  return replacement.folder / (target == 0 ? "commdb.dat" : "commdb.idx");
}

fs::path backup_file(const Replacement& replacement) {
  static const char* const names[] = {"commdb.old", "importold.dat", "commdb.dat.zenfaro-old"};
  return replacement.folder / names[static_cast<int>(replacement.kind)];
}

fs::path new_file(Env& env, const Replacement& replacement, int target) {
  if (env.file_info(target_file(replacement, target)).link) {
    return new_file_at(env, replacement, target, NewFilePlace::beside_link);
  }
  return replacement.work_folder / work_name(replacement.kind, target);
}

fs::path journal_file(const fs::path& folder) { return folder / "zenfaro.jrn"; }

fs::path journal_file(const Layout& layout) { return journal_file(layout.database_folder()); }

Status replace_files(Env& env, const Replacement& r) {
  if (env.file_info(journal_file(r.folder)).present()) return foreign_journal(journal_file(r.folder));
  Journal journal{r.kind, false, std::vector<JournalLine>(2)};
  const std::vector<fs::path> fresh = {new_file(env, r, 0), new_file(env, r, 1)};
  Status status;
  for (int target = 0; target < 2 && status.is_ok(); ++target) {
    status = describe_target(env, r, target, fresh[static_cast<std::size_t>(target)], &journal.lines[target]);
  }
  if (status.is_ok()) status = keep_backup(env, r, &journal.lines[0].backup);
  if (status.is_ok()) status = sync_other_folders(env, r, fresh);
  if (!status.is_ok()) return not_replaced(env, r, status);
  status = write_journal(env, r.folder, journal);
  if (!status.is_ok()) {
    // A journal that is in place and cannot be taken back decides the
    // change all the same: the next opening makes it.
    if (!drop_journal(env, r.folder).is_ok()) return status.with_more(kCompletedLater);
    return not_replaced(env, r, status);
  }

  int made = 0;
  for (; made < 2; ++made) {
    status = env.rename_file(fresh[static_cast<std::size_t>(made)], target_file(r, made));
    if (!status.is_ok()) break;
  }
  if (!status.is_ok()) {
    const Status undone = made == 0 ? drop_journal(env, r.folder) : undo_data_move(env, r, fresh);
    return undone.is_ok() ? not_replaced(env, r, status) : status.with_more(kCompletedLater);
  }
  complete(env, r, fresh);
  return Status::ok();
}

Status finish_interrupted_replacement(Env& env, const fs::path& folder) {
  const fs::path path = journal_file(folder);
  const FileInfo info = env.file_info(path);
  if (!info.present()) return Status::ok();
  if (info.link || !info.exists || info.size > kMaxJournalBytes) return foreign_journal(path);
  std::string text;
  const Status status = read_file_to_string(env, path, &text, kMaxJournalBytes);
  if (status.code() == Status::Code::refused) return foreign_journal(path);
  if (!status.is_ok()) return status;
  Journal journal;
  if (!parse_journal(text, &journal)) return foreign_journal(path);
  // The new files of a save or an import are in the working folder; where
  // that is, the journal's lines tell.
  const Replacement replacement{journal.kind, folder, folder};
  return journal.undo ? finish_undo(env, replacement, journal) : finish_forward(env, replacement, journal);
}

Status finish_interrupted_replacement(Env& env, const Layout& layout) {
  return finish_interrupted_replacement(env, layout.database_folder());
}

void remove_leftovers(Env& env, const Replacement& replacement) {
  if (env.file_info(journal_file(replacement.folder)).present()) return;
  std::vector<fs::path> leftovers = {replacement.work_folder / work_name(replacement.kind, 0),
                                     replacement.work_folder / work_name(replacement.kind, 1),
                                     journal_draft(replacement.folder)};
  if (!keeps_backup(replacement.kind)) leftovers.push_back(backup_file(replacement));
  for (const fs::path& leftover : leftovers) remove_leftover(env, leftover).ignore_error();  // most often not there
}

void remove_leftover_work_files(Env& env, const Layout& layout) {
  if (env.file_info(journal_file(layout)).present()) return;
  remove_leftovers(env, save_replacement(layout));
  for (const char* backup : {"importold.dat", "importold.idx"}) {
    remove_leftover(env, layout.database_file(backup)).ignore_error();
  }
}

}  // namespace zenfaro
