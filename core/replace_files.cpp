#include "core/replace_files.h"

#include "core/replacement_steps.h"

namespace zenfaro {
namespace {

namespace fs = std::filesystem;
using namespace replacing;

Status refused_internally() { return Status::refused("Internal error: a replacement the journal cannot describe."); }

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

}  // namespace

Replacement save_replacement(const Layout& layout) {
  return {ReplacementKind::save, layout.database_folder(), layout.root};
}

Replacement import_replacement(const Layout& layout) {
  return {ReplacementKind::import, layout.database_folder(), layout.root};
}

Replacement restore_replacement(const Layout& layout) {
  return {ReplacementKind::restore, layout.database_folder(), layout.root};
}

Replacement transfer_replacement(const fs::path& game_data) {
  return {ReplacementKind::transfer, game_data, game_data};
}

fs::path target_file(const Replacement& replacement, int target) {
  return replacement.folder / (target == 0 ? "commdb.dat" : "commdb.idx");
}

fs::path backup_file(const Replacement& replacement) {
  static const char* const names[] = {"commdb.old", "importold.dat", "commdb.dat.zenfaro-old", "restoreold.dat"};
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
  remove_leftovers(env, save_replacement(layout));  // a restore's new files are the save's
  for (const char* backup : {"importold.dat", "importold.idx", "restoreold.dat"}) {
    remove_leftover(env, layout.database_file(backup)).ignore_error();
  }
}

}  // namespace zenfaro
