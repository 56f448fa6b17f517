#include "core/replacement_steps.h"

#include <algorithm>
#include <cctype>

namespace zenfaro::replacing {

namespace fs = std::filesystem;

const char* const kCompletedLater = " The change will be completed the next time the database is opened or changed.";
const char* const kLeftAsItWas = " The database was left as it was.";
const std::string kInterrupted = "An interrupted change of the database could not be completed: ";

namespace {

bool same_name(const fs::path& name, const char* expected) {
  const std::string text = name.u8string();
  return std::equal(text.begin(), text.end(), expected, expected + std::char_traits<char>::length(expected),
                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
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

}  // namespace

const char* work_name(ReplacementKind kind, int target) {
  static const char* const names[4][2] = {{"temp.tmp", "temp.idx"},
                                          {"tempfile2.tmp", "tempfile2.idx"},
                                          {"commdb.dat.zenfaro-new", "commdb.idx.zenfaro-new"},
                                          {"temp.tmp", "temp.idx"}};
  return names[static_cast<int>(kind)][target];
}

bool keeps_backup(ReplacementKind kind) { return kind == ReplacementKind::save; }

fs::path journal_draft(const fs::path& folder) { return folder / "zenfaro.jrn.tmp"; }

fs::path host_root(fs::path folder) {
  for (const char* name : {"data", "zenfaro", "plugins"}) {
    if (!same_name(folder.filename(), name)) return {};
    folder = folder.parent_path();
  }
  return folder;
}

fs::path new_file_at(Env& env, const Replacement& r, int target, NewFilePlace place) {
  switch (place) {
    case NewFilePlace::here: return r.folder / work_name(r.kind, target);
    case NewFilePlace::host: {
      const fs::path root = host_root(r.folder);
      return root.empty() ? fs::path() : root / work_name(r.kind, target);
    }
    case NewFilePlace::beside_link: break;
  }
  fs::path aside = env.link_target(target_file(r, target));
  aside += ".zenfaro-new";
  return aside;
}

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

Status write_journal(Env& env, const fs::path& folder, const Journal& journal) {
  Status status = write_string_to_file(env, journal_draft(folder), journal_text(journal));
  if (status.is_ok()) status = env.rename_file(journal_draft(folder), journal_file(folder));
  if (!status.is_ok()) env.remove_file(journal_draft(folder)).ignore_error();
  if (status.is_ok()) status = env.sync_folder(folder);
  return status;
}

Status drop_journal(Env& env, const fs::path& folder) {
  const Status status = env.remove_file(journal_file(folder));
  if (status.is_not_found()) return Status::ok();
  return status.is_ok() ? env.sync_folder(folder) : status;
}

Status sync_other_folders(Env& env, const Replacement& r, const std::vector<fs::path>& fresh) {
  Status status;
  for (const fs::path& folder : changed_folders(r, fresh)) {
    if (status.is_ok() && folder != r.folder) status = env.sync_folder(folder);
  }
  return status;
}

void complete(Env& env, const Replacement& r, const std::vector<fs::path>& fresh) {
  for (const fs::path& folder : changed_folders(r, fresh)) {
    if (!env.sync_folder(folder).is_ok()) return;
  }
  if (r.kind == ReplacementKind::restore) {
    // The data file replaced by a restore becomes commdb.old, so that a
    // second restore goes forward again. Until that is durable the journal
    // stays: finishing it again finds the moves made and repeats this.
    const Status status = env.rename_file(backup_file(r), r.folder / "commdb.old");
    if (!status.is_ok() && !status.is_not_found()) return;
    if (!env.sync_folder(r.folder).is_ok()) return;
  } else if (!keeps_backup(r.kind)) {
    env.remove_file(backup_file(r)).ignore_error();
  }
  remove_journal(env, r.folder);
}

Status put_back(Env& env, const Replacement& r) {
  Status status = env.rename_file(backup_file(r), target_file(r, 0));
  if (status.is_ok()) status = env.sync_folder(r.folder);
  if (status.is_ok()) remove_journal(env, r.folder);
  return status;
}

Status undo_data_move(Env& env, const Replacement& r, const std::vector<fs::path>& fresh) {
  Journal undo{r.kind, true, std::vector<JournalLine>(1)};
  undo.lines[0].replaced = identity_of(env.file_info(target_file(r, 0)));
  undo.lines[0].backup = identity_of(env.file_info(backup_file(r)));
  Status status = sync_other_folders(env, r, fresh);
  if (status.is_ok()) status = write_journal(env, r.folder, undo);
  return status.is_ok() ? put_back(env, r) : status;
}

bool holds(Env& env, const fs::path& path, const FileDigest& digest) {
  const FileInfo info = env.file_info(path);
  FileDigest now;
  return info.exists && info.size == digest.size && digest_file(env, path, &now).is_ok() && now == digest;
}

}  // namespace zenfaro::replacing
